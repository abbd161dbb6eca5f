#pragma once

#include "SiteRun.h"

#include <QObject>
#include <atomic>

class QThread;

// A site run on a thread of its own, so a window stays responsive; results come back
// as signals on the job's own thread. Cancelling stops before the next page, so every
// page is either wholly done or untouched.
class SiteJob : public QObject
{
    Q_OBJECT

public:
    SiteJob(QStringList paths, SiteOptions options, bool dryRun, QObject* parent = nullptr);
    ~SiteJob() override;

    void start();
    void cancel() { m_cancelled = true; }
    bool isRunning() const;

signals:
    void pagesCounted(int total);
    void pageDone(const PageOutcome& outcome);
    void finished(bool cancelled);

private:
    void run();

    const QStringList m_paths;
    const SiteOptions m_options;
    const bool m_dryRun;
    std::atomic<bool> m_cancelled{false};
    QThread* m_thread = nullptr;
};
