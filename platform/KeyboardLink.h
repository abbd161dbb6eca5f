#pragma once

#include <QLabel>

// A label that the mouse follows like a link, made usable without a mouse: Tab reaches
// it, Space or Enter follows it, a frame shows where the focus is, and a screen reader
// announces a link named by its caption that it can follow.
class KeyboardLink : public QLabel
{
    Q_OBJECT

public:
    KeyboardLink(const QString& text, QWidget* parent);

signals:
    void followedByKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
