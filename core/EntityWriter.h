#pragma once

#include "ConversionState.h"

class ConversionView;
class RandomSource;

// Writes one character at a time into the running conversion: the form draw,
// the zero padding, the four encoders, and the painting of the character's cell.
class EntityWriter
{
public:
    EntityWriter(ConversionView& view, RandomSource& random);

    ConversionState& state() { return m_state; }
    const ConversionState& state() const { return m_state; }

    void ConvertChar();
    // ConvertChar without the form draw: the form is the one whose cell colour is given (grey: unchanged).
    void ConvertCharLike(WinColour colour);

    char32_t CharCode() const;
    void WriteDecimal();
    void WriteHex();
    void WritePercent();
    void WriteAsIs();

    // Worst case of one character: "&#x" + 2 zeros + 6 digits + ";", "&#" + 2 + 7 + ";",
    // or four percent-escaped UTF-8 bytes ("&quot;" is shorter); plus one line-break code for the whole text.
    static constexpr qsizetype MaxCharOutput = 12;
    static constexpr qsizetype MaxBreakOutput = 5;

private:
    enum Choice { Decimal = 0, Hex = 1, Percent = 2, AsIs = 3 };

    Choice drawForm(const ConversionSettings& settings);
    void write(Choice choice, const ConversionSettings& settings);
    void writeWithoutPercent(const ConversionSettings& settings);
    bool drawUpperCase();
    void put(const char* text, qsizetype length);
    void put(QChar character);

    ConversionView& m_view;
    RandomSource& m_random;
    ConversionState m_state;
};
