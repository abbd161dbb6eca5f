#pragma once

#include "ConversionSettings.h"

#include <QCoreApplication>
#include <QList>
#include <QWidget>

class QLabel;

// The per-character cells in one widget that takes the keyboard focus and reads as one
// list to a screen reader: each cell that shows a character is an item named by the
// character and the form it took, so its colour is never the only carrier of that meaning.
// Left and Right move between the cells; the strip shows its focus by a frame around it.
class CellStrip : public QWidget
{
    Q_OBJECT

public:
    // Cells are placed from this inset, which leaves room for the focus frame.
    static constexpr int Inset = 3;

    explicit CellStrip(QWidget* parent);

    void addCell(QLabel* cell, WinColour colour);
    // Each keeps the cell's spoken name in step with what it shows.
    void setCellText(int cell, const QString& text);
    void setCellColour(int cell, WinColour colour);
    // The cells a screen reader announces, those that show a character, in reading order.
    QList<QLabel*> announcedCells() const;
    int currentCell() const { return m_current; }

    // How a cell of this colour was written, in words.
    static QString formName(WinColour colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void moveCurrent(int step);
    void markCurrent();
    void announceCurrent();

    void describeCell(int cell);

    QList<QLabel*> m_cells;
    QList<WinColour> m_colours;
    int m_current = 0;
};
