#pragma once

#include "AppError.h"
#include "Clipboard.h"

#include <functional>
#include <utility>

// A clipboard that tests fill and inspect; failNext makes the next operation throw.
// Like the system's, it tells of every change; reads counts the texts fetched.
class FakeClipboard : public Clipboard
{
public:
    QString content;
    int clears = 0;
    int failNext = 0; // an AppError number, 0 for none
    int reads = 0;
    bool answerLater = false; // then the text is handed over only when the test calls answer()
    std::function<void()> answer;
    std::function<void()> changed;

    void copyElsewhere(const QString& text)
    {
        content = text;
        if (changed)
            changed();
    }
    void readText(qsizetype maxLength, std::function<void(const QString&)> done) override
    {
        check();
        ++reads;
        answer = [done, text = content.size() > maxLength ? QString() : content] { done(text); };
        if (!answerLater)
            answer();
    }
    void setText(const QString& text) override
    {
        check();
        copyElsewhere(text);
    }
    void clear() override
    {
        check();
        ++clears;
        copyElsewhere(QString());
    }
    void onChange(std::function<void()> handler) override { changed = std::move(handler); }

private:
    void check()
    {
        if (failNext != 0)
            throw AppError(std::exchange(failNext, 0));
    }
};
