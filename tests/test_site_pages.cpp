#include "SiteTestSupport.h"

// One page in, one page out: what is rewritten, what the scanner and the parser find, and the pipe.
class SitePagesTest : public QObject
{
    Q_OBJECT

private slots:
    void rewritesOnlyAddressBytes_data()
    {
        // lines: the changed lines as shown, each once; checked where given
        const auto add = table<QByteArray, QByteArray, bool, QStringList>({"page", "expected", "links", "lines"});
        const auto row = [&](const char* n, const QByteArray& p, const QByteArray& e) { add(n, p, e, false, {}); };
        const auto each = [&](const char* n, const QByteArray& p) { row(n, p, QByteArray(p).replace("a@b.cd", A)); };
        each("text, title, entities, punctuation, start and end of file",
             "a@b.cd <p>a@b.cd</p><title>a@b.cd</title><p>&amp;a@b.cd &copy;</p>(a@b.cd) a@b.cd. a@b.cd、a@b.cd");
        row("addresses sharing characters", "a@b.cd@b.cd", A + "&#64;&#98;&#46;&#99;&#100;");
        const QByteArray alone = "<script>a@b.cd</script><style>/*a@b.cd*/</style><textarea>a@b.cd</textarea>"
                                 "<!-- a@b.cd --><img alt=\"a&#64;b.cd\">a&#64;b.cd &#97;@b&#46;cd";
        row("left alone", alone, alone);
        row("off zone, off to the end", "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->a@b.cd<!--qorvane:off-->a@b.cd",
            "<!-- qorvane:off -->a@b.cd<!-- qorvane:on -->" + A + "<!--qorvane:off-->a@b.cd");
        each("mailto quoted, unquoted, upper-case",
             "<a href=\"mailto:a@b.cd\"><a href='mailto:a@b.cd'><a href=mailto:a@b.cd><a href=\" MAILTO:a@b.cd \">");
        row("query with entity", "<a href=\"mailto:a@b.cd?s=&amp;\">",
            "<a href=\"mailto:" + A + "&#63;&#115;&#61;&#38;\">");
        row("links off", "<a href=\"https://b.cd/\">", "<a href=\"https://b.cd/\">");
        add("links on", "<a href=\"https://b.cd/\">", "<a href=\"https://&#98;&#46;&#99;&#100;&#47;\">", true, {});
        each("UTF-8 byte-order mark", "\xEF\xBB\xBF<p>a@b.cd");
        // 連 is 0x98 0x41: its second byte reads as "A" to a byte-wise search. "連@b.cd" is an address of its own.
        row("Shift_JIS", "<meta charset=shift_jis><p>\x98\x41@b.cd \x98\x41 a@b.cd",
            "<meta charset=shift_jis><p>" + refs("連@b.cd") + " \x98\x41 " + A);
        row("Shift_JIS detected", "<p>\x82\xA8\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9 \x98\x41@b.cd a@b.cd",
            "<p>\x82\xA8\x96\xE2\x82\xA2\x8D\x87\x82\xED\x82\xB9 " + refs("連@b.cd") + ' ' + A);
        row("EUC-JP query", "<meta charset=euc-jp><a href='mailto:a@b.cd?\xA4\xA2'>",
            "<meta charset=euc-jp><a href='mailto:" + A + "&#63;&#12354;'>");
        each("every attribute value, any quoting; an href that is no link",
             "<link rev=made href=\"a@b.cd\"><meta name=author content='a@b.cd'><input value=a@b.cd title=\"x a@b.cd\">"
             "<a href=\"http://a@b.cd/\"><svg><text aria-label=\"a@b.cd\">");
        row("an attribute name is no value", "<p a@b.cd x=1>", "<p a@b.cd x=1>");
        row("attributes in an off zone", "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->",
            "<!--qorvane:off--><img alt=a@b.cd><!--qorvane:on-->");
        // Each second byte below is ASCII ("@", "A" or a digit) inside a two-byte character.
        row("EUC-KR", "<meta charset=euc-kr><p>\xB0\xA1\xC5\x41@b.cd a@b.cd",
            "<meta charset=euc-kr><p>" + refs("가휕@b.cd") + ' ' + A);
        each("Big5", "<meta charset=big5><p>\xA4\x40" "b.cd a@b.cd");
        each("GB18030", "<meta charset=gbk><p>\x81\x40" "b.cd \x81\x30\x81\x30@b.cd a@b.cd");
        each("windows-1252", "<meta charset=windows-1252><p>caf\xE9 a@b.cd");
        each("ISO-2022-JP", "<meta charset=iso-2022-jp><p>\x1B$B$\"@b\x1B(B.cd a@b.cd");
        row("UTF-16LE with byte-order mark", wide("<p title=a@b.cd>\xE9\x80\xA3 a@b.cd"),
            wide("<p title=" + A + ">\xE9\x80\xA3 " + A));
        const QString a = QString::fromLatin1(A);
        add("an address at the very start, two on one line", "a@b.cd\nx\ny a@b.cd a@b.cd\n",
            A + "\nx\ny " + A + ' ' + A + '\n', false, {"1: a@b.cd > " + a, "3: y a@b.cd a@b.cd > y " + a + ' ' + a});
        add("UTF-16 line ends of two bytes", wide("x\n\xE9\x80\xA3 a@b.cd\n"), wide("x\n\xE9\x80\xA3 " + A + '\n'),
            false, {QString::fromUtf8("2: \xE9\x80\xA3 a@b.cd > \xE9\x80\xA3 ") + a});
        row("UTF-16 with a broken character", Broken, "error: UTF-16LE");
        row("UTF-16 with a character of four bytes", wide("\xF0\x9F\x98\x80 a@b.cd"), wide("\xF0\x9F\x98\x80 " + A));
        each("UTF-16 named in its own ASCII bytes: read as UTF-8", "<meta charset=utf-16><p>\xE9\x80\xA3 a@b.cd");
        for (const QByteArray& head : {"<meta charset=shift_jis><meta charset=euc-jp>", "<meta charset=x><meta charset=shift_jis>"})
            row(head.startsWith("<meta charset=x") ? "a label no browser knows, then one" : "declared twice: the first holds",
                head + "<p>\x98\x41@b.cd a@b.cd", head + "<p>" + refs("連@b.cd") + ' ' + A);
        row("Shift_JIS, the last lead bytes of its ranges", "<meta charset=shift_jis><p>\x9F\x41@b.cd \xFC\x41@b.cd a@b.cd",
            "<meta charset=shift_jis><p>" + refs("\u8617@b.cd") + ' ' + refs("\u9B75@b.cd") + ' ' + A);
        row("a label browsers show no text for", "<meta charset=ISO-2022-KR><p>a@b.cd", "error: ISO-2022-KR");
        const QByteArray x320 = QByteArray(320, 'x');
        row("an address longer than a harvester reads: the part it reads", "<p>" + QByteArray(80, 'x') + x320 + "@b.cd",
            "<p>" + QByteArray(80, 'x') + refs(x320 + "@b.cd"));
        row("addresses in one run, characters of two bytes", "<p>\xC3\xA9@b.cd:a@b.cd:\xC3\xA9@b.cd",
            "<p>" + refs("\u00E9@b.cd") + ':' + A + ':' + refs("\u00E9@b.cd"));
        const QByteArray escaped = "<script>x<!--<script>y</script>a@b.cd--></script>";
        row("script text escaped after its start", escaped, escaped);
        add("links on, in noscript: no link, an address is text",
            "<noscript><a href=\"https://b.cd/\"><a href=\"mailto:a@b.cd\">a@b.cd</noscript><a href=\"https://b.cd/\">",
            "<noscript><a href=\"https://b.cd/\"><a href=\"mailto:" + A + "\">" + A +
                "</noscript><a href=\"https://&#98;&#46;&#99;&#100;&#47;\">",
            true, {});
    }

