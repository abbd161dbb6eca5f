#pragma once

#include "Message.h"

#include <QList>

// Records every message box and answers Yes/No questions from a queue (default No).
class FakeMessagePresenter : public MessagePresenter
{
public:
    QList<Message> shown;
    QList<MessageAnswer> answers;

    MessageAnswer show(const Message& message) override
    {
        shown.append(message);
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        return answers.isEmpty() ? MessageAnswer::No : answers.takeFirst();
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};
