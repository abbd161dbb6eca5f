#include "SiteJob.h"

#include <QThread>

SiteJob::SiteJob(QStringList paths, SiteOptions options, bool dryRun, QObject* parent)
    : QObject(parent), m_paths(std::move(paths)), m_options(options), m_dryRun(dryRun)
{
}

SiteJob::~SiteJob()
{
    cancel();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void SiteJob::start()
{
    m_thread = QThread::create([this] { run(); });
    m_thread->start();
}

bool SiteJob::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void SiteJob::run()
{
    QStringList missing;
    const QStringList pages = SiteRun::collectPages(m_paths, &missing);
    QMetaObject::invokeMethod(this, [this, total = int(pages.size())] { emit pagesCounted(total); });
    for (const QString& path : missing) {
        PageOutcome outcome;
        outcome.path = path;
        outcome.problem = PageProblem::Missing;
        QMetaObject::invokeMethod(this, [this, outcome] { emit pageDone(outcome); });
    }
    SiteRun::processAll(pages, m_options, m_dryRun, true, [this](const PageOutcome& outcome) {
        QMetaObject::invokeMethod(this, [this, outcome] { emit pageDone(outcome); });
        return !m_cancelled;
    });
    QMetaObject::invokeMethod(this, [this, cancelled = bool(m_cancelled)] { emit finished(cancelled); });
}
