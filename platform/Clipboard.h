#pragma once

#include <QString>

#include <functional>

// The system clipboard, plain text only. Operations throw AppError 521 when the
// clipboard cannot be opened.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual QString text() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
    // Called whenever the clipboard's content changes, by this program or another one.
    virtual void onChange(std::function<void()> changed) = 0;
};
