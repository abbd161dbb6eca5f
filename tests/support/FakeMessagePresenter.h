#pragma once

#include "Message.h"

#include <QStringList>
#include <QWidget>
#include <functional>

// Records every box and answers questions from a queue (default No); whileOpen runs under a modal stand-in for it.
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
            QWidget box; box.setWindowModality(Qt::ApplicationModal); box.show();
            whileOpen();
        }
        if (message.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        return answers.isEmpty() ? MessageAnswer::No : answers.takeFirst();
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QString titled() const { return shown.last().title + ": " + shown.last().text; }
    // Every box as "title: text", after "[!]" for a critical icon, "[i]" for an informative one, "[?]" for Yes/No.
    QStringList log() const
    {
        QStringList boxes;
        for (const Message& m : shown)
            boxes << QStringList{"", "[i]", "[!]"}.at(int(m.icon)) + (m.buttons == MessageButtons::YesNo ? "[?]" : "") +
                         m.title + ": " + m.text;
        return boxes;
    }
};
