#include "frm_Help.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Colour { Black, Blue, Red };

QLabel* part(QWidget* parent, int index, const QString& text, Colour colour = Black, bool bold = false)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("Label%1").arg(index));
    l->setTextFormat(Qt::PlainText);
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPointSizeF(11.25);
    font.setBold(bold);
    l->setFont(font);
    const QColor colours[] = {Qt::black, QColor(0, 0, 0xFF), QColor(0xFF, 0, 0)};
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, colours[colour]);
    l->setPalette(palette);
    return l;
}

QHBoxLayout* line(const QList<QLabel*>& parts)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    for (QLabel* p : parts)
        row->addWidget(p);
    row->addStretch(1);
    return row;
}

} // namespace

frm_Help::frm_Help() : InfoWindow(tr("タグ内のみとは？"))
{
    setObjectName(QStringLiteral("frm_Help"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(part(this, 1, tr("※タグ内・タグ外とは？")));
    layout->addLayout(line({part(this, 2, QStringLiteral("<a href=\"")),
                            part(this, 3, QStringLiteral("mailto:someone@example.jp"), Blue, true),
                            part(this, 4, QStringLiteral("\">")), part(this, 5, tr("メールはこちら"), Red, true),
                            part(this, 6, QStringLiteral("</a>"))}));
    layout->addLayout(line({part(this, 7, tr("この例で言うと、")), part(this, 8, tr("タグ内は青色"), Blue),
                            part(this, 9, tr("の部分で、")), part(this, 10, tr("タグ外は赤色"), Red),
                            part(this, 11, tr("の部分になります。"))}));
    layout->addWidget(makeOkButton(), 0, Qt::AlignRight);
}
