#pragma once

#include "SiteRun.h"

#include <QObject>
#include <atomic>
#include <memory>

class QThread;

// A site run on a thread of its own, so a window stays responsive; results come back
// as signals on the job's own thread. Cancelling is seen between pages and inside a
// page up to its rename, so every page is either wholly done or untouched.
class SiteJob : public QObject
{
    Q_OBJECT

public:
    // task.cancelled is replaced by the job's own.
    SiteJob(QStringList paths, SiteTask task, QObject* parent = nullptr);
    // Waits for the thread: give the job away (release) rather than delete a running one
    // where nobody may wait.
    ~SiteJob() override;

    void start();
    void cancel() { *m_cancelled = true; }
    bool isRunning() const;
    // Cancels, cuts every tie with the receivers, and deletes the job once its thread has
    // ended, so nobody waits for the page in hand; the application holds it till then.
    void release();
    // Whether any job's thread is still at work, so that a program that ends need not wait for it.
    static bool anyRunning() { return s_running > 0; }

signals:
    void pagesCounted(int total);
    // Hidden entries and node_modules folders the walk left out, so that a preview can say so.
    void hiddenSkipped(int count);
    void pageDone(const PageOutcome& outcome);
    void finished(bool cancelled);

private:
    void run();

    const QStringList m_paths;
    SiteTask m_task;
    std::shared_ptr<std::atomic<bool>> m_cancelled = std::make_shared<std::atomic<bool>>(false);
    QThread* m_thread = nullptr;
    static inline std::atomic<int> s_running = 0;
};
