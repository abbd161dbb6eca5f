#pragma once

#include "EntityWriter.h"

#include <QString>

class ConversionView;
class RandomSource;

// Turns the window's input into the converted output with the current options,
// fills the applied-part display and keeps the ConversionState for the preview.
class ConversionRequest
{
public:
    ConversionRequest(ConversionView& view, RandomSource& random);

    void ConvertInput();
    const ConversionState& state() const { return m_writer.state(); }

private:
    void convert();
    int drawBreakSlot(int prefix, int length);
    void writeLineBreakCode();
    void convertOrKeep(const ConversionSettings& settings);

    ConversionView& m_view;
    RandomSource& m_random;
    EntityWriter m_writer;
};

// Resets the applied-part display: grey, empty cells and no break marker.
void lbl_color_format(ConversionView& view);
// Non-overlapping, case-sensitive occurrences of pattern in text.
int CntStr(const QString& text, const QString& pattern);
void SelectAllInput(ConversionView& view);
void SelectAllOutput(ConversionView& view);
// Counts and cells count characters as code points: a surrogate pair is one.
qsizetype codePointCount(QStringView text);
// UTF-16 units of the code point at pos: 2 for a surrogate pair, else 1.
qsizetype codePointLengthAt(QStringView text, qsizetype pos);
// One code point as text. Unlike QString::fromUcs4, a U+FEFF is kept, not taken for a byte-order mark.
QString codePointText(char32_t code);
