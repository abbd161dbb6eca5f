#include "SiteJob.h"

#include "Random.h"
#include "SiteWalk.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

SiteJob::SiteJob(QStringList paths, SiteTask task, QObject* parent)
    : QObject(parent), m_paths(std::move(paths)), m_task(std::move(task))
{
    m_task.cancelled = m_cancelled.get();
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
    ++s_running;
    m_thread = QThread::create([this] {
        run();
        --s_running;
    });
    connect(m_thread, &QThread::finished, this, [this] { emit finished(*m_cancelled); });
    m_thread->start();
}

bool SiteJob::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void SiteJob::release()
{
    cancel();
    disconnect();
    setParent(QCoreApplication::instance());
    if (isRunning())
        connect(m_thread, &QThread::finished, this, &QObject::deleteLater);
    else
        deleteLater();
}

void SiteJob::run()
{
    QList<QByteArray> paths;
    for (const QString& path : m_paths)
        paths.append(QFile::encodeName(path));
    std::list<PageFile::FolderLock> locks;
    QList<PageOutcome> early = m_task.dryRun ? QList<PageOutcome>{} : SiteRun::lockFolders(&paths, &locks);
    const SiteWalk walk = SiteWalk::walk(paths, false, !m_task.dryRun);
    early += walk.problems;
    if (m_task.script) {
        SystemRandom random;
        early += m_task.script->prepare(paths, m_task.dryRun, random);
    }
    QMetaObject::invokeMethod(this, [this, total = int(walk.pages.size())] { emit pagesCounted(total); });
    QMetaObject::invokeMethod(this, [this, hidden = walk.hiddenSkipped] { emit hiddenSkipped(hidden); });
    for (const PageOutcome& outcome : early)
        QMetaObject::invokeMethod(this, [this, outcome] { emit pageDone(outcome); });
    SiteRun::processAll(walk.pages, m_task, [this](const PageOutcome& outcome) {
        QMetaObject::invokeMethod(this, [this, outcome] { emit pageDone(outcome); });
        return !*m_cancelled;
    });
}
