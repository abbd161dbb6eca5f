#include "ScriptExamples.h"

#include "ConversionRequest.h"
#include "Cp932.h"
#include "LinkTarget.h"
#include "Random.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Splits text after a random number of characters (code points) from 0 to length - 1.
std::pair<QString, QString> cut(const QString& text, RandomSource& random)
{
    const qsizetype length = codePointCount(text);
    const int count = std::max(0, RoundHalfEven(DrawRandom(random) * double(length - 1)));
    qsizetype pos = 0;
    for (int i = 0; i < count && pos < text.size(); ++i)
        pos += codePointLengthAt(text, pos);
    return {text.left(pos), text.mid(pos)};
}

QString withoutLineBreaks(QString text)
{
    return text.remove(QChar('\r')).remove(QChar('\n'));
}

} // namespace

ScriptExamples::ScriptExamples(const PreviewSource& source, QString displayText, const PageTexts& texts)
    : m_source(source), m_texts(texts), m_displayText(std::move(displayText))
{
    const QString& input = source.inputText;
    // A link with a scheme of its own ("Mailto:", "https://…/@name") goes where it says; without one, an
    // input with "@" is a mail address and any other a web address.
    const LinkTarget link = LinkTarget::parse(input);
    m_mail = link.isMail();
    if (!link.hasOwnScheme())
        m_linkPrefix = m_mail ? QStringLiteral("mailto:") : QStringLiteral("http://");
    m_linkCaption = m_mail ? texts.mailCaption : texts.urlCaption;
}

QString ScriptExamples::attributeValue(const QString& text)
{
    return QString(text)
        .replace(QChar('"'), QStringLiteral("&quot;"))
        .replace(QChar('<'), QStringLiteral("&lt;"))
        .replace(QChar('>'), QStringLiteral("&gt;"));
}

QString ScriptExamples::jsLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QChar('\\') || c == QChar('"'))
            out += QStringLiteral("\\") + c;
        else if (c == QChar('\r'))
            out += QStringLiteral("\\r");
        else if (c == QChar('\n'))
            out += QStringLiteral("\\n");
        else if (c == QChar('/') && i > 0 && text.at(i - 1) == QChar('<'))
            out += QStringLiteral("\\/"); // "</" would end the script element
        else if (c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.isSurrogate() || !Cp932::encode(QString(c)))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar('0')); // the page cannot hold it as is
        else
            out += c;
    }
    return out;
}

QString ScriptExamples::javaScriptHeading() const
{
    return m_mail ? m_texts.scriptExample.arg(QStringLiteral("mailto:"), m_texts.mailImage)
                  : m_texts.scriptExample.arg(QStringLiteral("http://"), m_texts.urlImage);
}

void ScriptExamples::cutHref(RandomSource& random)
{
    auto [first, rest] = cut(m_source.convertedText, random);
    m_m1 = jsLiteral(withoutLineBreaks(first));
    m_m2 = jsLiteral(withoutLineBreaks(rest));
}

void ScriptExamples::cutDisplay(RandomSource& random)
{
    auto [first, rest] = cut(m_displayText, random);
    m_m3 = jsLiteral(first);
    m_m4 = jsLiteral(rest);
}

QStringList ScriptExamples::scriptHead() const
{
    return {QStringLiteral("<script Language = \"JavaScript\">"), QStringLiteral("<!--"),
            QStringLiteral("m1=\"") + m_m1 + QStringLiteral("\";"), QStringLiteral("m2=\"") + m_m2 + QStringLiteral("\";")};
}

QStringList ScriptExamples::scriptTail(const QString& imageFolder)
{
    return {QStringLiteral("//-->"), QStringLiteral("</script>"), QStringLiteral("<noscript>"),
            QStringLiteral("<img src=\"") + imageFolder + QStringLiteral("mailadd.png\">"),
            QStringLiteral("</noscript></a>")};
}

QString ScriptExamples::textScriptBlock(const QString& imageFolder) const
{
    QStringList lines = scriptHead();
    lines << QStringLiteral("document.write('<a href=\"") + m_linkPrefix + QStringLiteral("'+m1+m2+'\">") + m_linkCaption
                 + QStringLiteral("</a>');");
    return (lines + scriptTail(imageFolder)).join(CRLF);
}

QString ScriptExamples::linkScriptBlock(const QString& imageFolder) const
{
    QStringList lines = scriptHead();
    lines << QStringLiteral("m3=\"") + m_m3 + QStringLiteral("\";") << QStringLiteral("m4=\"") + m_m4 + QStringLiteral("\";")
          << QStringLiteral("document.write('<a href=\"") + m_linkPrefix + QStringLiteral("'+m1+m2+'\">'+m3+m4+'</a>');");
    return (lines + scriptTail(imageFolder)).join(CRLF);
}