    void rewritesOnlyAddressBytes()
    {
        QFETCH(QByteArray, page); QFETCH(bool, links);
        ScriptedRandom random(QList<double>(5000, 0.0));
        const PageRewrite rewrite = rewritePage(page, {{true, false, false, EntityScope::All}, links}, random);
        QTEST(rewrite.problem == PageProblem::None ? rewrite.after : "error: " + rewrite.detail.toUtf8(), "expected");
        QVERIFY(rewrite.problem != PageProblem::None || checkRewrite(rewrite, rewrite.after).isEmpty());
        QFETCH(QStringList, lines);
        QStringList shown;
        for (const ChangedLine& line : changedLines(rewrite))
            shown.append(QStringLiteral("%1: %2 > %3").arg(line.number).arg(line.before, line.after));
        if (!lines.isEmpty())
            QCOMPARE(shown, lines);
    }

    void everyAddressAHarvesterFindsIsHiddenOrReported_data()
    {
        // options: d h p the forms; A all, O "@" only, else random; "@" "." always. problem: the links reported.
        const auto row = table<QByteArray, QString, QByteArray, QString>({"page", "options", "expected", "problem"});
        const QString all = "dA@.";
        row("internationalised address", "<p>ü@例え.jp", all, "<p>" + refs("ü@例え.jp"), "");
        row("international in a mailto link", "<a href=\"mailto:メール@例え.jp\">", all,
            "<a href=\"mailto:" + refs("メール@例え.jp") + "\">", "");
        row("international in Shift_JIS", "<meta charset=shift_jis><p>\x83\x81\x81\x5B\x83\x8B@\x97\xE1\x82\xA6.jp",
            all, "<meta charset=shift_jis><p>" + refs("メール@例え.jp"), "");
        row("one-byte letter in windows-1252", "<meta charset=windows-1252><p>caf\xE9@b.cd", all,
            "<meta charset=windows-1252><p>" + refs("café@b.cd"), "");
        row("IP literal", "<a href=\"mailto:u@[1.2.3.4]\">", all, "<a href=\"mailto:" + refs("u@[1.2.3.4]") + "\">", "");
        row("quoted local part", "<p>\"a b\"@b.cd", all, "<p>" + refs("\"a b\"@b.cd"), "");
        row("address against Japanese words", "<p>連絡はa@b.cdまで", all, "<p>連絡は" + A + "まで", "");
        row("escape in the user name", "<a href=\"https://us%3Aer%40x:p:w@b.cd/\">", all,
            "<a href=\"https://" + refs("us%3Aer%40x:p:w@b.cd/") + "\">", "");
        row("references in the user name only", "<a href=\"https://&#117;&#115;&#114;@b.cd/\">", all,
            "<a href=\"https://" + refs("usr@b.cd/") + "\">", "");
        row("scope @, a link without an address", "<a href=\"http://b.cd/\">", "pO@", "<a href=\"http://b.cd/\">", "");
        row("scope @, a link with one", "<a href=\"https://b.cd/?email=a@b.jp\">", "pO@",
            "<a href=\"https://b.cd/?email=a&#64;b.jp\">", "");
        row("named by its own scheme and line", "<p>\n\n<a href=\"HTTPS://[::1]/\">", "pA",
            "<p>\n\n<a href=\"HTTPS://[::1]/\">", "HTTPS://[::1]/ on 3");
    }

