#pragma once

#include <QString>

// The system clipboard, plain text only. Operations throw AppError 521 when the
// clipboard cannot be opened.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual QString text() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
};
