#include "PreviewPages.h"

#include "Cp932.h"
#include "FileAccess.h"
#include "LinkTarget.h"
#include "ScriptExamples.h"

#include <QStringList>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString DQ = QStringLiteral("\"");
const QString Cannot = QStringLiteral("できません。(表示させるにはエンティティ出力形式をタグ内のみ以外に設定してください。)<hr>");

QString supportRow(const QString& browser, const char* marks, bool widths)
{
    QString row = QStringLiteral("<tr align=\"center\"><td bgcolor=\"#DDDDDD\" align=\"left\">") + browser + "</td>";
    for (int i = 0; i < 3; ++i) {
        row += QStringLiteral("<td bgcolor=\"#FFFFF%1\"").arg(i) + (widths ? QStringLiteral(" width=\"100\"") : QString())
               + '>' + (marks[i] == 'o' ? QStringLiteral("○") : QStringLiteral("　")) + "</td>";
    }
    return row + "</tr>";
}

QString supportTable(const PreviewSource& s)
{
    const QString open = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" bordercolor=\"#333333\" width=\"600\">");
    QString table = open
                    + QStringLiteral("<tr><th bgcolor=\"#FFFFF3\">　</th><th width=\"100\" bgcolor=\"#FFFFF0\">10進(&amp;#)"
                                     "</th><th width=\"100\" bgcolor=\"#FFFFF1\">16進(&amp;#x)</th>"
                                     "<th width=\"100\" bgcolor=\"#FFFFF2\">16進(%)</th></tr>")
                    + supportRow(QStringLiteral("InternetExplorer 3.0～4.01"), "o o", false)
                    + supportRow(QStringLiteral("InternetExplorer 5.0以降"), "ooo", false) + "</table>" + open
                    + supportRow(QStringLiteral("Netscape Communicator 4.04～4.73"), "o o", true)
                    + supportRow(QStringLiteral("Netscape Communicator 4.75以降"), "ooo", false)
                    + supportRow(QStringLiteral("Netscape 6以降"), "ooo", false) + "</table><br>";
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

QString sourcePage(const QString& marked, bool inJspFolder)
{
    QString page = QStringLiteral("<html>") + CRLF + QStringLiteral("右クリックして、ソースを表示を選択してください。");
    page += inJspFolder ? CRLF + QStringLiteral("　<font size=2><a href=\"../JSP\" Target=\"_blank\">"
                                                 "png画像+HTMLソースが保存されているフォルダを開く</a></font><hr><br>")
                        : QStringLiteral("<br><br>");
    page += CRLF + CRLF + CRLF + QStringLiteral("<!-- @@@@@@@@@@@@@ ここから @@@@@@@@@@@@@ -->") + CRLF + CRLF + marked
            + CRLF + CRLF + QStringLiteral("<!-- @@@@@@@@@@@@@ ここまで @@@@@@@@@@@@@ -->") + CRLF + CRLF + CRLF;
    page += QStringLiteral("<br><br><hr><a href=\"") + (inJspFolder ? "../" : "") + QStringLiteral("Preview.htm\">戻る</a>")
            + CRLF + QStringLiteral("</html>");
    return page + CRLF;
}

} // namespace

PreviewPages BuildPreviewPages(const PreviewSource& source, RandomSource& random)
{
    // The output box can be edited: nothing typed there may open a tag or end an attribute.
    PreviewSource s = source;
    s.convertedText = ScriptExamples::attributeValue(source.convertedText);
    const QString jsp = QStringLiteral("JSP/");
    ScriptExamples ex(s, displayText(s));
    const bool mail = ex.isMail();
    const QString heading = mail ? QStringLiteral("<strong>メールアドレスでの表示</strong><br>")
                                 : QStringLiteral("<strong>リンクでの表示</strong><br>");
    const QString href = QStringLiteral("<a href=\"") + ex.linkPrefix() + s.convertedText + DQ + '>';

    QStringList lines;
    lines << QStringLiteral("<html><title>エンティティプレビュー</title>");
    lines << QStringLiteral("<strong>このエンティティでの対応ブラウザ</strong>(今のエンティティ部分:黄色)<br>") + supportTable(s);
    lines << (s.usedHex ? QStringLiteral("<strong>解説</strong><br>InternetExplorer5.0以降・Natscape4.75以降のバージョンに対応しています。<br>"
                                         "全てのブラウザに対応させる場合は、エンティティ出力形式を10進または16進(%)形式に設定してください。<hr>")
                        : QStringLiteral("<strong>解説</strong><br>InternetExplorer, Natscapeの全てのバージョンに対応しています。<hr><br>"));
    lines << (mail ? QStringLiteral("<strong>mailto:リンクの作成例(通常記述)</strong><br><br>")
                   : QStringLiteral("<strong>http://リンクの作成例(通常記述)</strong><br><br>"));
    lines << QStringLiteral("<strong>文字での表示</strong><br>") + href + ex.linkCaption()
                 + QStringLiteral("</a> <a href=\"preview_cd1.htm\">(ソースを見る)</a><br><br>");
    lines << heading + (s.usedPercent ? Cannot
                                      : href + ex.displayText()
                                            + QStringLiteral("</a> <a href=\"preview_cd2.htm\">(ソースを見る)</a><br><br><hr><br>"));
    lines << ex.javaScriptHeading();
    ex.cutHref(random);
    lines << QStringLiteral("<strong>文字での表示</strong><br>") + ex.textScriptBlock(jsp)
                 + QStringLiteral(" <a href=\"JSP/preview_cd_jsp.htm\">(ソースを見る)</a><br><br>");
    if (!s.usedPercent)
        ex.cutDisplay(random);
    lines << heading + (s.usedPercent ? Cannot
                                      : ex.linkScriptBlock(jsp) + QStringLiteral(" <a href=\"JSP/preview_cd_jsp2.htm\">(ソースを見る)</a><br><br><hr>"));
    lines << QStringLiteral("<br>※タグ内・タグ外とは？<br>&lt;a href=\"<font color=#0000ff><strong>") + ex.linkPrefix()
                 + s.inputText.toHtmlEscaped() + QStringLiteral("</strong></font>\"&gt;<font color=#ff0000><strong>")
                 + ex.linkCaption()
                 + QStringLiteral("</strong></font>&lt;/a&gt;<br><br>この例で言うと、<font color=#0000ff>タグ内は青色</font>の部分で、"
                                  "<font color=#ff0000>タグ外は赤色</font>の部分になります。");

    PreviewPages pages;
    pages.preview = lines.join(CRLF) + CRLF;
    pages.sourceText = sourcePage(href + ex.linkCaption() + "</a>", false);
    if (s.usedPercent) {
        pages.sourceLink = pages.scriptText = pages.scriptLink = CRLF;
    } else {
        pages.sourceLink = sourcePage(href + ex.displayText() + "</a>", false);
        pages.scriptText = sourcePage(ex.textScriptBlock({}), true);
        pages.scriptLink = sourcePage(ex.linkScriptBlock({}), true);
    }
    return pages;
}

void WritePreviewPages(const PreviewSource& source, RandomSource& random, const QString& folder)
{
    const PreviewPages pages = BuildPreviewPages(source, random);
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
        FileAccess::writeAtomically(folder + QLatin1String(file.name), Cp932::encodeWithReferences(file.text));
}
