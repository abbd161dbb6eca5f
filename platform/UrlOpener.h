#pragma once

#include <QUrl>

// Hands a URL to the desktop: web pages to the default browser, a mailto: URL to
// the mail program, a file to its registered application. Never waits for it.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual bool open(const QUrl& url) = 0;
};

class DesktopUrlOpener : public UrlOpener
{
public:
    bool open(const QUrl& url) override;
};