    void everyAddressAHarvesterFindsIsHiddenOrReported()
    {
        QFETCH(QByteArray, page); QFETCH(QString, options);
        SystemRandom random;
        const PageRewrite r = rewritePage(page, {FakeConversionView::optionsFrom(options), true}, random);
        QTEST(r.after, "expected");
        QStringList reported;
        for (qsizetype i = 0; i < r.unhidden.size(); ++i)
            reported.append(r.unhidden[i] + " on " + QString::number(r.unhiddenLines.value(i)));
        QTEST(reported.join(' '), "problem");
        QCOMPARE(r.problem == PageProblem::CannotHide, !r.unhidden.isEmpty());
        QCOMPARE(checkRewrite(r, r.after), QString());
    }

    void checkRefusesAWrongRewrite_data()
    {
        // written: in place of what follows the scheme
        const auto row = table<QByteArray, QByteArray, bool>({"href", "written", "refused"});
        row("escape split", "mailto:a@x.jp?s=Hi%20", "&#97;%40x.jp?s=Hi%%32%30", true);
        row("port escaped", "http://b.cd:8080/", "&#98;.cd:%38080/", true);
        row("user's @ escaped", "http://u@b.cd/", "&#117;%40b.cd/", true);
        row("raw Japanese query, UTF-8 escape", "http://b.cd/?q=\xA4\xA2", "&#98;.cd/?q=%E3%81%82", true);
        row("right", "mailto:a@x.jp?s=Hi%20", "&#97;%40x.jp?s=H%69%20", false);
    }

    void checkRefusesAWrongRewrite()
    {
        QFETCH(QByteArray, href); QFETCH(QByteArray, written);
        ScriptedRandom random(QList<double>(5000, 0.0));
        PageRewrite r = rewritePage("<meta charset=euc-jp><a href=\"" + href + "\">", {{}, true}, random);
        QCOMPARE(r.changes.size(), 1);
        SpanChange& change = r.changes[0];
        r.after.replace(change.span.start, change.replacement.size(), written);
        change.replacement = written;
        QTEST(!checkRewrite(r, r.after).isEmpty(), "refused");
    }

