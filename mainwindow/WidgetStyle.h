#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace WidgetStyle {

// The named font first, then the installed Japanese fonts that stand in for it.
QFont japaneseFont(const QString& family, double points, bool bold = false, bool underline = false);
// Also makes the text black, as on the fixed colours it was drawn for; setForeground after it for another.
void setBackground(QWidget* widget, const QColor& colour);
void setForeground(QWidget* widget, const QColor& colour);
QColor fromWinColour(quint32 value);

} // namespace WidgetStyle
