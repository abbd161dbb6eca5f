#include "ConversionRequest.h"

#include "AppError.h"
#include "ConversionView.h"

#include <QCoreApplication>
#include "LinkTarget.h"
#include "Random.h"

#include <algorithm>
#include <new>

namespace {

const QString PrefixMailto = QStringLiteral("mailto:");
const QString PrefixHttp = QStringLiteral("http://");
const QString PrefixHttps = QStringLiteral("https://");

int prefixLength(QStringView input)
{
    if (input.startsWith(PrefixHttps))
        return 8;
    return input.startsWith(PrefixHttp) || input.startsWith(PrefixMailto) ? 7 : 0;
}

// The UTF-16 position of character number index (1-based, in code points).
qsizetype positionOfCharacter(QStringView text, int index)
{
    qsizetype pos = 0;
    for (int i = 1; i < index && pos < text.size(); ++i)
        pos += codePointLengthAt(text, pos);
    return pos;
}

// Only these schemes are read with their tabs and line ends dropped; a data: link, for one, keeps them as "%0A".
bool takesLineBreakCode(const LinkTarget& link)
{
    static const QStringList schemes{"mailto", "http", "https"};
    return schemes.contains(link.scheme());
}

// Names each of "@" and "." once, however often the options forced it and no enabled form could take it.
QString unconvertedMessage(const QString& characters)
{
    const bool at = characters.contains(u'@');
    const QString named = at && characters.contains(u'.')
                              ? QCoreApplication::translate("ConversionRequest", "「@」「.」")
                              : QCoreApplication::translate("ConversionRequest", "「%1」").arg(QChar(at ? u'@' : u'.'));
    return QCoreApplication::translate("ConversionRequest", "この設定では %1 を変換できません。").arg(named);
}

} // namespace

qsizetype codePointLengthAt(QStringView text, qsizetype pos)
{
    if (pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate())
        return 2;
    return 1;
}

qsizetype codePointCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype pos = 0; pos < text.size(); pos += codePointLengthAt(text, pos))
        ++count;
    return count;
}

QString codePointText(char32_t code)
{
    if (QChar::requiresSurrogates(code)) {
        const QChar pair[2] = {QChar(QChar::highSurrogate(code)), QChar(QChar::lowSurrogate(code))};
        return QString(pair, 2);
    }
    return QString(QChar(char16_t(code)));
}

void lbl_color_format(ConversionView& view)
{
    for (int cell = 0; cell < ConversionView::CellCount; ++cell) {
        view.setCellColour(cell, Colours::Grey);
        view.setCellCaption(cell, QString());
    }
    for (int marker = 0; marker < ConversionView::MarkerCount; ++marker)
        view.hideBreakMarker(marker);
}

int CntStr(const QString& text, const QString& pattern)
{
    if (pattern.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype pos = text.indexOf(pattern); pos >= 0; pos = text.indexOf(pattern, pos + pattern.size()))
        ++count;
    return count;
}

void SelectAllInput(ConversionView& view)
{
    if (!view.inputText().isEmpty())
        view.focusAndSelectAllInput();
}

void SelectAllOutput(ConversionView& view)
{
    if (!view.outputText().isEmpty())
        view.focusAndSelectAllOutput();
}

ConversionRequest::ConversionRequest(ConversionView& view, RandomSource& random)
    : m_view(view), m_random(random), m_writer(view, random)
{
}

void ConversionRequest::ConvertInput()
{
    int error = 0;
    try {
        convert();
    } catch (const AppError& e) {
        error = e.number();
    } catch (const std::bad_alloc&) {
        error = AppError::OutOfMemory;
    }
    if (error != 0 && error != AppError::ClipboardUnavailable)
        m_view.showMessage(errorNumberMessage(error));
}

// Slot k puts the code before character k + 2: never before the first character or inside
// the prefix (at the earliest right after it), never after the 50th character.
int ConversionRequest::drawBreakSlot(int prefix, int length)
{
    const int first = std::max(prefix, 1) - 1;
    const int last = std::min(length, 50) - 2;
    return RoundHalfEven(DrawRandom(m_random) * (last - first) + first);
}

void ConversionRequest::writeLineBreakCode()
{
    ConversionState& s = m_writer.state();
    static const char* const codes[] = {"&#10;", "&#13;", "\n", "\r"};
    const char* code = codes[RoundHalfEven(DrawRandom(m_random) * 3)];
    for (; *code != '\0'; ++code)
        s.OutputBuffer.data()[s.WritePos++ - 1] = QLatin1Char(*code);
}

