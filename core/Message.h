#pragma once

#include <QString>

enum class MessageIcon { None, Information, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Modal message boxes, behind an interface so tests can answer without blocking.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

// "ERR: n" as the window's traps show it.
inline Message errorNumberMessage(int number)
{
    return {QStringLiteral("ERR: ") + QString::number(number), QStringLiteral("ERR"), MessageIcon::Critical,
            MessageButtons::Ok};
}
