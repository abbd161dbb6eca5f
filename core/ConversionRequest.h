#pragma once

#include "EntityWriter.h"

#include <QString>

class ConversionView;
class LinkTarget;
class RandomSource;

// Turns the window's input into the converted output with the current options,
// fills the applied-part display and keeps the ConversionState for the preview.
class ConversionRequest
{
public:
    ConversionRequest(ConversionView& view, RandomSource& random);

    void ConvertInput();
    // The site rewrite converts what follows a link's scheme: prefix is that scheme ("mailto:", "http://"),
    // and the input is taken as it stands. Empty (the window): the input is the whole link.
    void setLinkPrefix(const QString& prefix) { m_linkPrefix = prefix; }
    // A browser sends a web address's query in the page's encoding: only a UTF-8 page takes a UTF-8
    // escape there. The window's output may go anywhere (its own preview pages are code page 932).
    void setPageIsUtf8(bool utf8) { m_pageIsUtf8 = utf8; }
    const ConversionState& state() const { return m_writer.state(); }

private:
    void convert();
    int drawBreakSlot(int prefix, int length);
    void writeLineBreakCode();
    void convertOrKeep(const ConversionSettings& settings, int escapeRole);
    int keepOutOfEscapes(int slot, const LinkTarget& link, QStringView input, int first) const;

    ConversionView& m_view;
    RandomSource& m_random;
    EntityWriter m_writer;
    QString m_linkPrefix;
    bool m_pageIsUtf8 = false;
    WinColour m_escapeColour = Colours::Grey; // how the "%" of the escape in hand was written
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
