#include "PreviewPages.h"

#include "FileAccess.h"
#include "LinkTarget.h"
#include "PageTexts.h"
#include "ScriptExamples.h"

#include <QStringList>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString DQ = QStringLiteral("\"");

QString supportRow(const PageTexts& t, int browser, const char* marks, bool widths)
{
    QString row = QStringLiteral("<tr align=\"center\"><td bgcolor=\"#DDDDDD\" align=\"left\">") + t.browsers[browser]
                  + "</td>";
    for (int i = 0; i < 3; ++i) {
        row += QStringLiteral("<td bgcolor=\"#FFFFF%1\"").arg(i) + (widths ? QStringLiteral(" width=\"100\"") : QString())
               + '>' + (marks[i] == 'o' ? t.supported : t.blank) + "</td>";
    }
    return row + "</tr>";
}

QString supportTable(const PreviewSource& s, const PageTexts& t)
{
    const QString open = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" bordercolor=\"#333333\" width=\"600\">");
    QString table = open + QStringLiteral("<tr><th bgcolor=\"#FFFFF3\">") + t.blank
                    + QStringLiteral("</th><th width=\"100\" bgcolor=\"#FFFFF0\">") + t.decimalColumn
                    + QStringLiteral("</th><th width=\"100\" bgcolor=\"#FFFFF1\">") + t.hexColumn
                    + QStringLiteral("</th><th width=\"100\" bgcolor=\"#FFFFF2\">") + t.percentColumn + "</th></tr>"
                    + supportRow(t, 0, "o o", false) + supportRow(t, 1, "ooo", false) + "</table>" + open
                    + supportRow(t, 2, "o o", true) + supportRow(t, 3, "ooo", false) + supportRow(t, 4, "ooo", false)
                    + "</table><br>";
    if (s.usedDecimal)
        table.replace(QStringLiteral("FFFFF0"), QStringLiteral("FFFF00"));
    if (s.usedHex)
        table.replace(QStringLiteral("FFFFF1"), QStringLiteral("FFFF00"));
    if (s.usedPercent)
        table.replace(QStringLiteral("FFFFF2"), QStringLiteral("FFFF00"));
    return table;
}

QString displayText(const PreviewSource& s)
{
    QString text = s.convertedText;
    text.remove(QChar('\r')).remove(QChar('\n')).remove(QStringLiteral("&#10;")).remove(QStringLiteral("&#13;"));
    if (s.usedPercent)
        return text;
    const LinkTarget link = LinkTarget::parse(s.inputText);
    if (link.isMail() && link.hasOwnScheme()) {
        if (!s.prefixOutput.isEmpty())
            text.remove(s.prefixOutput);
    } else if (!link.isMail() && !link.hasOwnScheme()) {
        text.prepend(QStringLiteral("http://"));
    }
    return text;
}

QString sourcePage(const QString& marked, bool inJspFolder, const PageTexts& t)
{
    QString page = t.sourceOpening + CRLF + t.rightClick;
    page += inJspFolder ? CRLF + t.openImageFolder : QStringLiteral("<br><br>");
    page += CRLF + CRLF + CRLF + t.copyFrom + CRLF + CRLF + marked + CRLF + CRLF + t.copyTo + CRLF + CRLF + CRLF;
    page += QStringLiteral("<br><br><hr><a href=\"") + (inJspFolder ? "../" : "") + QStringLiteral("Preview.htm\">")
            + t.back + "</a>" + CRLF + QStringLiteral("</html>");
    return page + CRLF;
}

} // namespace

PreviewPages BuildPreviewPages(const PreviewSource& source, RandomSource& random, UiLanguage language)
{
    const PageTexts& t = PageTexts::of(language);
    // The output box can be edited: nothing typed there may open a tag or end an attribute.
    PreviewSource s = source;
    s.convertedText = ScriptExamples::attributeValue(source.convertedText);
    const QString jsp = QStringLiteral("JSP/");
    ScriptExamples ex(s, displayText(s), t);
    const bool mail = ex.isMail();
    const QString heading = mail ? t.mailHeading : t.urlHeading;
    const QString cannot = heading + t.cannotShow;
    const QString href = QStringLiteral("<a href=\"") + ex.linkPrefix() + s.convertedText + DQ + '>';
    const auto viewSource = [&t](const char* page) {
        return QStringLiteral(" <a href=\"") + QLatin1String(page) + QStringLiteral("\">") + t.viewSource
               + "</a><br><br>";
    };

    QStringList lines;
    lines << t.pageOpening;
    lines << t.supportHeading + supportTable(s, t);
    lines << (s.usedHex ? t.notesHexUsed : t.notesAllBrowsers);
    lines << t.plainExample.arg(mail ? QStringLiteral("mailto:") : QStringLiteral("http://"));
    lines << t.captionHeading + href + ex.linkCaption() + "</a>" + viewSource("preview_cd1.htm");
    lines << (s.usedPercent ? cannot
                            : heading + href + ex.displayText() + "</a>" + viewSource("preview_cd2.htm") + "<hr><br>");
    lines << ex.javaScriptHeading();
    ex.cutHref(random);
    lines << t.captionHeading + ex.textScriptBlock(jsp) + viewSource("JSP/preview_cd_jsp.htm");
    if (!s.usedPercent)
        ex.cutDisplay(random);
    lines << (s.usedPercent ? cannot
                            : heading + ex.linkScriptBlock(jsp) + viewSource("JSP/preview_cd_jsp2.htm") + "<hr>");
    lines << t.tagNoteHeading + QStringLiteral("&lt;a href=\"<font color=#0000ff><strong>") + ex.linkPrefix()
                 + s.inputText.toHtmlEscaped() + QStringLiteral("</strong></font>\"&gt;<font color=#ff0000><strong>")
                 + ex.linkCaption() + QStringLiteral("</strong></font>&lt;/a&gt;") + t.tagNoteExplanation;

    PreviewPages pages;
    pages.preview = lines.join(CRLF) + CRLF;
    pages.sourceText = sourcePage(href + ex.linkCaption() + "</a>", false, t);
    if (s.usedPercent) {
        pages.sourceLink = pages.scriptText = pages.scriptLink = CRLF;
    } else {
        pages.sourceLink = sourcePage(href + ex.displayText() + "</a>", false, t);
        pages.scriptText = sourcePage(ex.textScriptBlock({}), true, t);
        pages.scriptLink = sourcePage(ex.linkScriptBlock({}), true, t);
    }
    return pages;
}

void WritePreviewPages(const PreviewSource& source, RandomSource& random, const QString& folder, UiLanguage language)
{
    const PreviewPages pages = BuildPreviewPages(source, random, language);
    const struct
    {
        const char* name;
        const QString& text;
    } files[] = {{"/Preview.htm", pages.preview},
                 {"/preview_cd1.htm", pages.sourceText},
                 {"/preview_cd2.htm", pages.sourceLink},
                 {"/JSP/preview_cd_jsp.htm", pages.scriptText},
                 {"/JSP/preview_cd_jsp2.htm", pages.scriptLink}};
    for (const auto& file : files)
        FileAccess::writeAtomically(folder + QLatin1String(file.name), PageTexts::of(language).encode(file.text));
}
