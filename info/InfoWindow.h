#pragma once

#include <QWidget>

class QPushButton;

// What the three information windows share: modeless, no owner, on top of other
// windows, closed (and destroyed) by their "OK(&O)" button.
class InfoWindow : public QWidget
{
    Q_OBJECT

public:
    explicit InfoWindow(const QString& title);

    // 1250 twips right of and 1500 twips below the main window's top-left corner.
    void placeBelow(const QWidget* mainWindow);

protected:
    QPushButton* makeOkButton();
};
