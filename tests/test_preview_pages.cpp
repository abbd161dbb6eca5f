// Every page compared whole with text written out from the page layout by hand.
#include "Cp932.h"
#include "PageTexts.h"
#include "PreviewPages.h"
#include "ScriptExamples.h"
#include "ScriptedRandom.h"

#include <QtTest>

namespace {

const QString N = "\r\n";
const QString Open = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" bordercolor=\"#333333\" width=\"600\">";

// The browser table in the page's words (blank, mark, three heads, five browsers), the forms in use in yellow.
QString table(const QString& highlight, const QStringList& w)
{
    const QString tr = "<tr align=\"center\"><td bgcolor=\"#DDDDDD\" align=\"left\">%1</td><td bgcolor=\"#FFFFF0\"%3>"
                       + w[1] + "</td><td bgcolor=\"#FFFFF1\"%3>%2</td><td bgcolor=\"#FFFFF2\"%3>" + w[1] + "</td></tr>";
    const QString th = "</th><th width=\"100\" bgcolor=\"#FFFFF";
    QString t = Open + "<tr><th bgcolor=\"#FFFFF3\">" + w[0] + th + "0\">" + w[2] + th + "1\">" + w[3] + th + "2\">" + w[4]
                + "</th></tr>" + tr.arg(w[5], w[0], "") + tr.arg(w[6], w[1], "") + "</table>" + Open
                + tr.arg(w[7], w[0], " width=\"100\"") + tr.arg(w[8], w[1], "") + tr.arg(w[9], w[1], "") + "</table><br>";
    for (QChar c : highlight) t.replace(QString("FFFFF") + c, "FFFF00");
    return t;
}
const QStringList JapaneseTable{"　", "○", "10進(&amp;#)", "16進(&amp;#x)", "16進(%)", "InternetExplorer 3.0～4.01",
                                "InternetExplorer 5.0以降", "Netscape Communicator 4.04～4.73",
                                "Netscape Communicator 4.75以降", "Netscape 6以降"};
const QStringList EnglishTable{"&nbsp;", "✓", "Decimal (&amp;#)", "Hex (&amp;#x)", "Hex (%)", "Internet Explorer 3.0–4.01",
                               "Internet Explorer 5.0 and later", "Netscape Communicator 4.04–4.73",
                               "Netscape Communicator 4.75 and later", "Netscape 6 and later"};

QString script(const QString& prefix, const QString& m1, const QString& m2, const QString& caption,
               const QString& m3 = {}, const QString& m4 = {})
{
    QString s = "<script Language = \"JavaScript\">" + N + "<!--" + N + "m1=\"" + m1 + "\";" + N + "m2=\"" + m2 + "\";" + N;
    if (caption.isEmpty())
        s += "m3=\"" + m3 + "\";" + N + "m4=\"" + m4 + "\";" + N + "document.write('<a href=\"" + prefix
             + "'+m1+m2+'\">'+m3+m4+'</a>');";
    else
        s += "document.write('<a href=\"" + prefix + "'+m1+m2+'\">" + caption + "</a>');";
    return s + N + "//-->" + N + "</script>" + N + "<noscript>" + N + "<img src=\"JSP/mailadd.png\">" + N + "</noscript></a>";
}

QString source(const QString& marked, bool jsp)
{
    return "<html>" + N + "右クリックして、ソースを表示を選択してください。"
           + (jsp ? N + "　<font size=2><a href=\"../JSP\" Target=\"_blank\">png画像+HTMLソースが保存されているフォルダを開く</a></font><hr><br>"
                  : QString("<br><br>"))
           + N + N + N + "<!-- @@@@@@@@@@@@@ ここから @@@@@@@@@@@@@ -->" + N + N + marked + N + N
           + "<!-- @@@@@@@@@@@@@ ここまで @@@@@@@@@@@@@ -->" + N + N + N + "<br><br><hr><a href=\""
           + (jsp ? "../" : "") + "Preview.htm\">戻る</a>" + N + "</html>" + N;
}

const QString Cannot = "できません。(表示させるにはエンティティ出力形式をタグ内のみ以外に設定してください。)<hr>";

struct Expected
{
    bool mail;
    QString highlight, prefix, output, display, input, m1, m2, m3, m4; // the cut href and the cut display
};

QString previewPage(const Expected& e)
{
    const QString heading = e.mail ? "<strong>メールアドレスでの表示</strong><br>" : "<strong>リンクでの表示</strong><br>";
    const QString kind = e.mail ? "mailto:" : "http://", href = e.prefix + e.output;
    const QString caption = e.mail ? "メールはこちら" : "リンクはこちら";
    const bool hex = e.highlight.contains('1'), percent = e.highlight.contains('2');
    const QString text = script(e.prefix, e.m1, e.m2, caption), link = script(e.prefix, e.m1, e.m2, {}, e.m3, e.m4);
    QStringList l;
    l << "<html><title>エンティティプレビュー</title>"
      << "<strong>このエンティティでの対応ブラウザ</strong>(今のエンティティ部分:黄色)<br>" + table(e.highlight, JapaneseTable)
      << (hex ? "<strong>解説</strong><br>InternetExplorer5.0以降・Natscape4.75以降のバージョンに対応しています。<br>"
                "全てのブラウザに対応させる場合は、エンティティ出力形式を10進または16進(%)形式に設定してください。<hr>"
              : "<strong>解説</strong><br>InternetExplorer, Natscapeの全てのバージョンに対応しています。<hr><br>")
      << "<strong>" + kind + "リンクの作成例(通常記述)</strong><br><br>"
      << "<strong>文字での表示</strong><br><a href=\"" + href + "\">" + caption
             + "</a> <a href=\"preview_cd1.htm\">(ソースを見る)</a><br><br>"
      << heading + (percent ? Cannot : "<a href=\"" + href + "\">" + e.display
                                             + "</a> <a href=\"preview_cd2.htm\">(ソースを見る)</a><br><br><hr><br>")
      << "<strong>" + kind + "リンクの作成例(JavaScript + png記述)</strong><br><font color=\"#ff0000\">"
             "※JavaScriptが未対応のブラウザ・設定で切ってある場合、" + (e.mail ? "メールアドレス" : "URL")
             + "のpng画像が表示されます。</font><br>png表示 -> <img src=\"JSP/mailadd.png\"><br><br>"
      << "<strong>文字での表示</strong><br>" + text + " <a href=\"JSP/preview_cd_jsp.htm\">(ソースを見る)</a><br><br>"
      << heading + (percent ? Cannot : link + " <a href=\"JSP/preview_cd_jsp2.htm\">(ソースを見る)</a><br><br><hr>")
      << "<br>※タグ内・タグ外とは？<br>&lt;a href=\"<font color=#0000ff><strong>" + e.prefix + e.input
             + "</strong></font>\"&gt;<font color=#ff0000><strong>" + caption
             + "</strong></font>&lt;/a&gt;<br><br>この例で言うと、<font color=#0000ff>タグ内は青色</font>の部分で、"
               "<font color=#ff0000>タグ外は赤色</font>の部分になります。";
    return l.join(N) + N;
}

PreviewPages build(const PreviewSource& source, std::initializer_list<double> cuts, UiLanguage language = UiLanguage::Japanese)
{
    ScriptedRandom random(cuts);
    return BuildPreviewPages(source, random, language);
}

// moc misreads raw string literals, so the hand-written English page is kept from it.
#ifndef Q_MOC_RUN
QString englishPreview()
{
    return QString(R"(<html><head><meta charset="utf-8"><title>Preview of the hidden address</title></head>
<strong>Browsers that read these forms</strong> (the forms used now are yellow)<br>TABLE
<strong>Notes</strong><br>Works in every version of Internet Explorer and Netscape.<hr><br>
<strong>A mailto: link in plain HTML</strong><br><br>
<strong>With a caption</strong><br><a href="mailto:a&#64;b&#46;c">Send us an email</a> <a href="preview_cd1.htm">(view source)</a><br><br>
<strong>Showing the address</strong><br><a href="mailto:a&#64;b&#46;c">a&#64;b&#46;c</a> <a href="preview_cd2.htm">(view source)</a><br><br><hr><br>
<strong>A mailto: link written by JavaScript, with an image</strong><br><font color="#ff0000">* Where JavaScript is missing or turned off, the browser shows a PNG image of the mail address instead.</font><br>The image: <img src="JSP/mailadd.png"><br><br>
<strong>With a caption</strong><br>TEXT <a href="JSP/preview_cd_jsp.htm">(view source)</a><br><br>
<strong>Showing the address</strong><br>LINK <a href="JSP/preview_cd_jsp2.htm">(view source)</a><br><br><hr>
<br>* What is inside and outside the tag?<br>&lt;a href="<font color=#0000ff><strong>mailto:a@b.c</strong></font>"&gt;<font color=#ff0000><strong>Send us an email</strong></font>&lt;/a&gt;<br><br>In this example, <font color=#0000ff>the blue part is inside the tag</font> and <font color=#ff0000>the red part is outside it</font>.
)").replace("\n", N).replace("TEXT", script("mailto:", "a&#64;", "b&#46;c", "Send us an email"))
       .replace("LINK", script("mailto:", "a&#64;", "b&#46;c", {}, "a&#64;", "b&#46;c"))
       .replace("TABLE", table("0", EnglishTable));
}
#endif

} // namespace

class PreviewPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void mailInputWritesAllFivePages()
    {
        QTemporaryDir dir; QDir(dir.path()).mkdir("JSP");
        ScriptedRandom random{0.5, 0.5}; // both cuts after 6 of 12 characters
        WritePreviewPages({"a@b.c", "a&#64;b&#46;c", true, false, false, "old"}, random, dir.path());
        const Expected e{true, "0", "mailto:", "a&#64;b&#46;c", "a&#64;b&#46;c", "a@b.c", "a&#64;", "b&#46;c", "a&#64;",
                         "b&#46;c"};
        const QString text = script(e.prefix, e.m1, e.m2, "メールはこちら"), link = script(e.prefix, e.m1, e.m2, {}, e.m3, e.m4);
        const QList<std::pair<QString, QString>> pages{
            {"Preview.htm", previewPage(e)},
            {"preview_cd1.htm", source("<a href=\"mailto:a&#64;b&#46;c\">メールはこちら</a>", false)},
            {"preview_cd2.htm", source("<a href=\"mailto:a&#64;b&#46;c\">a&#64;b&#46;c</a>", false)},
            {"JSP/preview_cd_jsp.htm", source(QString(text).replace("JSP/", ""), true)},
            {"JSP/preview_cd_jsp2.htm", source(QString(link).replace("JSP/", ""), true)}};
        for (const auto& [name, page] : pages) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), Cp932::encode(page).value());
        }
        QVERIFY(Cp932::encode(pages[0].second).value().startsWith("<html><title>\x83\x47\x83\x93"));
    }

    void previewPageFollowsTheFormsAndPrefix()
    {
        const QString hexed = "w&#x2E;x/y"; // first cut 0, second at the last character
        QCOMPARE(build({"w.x/y", hexed, false, true, false, {}}, {0.0, 1.0}).preview,
                 previewPage({false, "1", "http://", hexed, "http://" + hexed, "w.x/y", "", hexed, "http://w&#x2E;x/",
                              "y"}));
        // A converted "mailto:" is dropped from the display.
        const QString mail = "mailto:a&#64;b.c";
        QCOMPARE(build({"mailto:a@b.c", mail, true, false, false, "mailto:"}, {0.0, 0.0}).preview,
                 previewPage({true, "0", "", mail, "a&#64;b.c", "mailto:a@b.c", "", mail, "", "a&#64;b.c"}));
        // A prefix that took the line-break code no longer stands in the cleaned text: nothing is removed.
        const QString broken = "mailto:&#10;";
        QVERIFY(build({"mailto:a@b.c", broken + "a&#64;b.c", true, false, false, broken}, {0.0, 0.0})
                    .preview.contains(">mailto:a&#64;b.c</a> <a href=\"preview_cd2.htm\">"));
    }

    void linkGoesWhereItsSchemeSays_data()
    {
        QTest::addColumn<QString>("input"); QTest::addColumn<QString>("href");
        const QString mail = "\">メールはこちら</a>", link = "\">リンクはこちら</a>";
        QTest::newRow("https with @ in the path") << "https://medium.com/@writer" << "https://medium.com/@writer" + link;
        QTest::newRow("@ in the query") << "https://example.com/?email=a@b.jp" << "https://example.com/?email=a@b.jp" + link;
        QTest::newRow("Mailto: in any case") << "MailTo:info@example.com" << "MailTo:info@example.com" + mail;
        QTest::newRow("other scheme") << "ftp://example.com/" << "ftp://example.com/" + link;
        QTest::newRow("@ and no scheme") << "a@b.jp" << "mailto:a@b.jp" + mail;
        QTest::newRow("host and port") << "example.com:8080/" << "http://example.com:8080/" + link;
    }

    void linkGoesWhereItsSchemeSays()
    {
        QFETCH(QString, input); QFETCH(QString, href);
        const QString page = build({input, input, true, false, false, input.left(7)}, {0.0, 0.0}).preview;
        QVERIFY2(page.contains("<a href=\"" + href), qPrintable(page));
        QCOMPARE(page.count("<a href=\"" + href.left(href.indexOf('"'))), 2); // the caption and the address link
    }

    void percentUsedLeavesTheDisplayExamplesOut()
    {
        ScriptedRandom random{0.0}; // one cut only
        const PreviewPages p = BuildPreviewPages({"a@b.c", "%61@b.c", false, false, true, {}}, random);
        QCOMPARE(random.remaining(), 0);
        QCOMPARE(p.preview, previewPage({true, "2", "mailto:", "%61@b.c", {}, "a@b.c", "", "%61@b.c"}));
        QCOMPARE(p.sourceText, source("<a href=\"mailto:%61@b.c\">メールはこちら</a>", false));
        QCOMPARE(QStringList({p.sourceLink, p.scriptText, p.scriptLink}), QStringList({N, N, N}));
    }

    void cutsAndEscapesInTheExamples()
    {
        PreviewPages p = build({"a@bc", "a\r&#64;b\nc", true, false, false, {}}, {0.5, 0.5});
        QVERIFY(p.preview.contains("<a href=\"mailto:a\r&#64;b\nc\">a&#64;bc</a>")); // the break stays in the href only
        QVERIFY(p.preview.contains("m1=\"a&#\";\r\nm2=\"64;bc\";\r\nm3=\"a&#6\";\r\nm4=\"4;bc\";"));
        p = build({"ü\"@b.c", "ü\"&#64;b.c", true, false, false, {}}, {0.99, 0.0});
        QVERIFY(p.preview.contains("<a href=\"mailto:ü&quot;&#64;b.c\">"));
        QVERIFY(p.preview.contains("m1=\"\\u00fc&quot;&#64;b.\";\r\nm2=\"c\";"));
        const QByteArray bytes = Cp932::encodeWithReferences(p.preview);
        QVERIFY(bytes.contains("<strong>mailto:&#252;&quot;@b.c</strong>") && !bytes.contains('?'));
        // An edited output box opens no tag; empty text cuts at zero.
        QVERIFY(build({"a@b.c", "<b>", true, false, false, {}}, {0.0, 0.0}).preview.contains(":&lt;b&gt;\""));
        QVERIFY(build({"x", "", false, false, false, {}}, {0.9, 0.9}).preview.contains("m1=\"\";\r\nm2=\"\";"));
    }

    void englishPagesAreUtf8AndDeclareIt()
    {
        const PageTexts& english = PageTexts::of(UiLanguage::English);
        const PreviewPages p = build({"a@b.c", "a&#64;b&#46;c", true, false, false, {}}, {0.5, 0.5}, UiLanguage::English);
        QCOMPARE(english.encode(p.preview), englishPreview().toUtf8());
        QVERIFY(p.scriptText.startsWith("<html><head><meta charset=\"utf-8\"><title>Example source</title></head>\r\n"
                                        "Right-click")); // its example as on the Japanese page, its words in English
        QVERIFY(p.scriptText.endsWith("<!-- @@@@@@@@@@@@@ to here @@@@@@@@@@@@@ -->\r\n\r\n\r\n<br><br><hr>"
                                      "<a href=\"../Preview.htm\">Back</a>\r\n</html>\r\n"));
        const QByteArray percent = english.encode(build({"ü@b.c", "%C3%BC@b.c", false, false, true, {}}, {0}, UiLanguage::English).preview);
        QVERIFY(percent.contains("mailto:\xc3\xbc@b.c</strong>") && percent.contains("<br>Not available: the address"));
    }

    void scriptPiecesAreValidLiterals()
    {
        QCOMPARE(ScriptExamples::jsLiteral("a\"b\\c</script>\r\n\u2028ü\U0001F600あ"), // outside code page 932: escaped
                 QString("a\\\"b\\\\c<\\/script>\\r\\n\\u2028\\u00fc\\ud83d\\ude00あ"));
    }
};

QTEST_GUILESS_MAIN(PreviewPagesTest)
#include "test_preview_pages.moc"
