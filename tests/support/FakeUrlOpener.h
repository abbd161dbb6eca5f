#pragma once

#include "UrlOpener.h"

#include <QList>

// Records the URLs the program asked the desktop to open; a non-zero exitCode
// makes every opener fail with it.
class FakeUrlOpener : public UrlOpener
{
public:
    QList<QUrl> opened;
    int exitCode = 0;

    void open(const QUrl& url, std::function<void(int)> failed) override
    {
        opened.append(url);
        if (exitCode != 0 && failed)
            failed(exitCode);
    }
};
