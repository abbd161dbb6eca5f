#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class MessagePresenter;

// Hands a URL to the desktop: web pages to the default browser, a mailto: URL to
// the mail program, a file to its registered application. Never waits for it:
// failed is called later, on the window's thread, with the opener's exit code
// (-1 when it could not be started at all).
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void open(const QUrl& url, std::function<void(int exitCode)> failed) = 0;
};

// Runs xdg-open and watches its exit status.
class ProcessUrlOpener : public UrlOpener
{
public:
    explicit ProcessUrlOpener(QString program = QStringLiteral("xdg-open"));
    ~ProcessUrlOpener() override;
    void open(const QUrl& url, std::function<void(int exitCode)> failed) override;

private:
    QString m_program;
    QObject m_running; // parent of the openers still running
};

// Asks the desktop's browser to show url, without waiting for it; says so in a
// message box when the browser cannot be started.
void OpenBrowserPage(const QUrl& url, UrlOpener& urls, MessagePresenter& messages);
