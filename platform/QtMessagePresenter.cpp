#include "QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MessageAnswer QtMessagePresenter::show(const Message& message)
{
    // Over the window the user is in: an information window stays on top and would hide a box of the main window.
    QWidget* active = QApplication::activeWindow();
    QMessageBox box(active != nullptr ? active : m_parent);
    box.setWindowTitle(message.title.isEmpty() ? QStringLiteral("Qorvane") : message.title);
    box.setText(message.text);
    switch (message.icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (message.buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QCoreApplication::translate("QtMessagePresenter", "はい(&Y)"), QMessageBox::YesRole);
        box.addButton(QCoreApplication::translate("QtMessagePresenter", "いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.addButton(QCoreApplication::translate("QtMessagePresenter", "OK"), QMessageBox::AcceptRole);
    box.exec();
    return MessageAnswer::Ok;
}
