#pragma once

#include "Message.h"

#include <QList>
#include <QWidget>
#include <functional>

// Records every message box and answers Yes/No questions from a queue (default No).
// whileOpen runs while a modal stand-in for the box is shown, as a real box would
// leave the event loop running under it.
class FakeMessagePresenter : public MessagePresenter
{
public:
    QList<Message> shown;
    QList<MessageAnswer> answers;
    std::function<void()> whileOpen;

    MessageAnswer show(const Message& message) override
    {
        shown.append(message);
        if (whileOpen) {
            QWidget box;
            box.setWindowModality(Qt::ApplicationModal);
            box.show();
            whileOpen();
        }
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return answers.isEmpty() ? MessageAnswer::No : answers.takeFirst();
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    // "title: text" of the box shown at index (negative counts from the end).
    QString titled(int index = -1) const
    {
        const Message& m = shown.at(index < 0 ? shown.size() + index : index);
        return m.title + ": " + m.text;
    }
};
