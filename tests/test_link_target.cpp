#include "FakeConversionView.h"
#include "GeneratedLinks.h"
#include "HtmlDecode.h"
#include "LinkTarget.h"
#include "Random.h"

#include <QtTest>

namespace {

// One letter per character: its part, and whether its percent form keeps the link's meaning.
QString map(const LinkTarget& link, qsizetype size, bool percent)
{
    QString map;
    for (qsizetype i = 0; i < size; ++i)
        map += QLatin1Char(!percent ? "-S/UHPpqfRNV"[int(link.partAt(i))]
                           : link.escapeRole(i) >= 0 ? 'e' : link.percentKeepsMeaning(i) ? '%' : '.');
    return map;
}

// Characters the options say must be converted that were written as they are, though an enabled form keeps the
// link's meaning there. Only the first cells show how a character was written.
int forcedLeftAsTheyAre(const FakeConversionView& v, const LinkTarget& link)
{
    const ConversionSettings& o = v.options;
    int left = 0;
    for (qsizetype pos = 0, cell = 0; pos < v.input.size() && cell < EngineView::CellCount; ++cell) {
        const QChar c = v.input[pos];
        const bool flagged = (c == u'@' && o.atAlways) || (c == u'.' && o.dotAlways);
        const bool forced = flagged || (o.scope == EntityScope::All && c != u'@' && c != u'.');
        const bool possible = o.decimal || o.hex || link.percentKeepsMeaning(pos);
        left += forced && possible && v.cellColours[cell] == Colours::Grey;
        pos += codePointLengthAt(v.input, pos);
    }
    return left;
}

} // namespace

class LinkTargetTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsAsABrowserDoes_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("parts"); // - stripped, S scheme, / slashes, U user, H host, P port, p path, q query,
        QTest::addColumn<QString>("percent"); // f fragment, R recipients, N and V header name and value; e escape
        const auto row = [](const char* name, const char* link, const char* parts, const char* percent) {
            QTest::newRow(name) << QString::fromUtf8(link) << parts << percent;
        };
        row("user, port", "Http://u:p@h.jp:80/", "SSSSS//UUUUHHHHPPPp", ".......%.%.%%%%....");
        row("IPv6", "http://[::1]/a", "SSSSS//HHHHHpp", ".............%");
        row("escape is an atom", "ftp://h/%20x%", "SSSS//Hpppppp", "......%.eee%.");
        row("query, fragment", "http://h/?a=b#c", "SSSSS//Hpqqqqff", ".......%..%.%.%");
        row("backslash, spaces", " http:\\\\h\\a b ", "-SSSSS//Hpppp-", "........%.%%%.");
        row("mail", "mailto:a@b,c?s=%41&t=@", "SSSSSSSRRRRRNNVVVVNNVV", ".......%%%.%.%.eee.%.%");
        row("no scheme, @: mail", "a@b.c", "RRRRR", "%%%%%");
        row("no scheme: web", "b.c:8080/x", "HHHPPPPPpp", "%%%......%");
        row("other scheme, host not decoded", "foo://h/x?y", "SSSS//Hppqq", "........%.%");
        row("local file", "file:///C:/x", "SSSSS//ppppp", "............");
        row("query in a page not in UTF-8", "http://h/あ?あ#あ", "SSSSS//Hppqqff", ".......%.%...%");
        row("two @ in the authority: the last ends it", "http://a@b@h/", "SSSSS//UUUUHp", ".......%.%.%.");
        row("@ in a fragment right after the host", "http://h#a@b", "SSSSS//Hffff", ".......%.%.%");
    }

    void splitsAsABrowserDoes()
    {
        QFETCH(QString, link);
        const bool utf8 = !QByteArray(QTest::currentDataTag()).startsWith("query in");
        const LinkTarget parsed = LinkTarget::parse(link, {}, utf8);
        QTEST(map(parsed, link.size(), false), "parts");
        QTEST(map(parsed, link.size(), true), "percent");
    }

    void mailLinkGivesRecipientsAndHeaderFields()
    {
        const LinkTarget mail = LinkTarget::parse(u"MailTo:a@x.jp,b%40y.jp?subject=Hello%20World&body=1%2B1%3D2&cc=");
        QVERIFY(mail.isMail() && mail.hasOwnScheme());
        QCOMPARE(mail.recipients(), QStringList({"a@x.jp", "b@y.jp"}));
        using F = QList<std::pair<QString, QString>>;
        QCOMPARE(mail.headerFields(), (F{{"subject", "Hello World"}, {"body", "1+1=2"}, {"cc", ""}}));
        QCOMPARE(LinkTarget::parse(u"a@b.c").recipients(), QStringList{"a@b.c"});
        QVERIFY(!LinkTarget::parse(u"https://medium.com/@writer").isMail());
        QVERIFY(!LinkTarget::parse(u"example.com:8080").hasOwnScheme() && LinkTarget::parse(u"tel:+81").hasOwnScheme());
    }

    void meaningComparesEscapeByEscape_data()
    {
        QTest::addColumn<QString>("a"); QTest::addColumn<QString>("b"); QTest::addColumn<bool>("same");
        QTest::addColumn<bool>("utf8"); // false: a page not in UTF-8 keeps a query's characters apart from escapes
        const auto row = [](const char* a, const char* b, bool same, bool utf8 = true) {
            QTest::addRow("%s%s", a, utf8 ? "" : ", not UTF-8") << QString::fromUtf8(a) << QString::fromUtf8(b) << same
                                                               << utf8;
        };
        row("http://h/a%20b?q=%7e", "\thttp://%68/%61%20b?q=~\n ", true);
        row("HTTP://H.JP/あ", "http://h.jp/%E3%81%82", true);
        row("http://h/a%20b", "http://h/a%%32%30b", false); // an escape split
        row("http://h:8080/", "http://h:%38080/", false);   // a port escaped
        row("http://u@h/", "http://u%40h/", false);
        row("http://h/a/b", "http://h/a%2Fb", false);
        row("http://h/?a=1&b=2", "http://h/?a=1%26b=2", false);
        row("mailto:a@b.c?subject=a%26b", "mailto:a%40b.c?subject=a%26b", true);
        row("mailto:a@b.c?body=1%2B1", "mailto:a@b.c?body=1+1", false);
        row("http://h/a\\b", "http://h/a%5Cb", false);
        row("http://h/%zz", "http://h/%%7A%7A", true); // a lone "%" stays itself, what follows it may change
        row("http://h/?q=あ", "http://h/?q=%E3%81%82", true);
        row("http://h/?q=あ", "http://h/?q=%E3%81%82", false, false);
        row("mailto:a@b.c?subject=あ", "mailto:a@b.c?subject=%E3%81%82", true, false);
        row("http://h/a\nb", "http://h/ab", true);
        row("data:text/\nhtml,a", "data:text/html,a", false); // Chromium keeps it there as "%0A"
        row("data:,a%0Ab", "data:,a\nb", true);
    }

    void meaningComparesEscapeByEscape()
    {
        QFETCH(QString, a); QFETCH(QString, b); QFETCH(bool, utf8);
        QTEST(LinkTarget::parse(a, {}, utf8).meaning() == LinkTarget::parse(b, {}, utf8).meaning(), "same");
    }

    // Every kind of link under every option set, many draws each: what the engine writes, read as a page
    // reads an attribute, means what the input meant, and every character the options force is converted.
    void engineKeepsEveryLinkUnderEveryOptionSet()
    {
        SystemRandom random;
        FakeConversionView v;
        int percentWritten = 0, outputsWithForcedLeft = 0;
        for (int set = 0; set < 7 * 3 * 8 * 60; ++set) {
            const int forms = set % 7 + 1, flags = set / 21 % 8;
            const QString input = generatedLink(random);
            const bool utf8 = set % 2;
            v.options = {bool(forms & 1), bool(forms & 2), bool(forms & 4), EntityScope(set / 7 % 3),
                         bool(flags & 1), bool(flags & 2), bool(flags & 4)};
            v.input = input;
            ConversionRequest request(v, random);
            request.setPageIsUtf8(utf8);
            request.ConvertInput();
            const LinkTarget meant = LinkTarget::parse(v.input, {}, utf8); // "a%40b.c" is still the mail address it was
            const LinkTarget written = LinkTarget::parse(HtmlDecode::attributeValue(v.output), meant.prefix(), utf8);
            QVERIFY2(written.meaning() == meant.meaning(), qPrintable(input + " -> " + v.output));
            percentWritten += request.state().UsedPercent;
            outputsWithForcedLeft += forcedLeftAsTheyAre(v, meant) > 0;
        }
        QCOMPARE(outputsWithForcedLeft, 0);
        QVERIFY(percentWritten > 1000); // the percent form was in play, not just avoided
    }
};

QTEST_GUILESS_MAIN(LinkTargetTest)
#include "test_link_target.moc"
