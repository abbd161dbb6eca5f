#pragma once

#include "UrlOpener.h"

#include <QList>

// Records the URLs the program asked the desktop to open.
class FakeUrlOpener : public UrlOpener
{
public:
    QList<QUrl> opened;
    bool succeed = true;

    bool open(const QUrl& url) override
    {
        opened.append(url);
        return succeed;
    }
};
