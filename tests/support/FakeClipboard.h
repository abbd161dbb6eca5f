#pragma once

#include "AppError.h"
#include "Clipboard.h"

// A clipboard that tests fill and inspect; failNext makes the next operation throw.
class FakeClipboard : public Clipboard
{
public:
    QString content;
    int clears = 0;
    int failNext = 0; // an AppError number, 0 for none

    QString text() override
    {
        check();
        return content;
    }
    void setText(const QString& text) override
    {
        check();
        content = text;
    }
    void clear() override
    {
        check();
        ++clears;
        content.clear();
    }

private:
    void check()
    {
        if (failNext != 0) {
            const int number = failNext;
            failNext = 0;
            throw AppError(number);
        }
    }
};