    // Every kind of link under every option set: rewritten whole, never refused while a reference form is on.
    void linksKeepTheirMeaningAndAreNeverRefusedByChance()
    {
        SystemRandom random;
        for (int set = 0; set < 7 * 3 * 8 * 10; ++set) {
            const int forms = set % 7 + 1, flags = set / 21 % 8;
            const QString link = generatedLink(random);
            const SiteOptions options{{bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(set / 7 % 3),
                                       bool(flags & 1), bool(flags & 2), bool(flags & 4)}, true};
            const QByteArray page = "<a href=\"" + link.toHtmlEscaped().toUtf8() + "\">x</a>";
            const PageRewrite r = rewritePage(page, options, random);
            const bool reference = (forms & 3) && options.conversion.scope != EntityScope::AtOnly;
            QVERIFY2(!reference || r.problem == PageProblem::None, qPrintable(link + ": " + r.detail));
            QVERIFY2(checkRewrite(r, r.after).isEmpty() || r.changes.isEmpty(), qPrintable(link));
            QVERIFY2(r.problem == PageProblem::CannotHide || harvestAddresses(r.after).isEmpty(), qPrintable(link));
        }
    }

    void commandLineRewritesOnceReportsFailuresAndGoesOn()
    {
        QTemporaryDir dir;
        const QString readOnly = writePage(dir, "a.htm", Page), page = writePage(dir, "b.html", Page);
        const QString text = writePage(dir, "c.txt", Page);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
        QFile::setPermissions(page, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        const QStringList options{"--forms=decimal,hex,percent", "--scope=random", "--line-break", dir.path(),
                                  dir.filePath("none")};
        QProcess run;
        QCOMPARE(runSite(run, QStringList{"--dry-run"} + options), 1);
        QVERIFY(run.readAllStandardOutput().contains(" 3 addresses") && readPage(page) == Page); // nothing written
        QCOMPARE(runSite(run, options), 1);
        QVERIFY(run.readAllStandardError().contains("a.htm: the file is read-only"));
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 1 changed, 3 addresses, 2 errors\nreadable after the rewrite: raw 3, decoded 3, spelled 0\n"));
        const QByteArray once = readPage(page);
        QVERIFY(!once.contains('@') && once.startsWith(Page.left(39)) && once.endsWith("\">c</a>\n"));
        QCOMPARE(runSite(run, options), 1); // a second run finds nothing more
        QVERIFY(run.readAllStandardOutput().endsWith("2 pages, 0 changed, 0 addresses, 2 errors\nreadable after the rewrite: raw 3, decoded 3, spelled 0\n"));
        QCOMPARE((QList<QByteArray>{readPage(page), readPage(readOnly), readPage(text)}),
                 (QList<QByteArray>{once, Page, Page}));
        QCOMPARE(int(QFile::permissions(page) & 0x7777), 0x6640);
        for (const QStringList& usage : {QStringList{"--scope=most", "x"}, {"--forms=", "x"}, {"--forms=hex"}})
            QCOMPARE(runSite(run, usage), 2);
        QCOMPARE(runSite(run, {"--help-all"}), 0);
        QCOMPARE(runSite(run, {"--forms=hex", text}), 1);
        QVERIFY(run.readAllStandardError().endsWith("c.txt: not a page (.html, .htm, .xhtml); skipped\n"));
        // A link these options cannot hide is left and the rest of its page rewritten.
        const QByteArray v6 = "<a href=\"http://[::1]/\">v6</a>";
        const QString linked = writePage(dir, "v6.html", v6 + "<a href=\"mailto:a@b.cd\">m</a>");
        QCOMPARE(runSite(run, {"--forms=percent", "--scope=all", "--links", linked}), 1);
        QVERIFY(run.readAllStandardError().endsWith("v6.html: these options cannot hide \"http://[::1]/\" (line 1)\n"));
        QVERIFY(run.readAllStandardOutput().endsWith("1 pages, 1 changed, 1 addresses, 1 errors\nreadable after the rewrite: raw 0, decoded 1, spelled 0\n"));
        QCOMPARE(readPage(linked).toLower(), v6 + "<a href=\"mailto:%61%40%62%2e%63%64\">m</a>");
    }

    void scannerFindsWhatTheParserFinds_data()
    {
        const auto row = table<QByteArray, bool>({"page", "handedOver"});
        row("data, tags, every quoting, text that is no tag",
            "<!DOCTYPE html><html lang=ja><head><meta charset=\"utf-8\"><title>t a@b.cd</title></head><body>"
            "<p id='a@b.cd' title=\"a@b.cd\" data-x=a@b.cd>a@b.cd <a href=\"mailto:a@b.cd\">m</a> "
            "<a href=https://b.cd/>l</a> a < b <3 a@b.cd<</p></body></html>a@b.cd", false);
        row("raw text, RCDATA, comments, off zones, bogus comments",
            "<script>var s = 'a@b.cd</scripty>'; if (a<b) x@y.zz</script ><style>a@b.cd</style><textarea>a@b.cd"
            "</textarea><xmp>a@b.cd</xmp><iframe>a@b.cd</iframe><noembed>a@b.cd</noembed>"
            "<noframes>a@b.cd</noframes><!-- a@b.cd --><!-- qorvane:off -->a@b.cd<!--qorvane:on--><?xml x?>"
            "<!x y></ x>a@b.cd</><!-- a --->b@c.de", false);
        row("duplicate attributes, slashes, odd names, upper case",
            "<p a=a@b.cd A=c@d.ef/ \"x@y.zz\"=1 title = 'q@r.st'/><img/alt=w@x.yz/><P TITLE=a@b.cd>"
            "<SCRIPT>x@y.zz</SCRIPT><A HREF=MAILTO:a@b.cd>a@b.cd</A><title/>x@y.zz</title\n>", false);
        row("forms one after another",
            "<form action=\"mailto:a@b.cd\"><input value=a@b.cd></form><form action=mailto:c@d.ef></form>", false);
        row("declared in http-equiv",
            "<meta name=keywords content=\"a\nb\"><meta http-equiv=Content-Type content=\"text/html; charset=Shift_JIS\">"
            "<p>\x98\x41@b.cd a@b.cd", false);
        row("declarations naming no encoding passed over", "<meta charset=x><meta http-equiv=content-type content=text/html>"
            "<meta name=a><meta charset=shift_jis><meta charset=euc-jp><p>\x98\x41@b.cd a@b.cd", false);
        row("tables, text the parser moves out of them",
            "<table summary=a@b.cd>x@y.zz<tr title=t><td>a@b.cd<table><td>b@c.de</table></td></tr>q@r.st</table>",
            false);
        row("a table cell outside a table", "<p><td title=a@b.cd>", true);
        row("svg and math, self-closing tags, text-only integration points",
            "<p>a@b.cd<svg viewBox=\"0 0 1 1\" aria-label=\"x@y.zz\"><path d=M0/>x@y.zz</path><path d='M0'/><g><title>"
            "Mail a@b.cd</title><desc>q@r.st</desc><style>s@t.uv</style><text>c@d.ef<tspan>e@f.gh</tspan></text></g>"
            "<a xlink:href=\"mailto:a@b.cd\" href=\"mailto:c@d.ef\">m</a><image href=i.png title=a@b.cd /><foreignObject>"
            "w@x.yz</foreignObject></SVG>g@h.ij<math XLINK:HREF=mailto:m@n.op><mi>x@y.zz</mi><mtext>a@b.cd</mtext>"
            "</math><svg/>k@l.mn",
            false);
        row("svg left by a tag of HTML", "<svg><p>a@b.cd</svg>", true);
        row("CDATA in svg", "<svg><![CDATA[a@b.cd]]></svg>", true);
        row("markup in an integration point", "<svg><title><b>a@b.cd</b></title></svg>", true);
        row("an end tag of no open svg element", "<svg><g></x>a@b.cd</svg>", true);
        row("script escaped: its end tag ends it, and so does \"-->\" before one",
            "<script><!-- x@y.zz <b> --> </script>a@b.cd<script><!--<!--></script>a@b.cd<script><!--x</SCRIPT\n>a@b.cd",
            false);
        row("script escaped twice: an end tag within is text, up to \"-->\" or the inner script's end",
            "<script><!--<script>x</script>a@b.cd--></script>q@r.st<script><!--<SCRIPT/></script>-></script>"
            "a@b.cd</script>q@r.st<script><!-- <script>x --></script>q@r.st", false);
        row("script names that escape nothing", "<script><!--<scripts></script>a@b.cd<script><!-<script></script>"
            "a@b.cd<script><!--<s cript></scripty></script>q@r.st", false);
        row("script escaped to the page's end", "<script><!--<script></script>a@b.cd", true);
        row("noscript read as markup; a link in it is text to a browser running scripts",
            "<head><noscript><link href=https://b.cd/ title=a@b.cd></noscript></head><noscript><p>a@b.cd"
            "<a href=\"mailto:a@b.cd\">m</a><!--</noscript>-->x@y.zz<a href=\"mailto:q@r.st\"></noscript>", false);
        row("a noscript within one", "<head><noscript><!--</noscript>--><noscript><a href=mailto:a@b.cd>", true);
        row("select: options, scripts, and dropped tags whose text stays",
            "<select name=a@b.cd><optgroup label=x@y.zz><option value=a@b.cd>a@b.cd<script>q@r.st</script><b title=x>"
            "<style>a@b.cd</style><svg><title>q@r.st</option></select>a@b.cd<style>x@y.zz</style>", false);
        for (const char* tag : {"<select>", "<input>", "<td>", "<b title=a@b.cd>", "</a@b.cd>"})
            row(tag, "<select><option>a@b.cd" + QByteArray(tag) + "x@y.zz", true);
        row("a form within a form", "<form><form action=mailto:a@b.cd>", true);
        row("a repeated attribute without a value", "<p x a=0 x a=a@b.cd>", true);
        row("a second body", "<p>x<body title=a@b.cd>", true);
        row("a link on a tag the parser merges", "x<html href=http://b.cd/>", true);
        row("an attribute name that starts with \"=\"", "<p =b@c.de>", true);
        row("an end tag with an address", "<p>x</a@b.cd>", true);
        row("a comment to the end", "<!-- a@b.cd", true);
        row("a null byte", QByteArray("a@b.cd\0", 7), true);
        row("a raw-text element to the end", "<style>a@b.cd", true);
    }

    void scannerFindsWhatTheParserFinds()
    {
        QFETCH(QByteArray, page);
        bool handedOver = false;
        const QStringList fast = spansOf(page, AddressFinder::Mode::Fast, &handedOver);
        QTEST(handedOver, "handedOver");
        QCOMPARE(fast, spansOf(page, AddressFinder::Mode::Parser));
        QVERIFY(handedOver || fast.size() > 1); // a row that finds nothing proves nothing
    }

    void plainTextReadsAsTheParserDoes()
    {
        const QStringList pieces{"a", "Z", "@", ".", "-", "&#64;", "&#x40;", "&#X2e;", "&#0064;", "&#;", "&#x;", "&amp;",
                                 "&#38;", "&#60;", "&#x1F600;", "&#64", "&#128;", "&#0;", "&#000000064;", "<b>", " ",
                                 "é", "\"", "'", "質", "\u0085", "\U0001F600", "&#x554F;", "&#xD800;", "&#1114112;"};
        int plain = 0;
        for (int i = 0; i < 20000; ++i) {
            QString source;
            for (int n = QRandomGenerator::global()->bounded(6); n > 0; --n)
                source += pieces[QRandomGenerator::global()->bounded(int(pieces.size()))];
            if (const std::optional<QString> text = HtmlDecode::plainText(source)) {
                QCOMPARE(*text, HtmlDecode::text(source));
                QCOMPARE(*text, HtmlDecode::attributeValue(source));
                ++plain;
            }
        }
        QVERIFY(plain > 2000); // a sixth of the sources are empty alone, and about as many more are plain
    }

    void pagesBeyondTheParsersBoundsAreReported_data()
    {
        const auto row = table<QByteArray, int, QString>({"page", "excess", "line"});
        const auto times = [](const QByteArray& part, int n) { return part.repeated(n); };
        const QByteArray attributes = "<p" + times(" a=1", ParserLoad::MaxAttributes);
        row("attributes at the bound", attributes + ">", 0, "");
        row("attributes past it, any quoting", "x\n" + attributes + " b='>'>", 1, "2");
        row("nested at the bound", times("<div>", ParserLoad::MaxDepth), 0, "");
        row("nested past it", "\n\n" + times("<div>", ParserLoad::MaxDepth) + "<span>", 2, "3");
        row("closed as it goes", times("<div></div>", 500), 0, "");
        row("elements that never nest by themselves", times("<p><li><br><a href=x><td>", 500), 0, "");
        row("an <a> in an open <a> adds no depth, what it holds does", times("<a><div>", 400), 2, "1");
        row("self-closed in SVG", "<svg>" + times("<g/>", 500), 0, "");
        row("self-closed in HTML nests", times("<div/>", 500), 2, "1");
        row("tags in a comment, a script and a title", "<!--" + times("<b>", 500) + "--><script>" + times("<b>", 500) +
            "</SCRIPT><title>" + times("<b>", 500) + "</title>", 0, "");
    }

    void pagesBeyondTheParsersBoundsAreReported()
    {
        QFETCH(QByteArray, page); QFETCH(int, excess);
        QCOMPARE(int(ParserLoad::of(page).excess), excess);
        ScriptedRandom random(QList<double>(50, 0.0));
        const PageRewrite r = rewritePage("<template></template>" + page + "a@b.cd", {{}, false}, random);
        const QList<PageProblem> problems{PageProblem::None, PageProblem::TooManyAttributes, PageProblem::NestedTooDeep};
        QCOMPARE(r.problem, problems[excess]);
        QTEST(excess ? r.detail : QString(), "line");
    }

    void pipeRewritesOnePageOrPassesItThrough_data()
    {
        const auto row = table<QStringList, QByteArray, QByteArray, int, QByteArray>(
            {"arguments", "input", "output", "exit", "says"});
        const QStringList all{"--forms=decimal", "--scope=all", "-"};
        row("rewritten", all, "<p>a@b.cd", "<p>" + A, 0, "");
        row("dry run", QStringList{"--dry-run"} + all, "<p>a@b.cd", "<p>a@b.cd", 0, "    a@b.cd\n");
        row("cannot be rewritten", all, Broken, Broken, 1, "-: unsupported encoding \"UTF-16LE\"");
        row("with a path", {"--forms=decimal", "-", "x"}, "a@b.cd", "", 2, "");
        const QByteArray v6 = "<a href=\"http://[::1]/\">6</a><a href=\"http://[::2]/\">6</a>";
        row("links it cannot hide, left; the rest rewritten", {"--forms=percent", "--scope=all", "--links", "-"},
            v6 + "<a href=\"mailto:a@b.cd\">", v6 + "<a href=\"mailto:%61%40%62%2e%63%64\">", 1,
            "-: these options cannot hide \"http://[::1]/\" (line 1), \"http://[::2]/\" (line 1)\n");
    }

    void pipeRewritesOnePageOrPassesItThrough()
    {
        QFETCH(QStringList, arguments); QFETCH(QByteArray, input); QFETCH(QByteArray, output); QFETCH(QByteArray, says);
        QProcess run;
        QTEST(runSite(run, arguments, input), "exit");
        QCOMPARE(run.readAllStandardOutput().toLower(), output.toLower()); // escapes are drawn in either case
        const QByteArray said = run.readAllStandardError();
        QVERIFY2(said.contains(says) && said.contains("-: ") == (run.exitCode() == 1), said);
    }

    // "$@" is the pipe's command line.
    void pipeIsReadToItsEndOrNotAtAll_data()
    {
        const auto row = table<QString, QByteArray, int>({"shell", "output", "exit"});
        row("a folder", "\"$@\" < /", "", 1);
        row("closed", "\"$@\" <&-", "", 1);
        row("non-blocking, filled late", "(head -c 70000 /dev/zero | tr '\\0' ' '; sleep 0.3; printf '<p>a@b.cd') | "
            "python3 -c 'import os, sys; os.set_blocking(0, False); os.execv(sys.argv[1], sys.argv[1:])' \"$@\"",
            QByteArray(70000, ' ') + "<p>" + A, 0);
    }

    void pipeIsReadToItsEndOrNotAtAll()
    {
        QFETCH(QString, shell);
        QProcess run;
        run.start("sh", {"-c", shell, "sh", QORVANE_SITE, "--forms=decimal", "--scope=all", "-"});
        QVERIFY(run.waitForFinished());
        QTEST(run.readAllStandardOutput(), "output");
        QTEST(run.exitCode(), "exit");
        QCOMPARE(run.readAllStandardError().contains("standard input could not be read"), run.exitCode() == 1);
    }
};

QTEST_GUILESS_MAIN(SitePagesTest)
#include "test_site_pages.moc"
