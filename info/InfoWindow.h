#pragma once

#include <QPointer>
#include <QWidget>

class QPushButton;

// What the three information windows share: modeless, no owner, on top of other
// windows, closed (and destroyed) by their "OK(&O)" button, by Enter or by Escape.
class InfoWindow : public QWidget
{
    Q_OBJECT

public:
    explicit InfoWindow(const QString& title);

    // The frame 1250 twips right of and 1500 twips below the main window's frame,
    // moved inside the screen where it would stick out.
    void placeBelow(const QWidget* mainWindow);

protected:
    QPushButton* makeOkButton();
    // A link reacts like a button: left button pressed and released over the same label.
    bool isLinkClick(QObject* watched, QEvent* event);
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* m_ok = nullptr;
    QPointer<QObject> m_pressedLink;
};

// The top-left corner that puts frame inside screen; a frame larger than the
// screen keeps its top-left corner on it.
QPoint keptInside(const QRect& frame, const QRect& screen);
