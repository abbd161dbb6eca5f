#include "CheckCommand.h"

#include "PipedPage.h"
#include "SiteCheck.h"
#include "SiteRun.h"
#include "SiteWalk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <unistd.h>

namespace {

struct CheckedPage
{
    PageOutcome outcome;
    QList<ReadableAddress> found;
};

CheckedPage checkInput()
{
    CheckedPage page;
    page.outcome.path = QStringLiteral("-");
    QString unread = standardInputWasOpen() ? QString() : QStringLiteral("it is closed");
    const QByteArray input = unread.isEmpty() ? readWholeInput(STDIN_FILENO, &unread) : QByteArray();
    const DecodedPage decoded = DecodedPage::read(input);
    if (!unread.isEmpty()) {
        page.outcome.problem = PageProblem::Unreadable;
        page.outcome.detail = unread;
    } else if (!decoded.encoding) {
        page.outcome.problem = PageProblem::UnsupportedEncoding;
        page.outcome.detail = decoded.unsupported;
    }
    page.found = SiteCheck::check(decoded);
    page.outcome.readable = SiteCheck::counts(page.found);
    return page;
}

QList<CheckedPage> checkPages(const CheckRequest& request)
{
    if (request.paths == QList<QByteArray>{"-"})
        return {checkInput()};
    const SiteWalk walk = SiteWalk::walk(request.paths, request.hidden, false);
    QList<CheckedPage> pages;
    for (const PageOutcome& problem : walk.problems)
        pages.append({problem, {}});
    for (const QByteArray& path : walk.notPages) {
        PageOutcome outcome;
        outcome.path = shownName(path);
        outcome.problem = PageProblem::Missing;
        outcome.detail = QStringLiteral("not a page (.html, .htm, .xhtml)");
        pages.append({outcome, {}});
    }
    for (const PageRef& page : walk.pages) {
        CheckedPage checked;
        checked.outcome = SiteCheck::checkFile(page, &checked.found);
        pages.append(checked);
    }
    return pages;
}

QString problemOf(const PageOutcome& outcome)
{
    return outcome.detail.startsWith(QLatin1String("not a page")) ? outcome.detail : SiteRun::problemText(outcome);
}

QJsonDocument asJson(const QList<CheckedPage>& pages, const CheckRequest& request, const LevelCounts& totals)
{
    QJsonArray list;
    for (const CheckedPage& page : pages) {
        QJsonArray entries;
        for (const ReadableAddress& entry : page.found)
            entries.append(QJsonObject{{QStringLiteral("line"), entry.line},
                                       {QStringLiteral("where"), SiteCheck::placementName(entry.where)},
                                       {QStringLiteral("level"), HarvestLevels::name(entry.level)},
                                       {QStringLiteral("address"), entry.address}});
        QJsonObject object{{QStringLiteral("page"), page.outcome.path}, {QStringLiteral("entries"), entries}};
        if (page.outcome.failed())
            object.insert(QStringLiteral("problem"), problemOf(page.outcome));
        list.append(object);
    }
    QJsonObject levels;
    for (ReadLevel level : {ReadLevel::Raw, ReadLevel::Decoded, ReadLevel::Spelled})
        levels.insert(HarvestLevels::name(level), totals[int(level)]);
    return QJsonDocument(QJsonObject{{QStringLiteral("level"), HarvestLevels::name(request.level)},
                                     {QStringLiteral("pages"), list},
                                     {QStringLiteral("totals"), levels},
                                     {QStringLiteral("readable"), SiteCheck::readableAt(totals, request.level)}});
}

void printText(const QList<CheckedPage>& pages, const CheckRequest& request, const LevelCounts& totals, int errors)
{
    QTextStream out(stdout);
    for (const CheckedPage& page : pages)
        for (const ReadableAddress& entry : page.found)
            out << page.outcome.path << ':' << entry.line << ": " << HarvestLevels::name(entry.level) << ' '
                << SiteCheck::placementName(entry.where) << ' ' << entry.address << '\n';
    if (!request.quiet)
        out << pages.size() - errors << " pages checked, " << errors
            << " errors; readable: " << SiteCheck::countsText(totals) << " ("
            << SiteCheck::readableAt(totals, request.level) << " at " << HarvestLevels::name(request.level)
            << " or below)\n";
}

} // namespace

int runCheck(const CheckRequest& request)
{
    const QList<CheckedPage> pages = checkPages(request);
    LevelCounts totals{};
    int errors = 0;
    QTextStream err(stderr);
    for (const CheckedPage& page : pages) {
        if (page.outcome.failed())
            err << "qorvane-site: " << page.outcome.path << ": " << problemOf(page.outcome) << '\n';
        errors += page.outcome.failed();
        for (int level = 0; level < 3; ++level)
            totals[level] += page.outcome.readable[level];
    }
    err.flush();
    if (request.json)
        QTextStream(stdout) << asJson(pages, request, totals).toJson();
    else
        printText(pages, request, totals, errors);
    return errors > 0 || SiteCheck::readableAt(totals, request.level) > 0 ? 1 : 0;
}
