#pragma once

#include <QString>

#include <functional>

// The system clipboard, plain text only. Operations throw AppError 521 when the
// clipboard cannot be opened.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Hands the text to done, now or later on the window's thread: an empty text when there
    // is none, it is longer than maxLength, or its owner did not answer in time.
    virtual void readText(qsizetype maxLength, std::function<void(const QString&)> done) = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
    // Called whenever the clipboard's content changes, by this program or another one.
    virtual void onChange(std::function<void()> changed) = 0;
};
