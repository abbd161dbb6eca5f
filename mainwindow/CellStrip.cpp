#include "CellStrip.h"

#include "WidgetStyle.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace {

class StripAccessible : public QAccessibleWidget
{
public:
    explicit StripAccessible(CellStrip* strip) : QAccessibleWidget(strip, QAccessible::List) {}

    int childCount() const override { return int(cells().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QLabel*> shown = cells();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(cells().indexOf(qobject_cast<QLabel*>(child->object()))) : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        const auto* strip = static_cast<const CellStrip*>(widget());
        return strip->hasFocus() ? child(strip->currentCell()) : nullptr;
    }

private:
    QList<QLabel*> cells() const { return static_cast<const CellStrip*>(widget())->announcedCells(); }
};

class CellAccessible : public QAccessibleWidget
{
public:
    explicit CellAccessible(QLabel* cell) : QAccessibleWidget(cell, QAccessible::ListItem) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const auto* strip = static_cast<const CellStrip*>(widget()->parentWidget());
        s.selectable = true;
        s.focusable = true;
        s.focused = strip->hasFocus() && strip->announcedCells().value(strip->currentCell()) == widget();
        s.selected = s.focused;
        return s;
    }
};

QAccessibleInterface* stripInterfaces(const QString&, QObject* object)
{
    if (auto* strip = qobject_cast<CellStrip*>(object))
        return new StripAccessible(strip);
    auto* cell = qobject_cast<QLabel*>(object);
    if (cell && qobject_cast<CellStrip*>(cell->parentWidget()))
        return new CellAccessible(cell);
    return nullptr;
}

} // namespace

CellStrip::CellStrip(QWidget* parent) : QWidget(parent)
{
    static const bool installed = (QAccessible::installFactory(stripInterfaces), true);
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("cellStrip"));
    setFocusPolicy(Qt::TabFocus); // a click on a cell leaves the focus where it was
}

void CellStrip::addCell(QLabel* cell, WinColour colour)
{
    cell->setParent(this);
    m_cells.append(cell);
    m_colours.append(colour);
    setCellColour(int(m_cells.size()) - 1, colour);
}

void CellStrip::setCellText(int cell, const QString& text)
{
    if (m_cells[cell]->text() == text)
        return;
    m_cells[cell]->setText(text);
    describeCell(cell);
}

void CellStrip::setCellColour(int cell, WinColour colour)
{
    m_colours[cell] = colour;
    WidgetStyle::setBackground(m_cells[cell], WidgetStyle::fromWinColour(colour));
    describeCell(cell);
}

QString CellStrip::formName(WinColour colour)
{
    switch (colour) {
    case Colours::Yellow: return tr("10進数(＆#形式)");
    case Colours::LightGreen: return tr("16進数(＆#x形式)");
    case Colours::LightCyan: return tr("16進(％形式)");
    default: return tr("変換なし");
    }
}

void CellStrip::describeCell(int cell)
{
    QLabel* label = m_cells[cell];
    const QString name =
        label->text().isEmpty() ? QString() : tr("%1、%2").arg(label->text(), formName(m_colours[cell]));
    if (label->accessibleName() != name)
        label->setAccessibleName(name);
}

QList<QLabel*> CellStrip::announcedCells() const
{
    QList<QLabel*> shown;
    for (QLabel* cell : m_cells)
        if (!cell->text().isEmpty())
            shown.append(cell);
    return shown;
}

void CellStrip::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void CellStrip::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: moveCurrent(-1); break;
    case Qt::Key_Right: moveCurrent(1); break;
    case Qt::Key_Home: moveCurrent(-int(m_cells.size())); break;
    case Qt::Key_End: moveCurrent(int(m_cells.size())); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

void CellStrip::moveCurrent(int step)
{
    const int last = std::max(int(announcedCells().size()) - 1, 0);
    m_current = std::clamp(m_current + step, 0, last);
    markCurrent();
    announceCurrent();
}

// The cell the keys are on is framed, as a focused item of a list is.
void CellStrip::markCurrent()
{
    const QList<QLabel*> shown = announcedCells();
    for (QLabel* cell : m_cells)
        cell->setFrameShape(hasFocus() && shown.value(m_current) == cell ? QFrame::Box : QFrame::NoFrame);
    update();
}

void CellStrip::announceCurrent()
{
    QAccessibleEvent focus(this, QAccessible::Focus);
    if (!announcedCells().isEmpty())
        focus.setChild(m_current);
    QAccessible::updateAccessibility(&focus);
}

void CellStrip::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_current = std::min(m_current, std::max(int(announcedCells().size()) - 1, 0));
    markCurrent();
    announceCurrent();
}

void CellStrip::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    markCurrent();
}
