// Build-time tool: renders an operating guide from its HTML source into a PDF
// with Qt's own PDF writer; the PDF takes the page's title. Usage: make_guide_pdf SOURCE.html OUTPUT.pdf
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_guide_pdf SOURCE.html OUTPUT.pdf\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_guide_pdf: cannot read %s\n", argv[1]);
        return 1;
    }
    // Without a Japanese font Qt still writes a PDF, with every Japanese character missing.
    QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    if (families.isEmpty()) {
        std::fprintf(stderr, "make_guide_pdf: no Japanese font found; install one (Debian: fonts-ipafont-gothic)\n");
        return 1;
    }
    for (const char* preferred : {"IPAGothic", "IPAPGothic"})
        if (families.removeOne(QString::fromLatin1(preferred)))
            families.prepend(QString::fromLatin1(preferred));

    QTextDocument document;
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(QStringLiteral(
        "h1 { font-size: 20pt; color: #203f80; } h2 { font-size: 14pt; color: #203f80; margin-top: 14px; }"
        "h3 { font-size: 11.5pt; } p.version { color: #555555; } th { background-color: #e8e8f0; }"));
    document.setHtml(QString::fromUtf8(source.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("Qorvane"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                  QPageLayout::Millimeter));
    pdf.setResolution(300);
    document.print(&pdf);
    return 0;
}
