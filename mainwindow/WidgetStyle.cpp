#include "WidgetStyle.h"

#include <QPalette>
#include <QWidget>

namespace WidgetStyle {

QFont japaneseFont(const QString& family, double points, bool bold, bool underline)
{
    // The proportional stand-in for the proportional family, the fixed-pitch one for the fixed.
    const bool fixedPitch = family.startsWith(QStringLiteral("ＭＳ ゴシック"));
    const QString standIn = fixedPitch ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic");
    QFont font;
    font.setFamilies({family, standIn, QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Window) == colour && widget->autoFillBackground())
        return;
    palette.setColor(QPalette::Window, colour);
    // Fixed light backgrounds under a dark scheme's white text would be unreadable.
    palette.setColor(QPalette::WindowText, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setForeground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QColor fromWinColour(quint32 value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace WidgetStyle