void ConversionRequest::convertOrKeep(const ConversionSettings& settings, int escapeRole)
{
    ConversionState& s = m_writer.state();
    const bool coin = RoundHalfEven(DrawRandom(m_random)) == 1;
    // The digits of an escape the input holds are written as its "%" was: the escape stays one piece.
    if (escapeRole > 0) {
        if (m_escapeColour == Colours::Grey)
            m_writer.WriteAsIs();
        else
            m_writer.ConvertCharLike(m_escapeColour);
        return;
    }
    bool convert = false;
    s.MustConvert = true;
    if (s.CurrentChar == QLatin1String("@")) {
        convert = settings.atAlways;
    } else if (s.CurrentChar == QLatin1String(".")) {
        convert = settings.dotAlways;
    } else {
        convert = (settings.scope == EntityScope::Random && coin) || settings.scope == EntityScope::All;
        s.MustConvert = settings.scope == EntityScope::All;
    }

    if (convert)
        m_writer.ConvertChar();
    else
        m_writer.WriteAsIs();
    m_escapeColour = s.MaskColor;
}

// A line-break code drawn inside an escape the input holds moves before it, or after it at the start.
int ConversionRequest::keepOutOfEscapes(int slot, const LinkTarget& link, QStringView input, int first) const
{
    const int role = link.escapeRole(positionOfCharacter(input, slot + 2));
    if (role <= 0)
        return slot;
    if (slot - role >= first)
        return slot - role;
    const int after = slot + 3 - role;
    return after + 2 <= std::min<qsizetype>(codePointCount(input), 50) ? after : -1;
}

void ConversionRequest::convert()
{
    ConversionState& s = m_writer.state();
    s.WritePos = 1;
    s.CharsDone = 0;
    s.UsedDecimal = s.UsedHex = s.UsedPercent = false;
    s.Unconverted.clear();

    const ConversionSettings settings = m_view.settings();
    QString input = m_view.inputText();
    if (!settings.anyFormEnabled() && !input.isEmpty()) {
        m_view.setInputLengthCaption(QString::number(codePointCount(input)));
        m_view.setOutputText(QString());
        lbl_color_format(m_view);
        m_view.showErrorLine(QCoreApplication::translate("ConversionRequest", "出力形式が選択されていません。"));
        m_view.focusDecimalBox();
        return;
    }
    m_view.hideErrorLine();

    const qsizetype length = codePointCount(input);
    s.OutputBuffer = QString(EntityWriter::MaxCharOutput * length + EntityWriter::MaxBreakOutput, QLatin1Char(' '));
    lbl_color_format(m_view);

    const QString normalised = QString(input)
                                   .replace(QStringLiteral("MAILTO:"), PrefixMailto)
                                   .replace(QStringLiteral("HTTP://"), PrefixHttp)
                                   .replace(QStringLiteral("HTTPS://"), PrefixHttps);
    if (m_linkPrefix.isEmpty() && normalised != input) {
        m_view.setInputText(normalised);
        input = normalised;
    }

    s.PrefixLength = m_linkPrefix.isEmpty() ? prefixLength(input) : 0;
    const LinkTarget link = LinkTarget::parse(input, m_linkPrefix, m_pageIsUtf8);
    int breakSlot = -1;
    if (settings.lineBreak && length >= 2 && takesLineBreakCode(link)) {
        if (length > s.PrefixLength) {
            breakSlot = drawBreakSlot(s.PrefixLength, static_cast<int>(std::min<qsizetype>(length, 50)));
            breakSlot = keepOutOfEscapes(breakSlot, link, input, std::max(s.PrefixLength, 1) - 1);
        }
        if (breakSlot != -1)
            m_view.showBreakMarker(breakSlot, Colours::BreakMarker);
    }
    s.PrefixZone = s.PrefixLength > 0 ? '1' : '2';

    qsizetype pos = 0;
    for (s.CharIndex = 1; s.CharIndex <= length; ++s.CharIndex) {
        if (breakSlot != -1 && s.CharIndex == breakSlot + 2)
            writeLineBreakCode();
        if (s.CharsDone == 7)
            s.PrefixOutput = s.OutputBuffer.left(s.WritePos - 1);
        const qsizetype units = codePointLengthAt(input, pos);
        s.CurrentChar = QStringView(input).mid(pos, units);
        s.PercentAllowed = link.percentKeepsMeaning(pos);
        const int escapeRole = link.escapeRole(pos);
        pos += units;
        convertOrKeep(settings, escapeRole);
        if (s.CharIndex <= ConversionView::CellCount)
            m_view.setCellCaption(s.CharIndex - 1, s.CurrentChar.toString());
        ++s.CharsDone;
    }
    s.CurrentChar = QStringView();
    m_view.setOutputText(s.OutputBuffer.left(s.WritePos - 1));
    if (!s.Unconverted.isEmpty())
        m_view.showErrorLine(unconvertedMessage(s.Unconverted));
    SelectAllOutput(m_view);
}
