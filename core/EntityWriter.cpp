#include "EntityWriter.h"

#include "ConversionView.h"
#include "Random.h"

#include <cstdio>

namespace {

bool isLoneSurrogate(QStringView character)
{
    return character.size() == 1 && character.at(0).isSurrogate();
}

// Digits of value in base 16 or 10, most significant first; returns the count.
int formatNumber(char* out, char32_t value, int base, bool upperCase)
{
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = digits[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < count; ++i)
        out[i] = reversed[count - 1 - i];
    return count;
}

int utf8Bytes(char32_t code, unsigned char* out)
{
    if (code < 0x80) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    return 4;
}

} // namespace

EntityWriter::EntityWriter(ConversionView& view, RandomSource& random) : m_view(view), m_random(random) {}

char32_t EntityWriter::CharCode() const
{
    const QStringView c = m_state.CurrentChar;
    if (c.size() == 2 && c.at(0).isHighSurrogate() && c.at(1).isLowSurrogate())
        return QChar::surrogateToUcs4(c.at(0), c.at(1));
    return c.isEmpty() ? 0 : c.at(0).unicode();
}

void EntityWriter::put(const char* text, qsizetype length)
{
    QChar* out = m_state.OutputBuffer.data() + (m_state.WritePos - 1);
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QLatin1Char(text[i]);
    m_state.WritePos += length;
}

void EntityWriter::put(QChar character)
{
    m_state.OutputBuffer.data()[m_state.WritePos - 1] = character;
    ++m_state.WritePos;
}

bool EntityWriter::drawUpperCase()
{
    return RoundHalfEven(DrawRandom(m_random)) == 1;
}

void EntityWriter::WriteDecimal()
{
    char text[16] = {'&', '#'};
    int length = 2;
    for (int i = 0; i < m_state.ZeroPad; ++i)
        text[length++] = '0';
    length += formatNumber(text + length, CharCode(), 10, false);
    text[length++] = ';';
    put(text, length);
    m_state.MaskColor = Colours::Yellow;
    m_state.UsedDecimal = true;
}

void EntityWriter::WriteHex()
{
    const bool upper = drawUpperCase();
    char text[16] = {'&', '#', 'x'};
    int length = 3;
    for (int i = 0; i < m_state.ZeroPad; ++i)
        text[length++] = '0';
    length += formatNumber(text + length, CharCode(), 16, upper);
    text[length++] = ';';
    put(text, length);
    m_state.MaskColor = Colours::LightGreen;
    m_state.UsedHex = true;
}

void EntityWriter::WritePercent()
{
    // One case draw per character, for all the bytes of its UTF-8 form.
    const char* digits = drawUpperCase() ? "0123456789ABCDEF" : "0123456789abcdef";
    unsigned char bytes[4];
    const int count = utf8Bytes(CharCode(), bytes);
    char text[12];
    int length = 0;
    for (int i = 0; i < count; ++i) {
        text[length++] = '%';
        text[length++] = digits[bytes[i] >> 4];
        text[length++] = digits[bytes[i] & 0x0F];
    }
    put(text, length);
    m_state.MaskColor = Colours::LightCyan;
    m_state.UsedPercent = true;
}

// A character left as it is must still read as itself in a page, also inside href="…".
void EntityWriter::WriteAsIs()
{
    static const struct
    {
        char character;
        const char* text;
    } markupSafe[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};
    m_state.MaskColor = Colours::Grey;
    const QStringView c = m_state.CurrentChar;
    for (const auto& safe : markupSafe) {
        if (c.size() == 1 && c.at(0) == QLatin1Char(safe.character)) {
            put(safe.text, qstrlen(safe.text));
            return;
        }
    }
    for (QChar unit : m_state.CurrentChar)
        put(unit);
}

EntityWriter::Choice EntityWriter::drawForm(const ConversionSettings& settings)
{
    if (!settings.anyFormEnabled())
        return Decimal;
    const bool inPrefix = m_state.PrefixZone == '1';
    for (;;) {
        switch (RoundHalfEven(DrawRandom(m_random) * 2)) {
        case 0:
            if (settings.decimal)
                return Decimal;
            break;
        case 1:
            if (settings.hex)
                return Hex;
            break;
        default:
            if (settings.percent && inPrefix) {
                if (!settings.decimal && !settings.hex)
                    return AsIs;
            } else if (settings.percent) {
                return Percent;
            }
            break;
        }
    }
}

// A character that may be left (the scope's coin chose it) stays as it is; one the options force takes a reference.
void EntityWriter::writeWithoutPercent(const ConversionSettings& settings)
{
    const bool forced = m_state.MustConvert || settings.scope == EntityScope::All;
    if (!forced || (!settings.decimal && !settings.hex)) {
        WriteAsIs();
        if (forced && (m_state.CurrentChar == QLatin1String("@") || m_state.CurrentChar == QLatin1String(".")))
            m_state.Unconverted += m_state.CurrentChar;
    } else if (settings.decimal && settings.hex) {
        if (RoundHalfEven(DrawRandom(m_random)) == 1)
            WriteHex();
        else
            WriteDecimal();
    } else if (settings.decimal) {
        WriteDecimal();
    } else {
        WriteHex();
    }
}

void EntityWriter::write(Choice choice, const ConversionSettings& settings)
{
    m_state.ZeroPad = settings.lineBreak ? RoundHalfEven(DrawRandom(m_random) * 2) : 0;
    switch (choice) {
    case Decimal: WriteDecimal(); break;
    case Hex: WriteHex(); break;
    case AsIs: WriteAsIs(); break;
    case Percent:
        if (!m_state.PercentAllowed || m_state.CurrentChar == QLatin1String("/"))
            writeWithoutPercent(settings);
        else
            WritePercent();
        break;
    }
}

void EntityWriter::ConvertChar()
{
    if (m_state.PrefixZone == '1' && m_state.CharsDone >= m_state.PrefixLength)
        m_state.PrefixZone = '2';

    const ConversionSettings settings = m_view.settings();
    if (isLoneSurrogate(m_state.CurrentChar)) {
        // Half a character has no code point to name; it passes through untouched.
        WriteAsIs();
    } else {
        const Choice choice = drawForm(settings);
        write(choice, settings);
    }
    if (m_state.CharIndex <= ConversionView::CellCount)
        m_view.setCellColour(m_state.CharIndex - 1, m_state.MaskColor);
}

void EntityWriter::ConvertCharLike(WinColour colour)
{
    write(colour == Colours::Yellow ? Decimal : colour == Colours::LightGreen ? Hex : AsIs, m_view.settings());
    if (m_state.CharIndex <= ConversionView::CellCount)
        m_view.setCellColour(m_state.CharIndex - 1, m_state.MaskColor);
}
