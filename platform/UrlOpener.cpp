#include "UrlOpener.h"

#include "Message.h"

#include <QCoreApplication>
#include <QProcess>

ProcessUrlOpener::ProcessUrlOpener(QString program) : m_program(std::move(program))
{
}

ProcessUrlOpener::~ProcessUrlOpener()
{
    // xdg-open may still be running the browser it started; ending the program must
    // not kill it, so the processes are let go instead of destroyed.
    for (QProcess* process : m_running.findChildren<QProcess*>()) {
        process->disconnect();
        process->setParent(nullptr);
    }
}

void ProcessUrlOpener::open(const QUrl& url, std::function<void(int exitCode)> failed)
{
    auto* process = new QProcess(&m_running);
    process->setProgram(m_program);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (failed)
            failed(-1);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
        if ((status != QProcess::NormalExit || code != 0) && failed)
            failed(status == QProcess::NormalExit ? code : -1);
        process->deleteLater();
    });
    process->start();
}

void OpenBrowserPage(const QUrl& url, UrlOpener& urls, MessagePresenter& messages)
{
    urls.open(url, [&messages, url](int) {
        messages.show({QCoreApplication::translate("UrlOpener", "ブラウザを起動できませんでした。\n%1").arg(url.toString()),
                       QCoreApplication::translate("UrlOpener", "エラー"),
                       MessageIcon::Critical, MessageButtons::Ok});
    });
}
