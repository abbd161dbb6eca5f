#include "AddressImage.h"
#include "CheckCommand.h"
#include "FileLocations.h"
#include "PipedPage.h"
#include "Random.h"
#include "SavedOptions.h"
#include "SettingsFile.h"
#include "SiteCheck.h"
#include "SiteRun.h"
#include "SiteWalk.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFileFailed = 1;
constexpr int ExitUsage = 2;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

struct CheckArguments
{
    bool check = false;
    ReadLevel level = ReadLevel::Decoded;
    bool json = false;
};

struct Arguments
{
    SiteOptions options;
    CheckArguments checking;
    bool dryRun = false;
    bool quiet = false;
    bool hidden = false;
    QList<QByteArray> paths;
};

// An argument whose bytes are not text stands for itself through this marker and its
// position, since a page's name need not be valid text and Qt reads arguments as text.
const QString RawMarker = QStringLiteral("\x01raw:");

QStringList argumentsKeepingBytes(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        const QString text = QFile::decodeName(bytes);
        const bool kept = QFile::encodeName(text) == bytes || bytes.startsWith('-');
        arguments.append(kept ? text : RawMarker + QString::number(i));
    }
    return arguments;
}

QByteArray argumentBytes(const QString& argument, char* argv[])
{
    return argument.startsWith(RawMarker) ? QByteArray(argv[argument.mid(RawMarker.size()).toInt()])
                                          : QFile::encodeName(argument);
}

bool helpAsked(const QCommandLineParser& parser)
{
    return parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"));
}

bool parseForms(const QString& value, ConversionSettings& settings)
{
    settings.decimal = settings.hex = settings.percent = false;
    for (const QString& form : value.split(QLatin1Char(','))) {
        if (form == QLatin1String("decimal"))
            settings.decimal = true;
        else if (form == QLatin1String("hex"))
            settings.hex = true;
        else if (form == QLatin1String("percent"))
            settings.percent = true;
        else
            return false;
    }
    return true;
}

QList<QCommandLineOption> methodOptions()
{
    return {{QStringLiteral("method"),
             QStringLiteral("references (default): character references and escapes; script: addresses in text and "
                            "mailto: links joined by a script written at the top of each PATH, with address images "
                            "for browsers that run no script."),
             QStringLiteral("method")},
            {QStringLiteral("reveal"),
             QStringLiteral("With --method=script: join addresses on load (default), or on interaction: only when a "
                            "person points at, focuses, touches or activates one."),
             QStringLiteral("when")},
            {QStringLiteral("script-url"),
             QStringLiteral("With --method=script: the URL the pages load the script from, when the site serves it "
                            "elsewhere; the address images are looked up beside it."),
             QStringLiteral("url")},
            {QStringLiteral("label"),
             QStringLiteral("With --method=script: the name of what stands for an address (default \"mail address\", "
                            "\"メールアドレス\" on a Japanese page)."),
             QStringLiteral("text")}};
}

// The method and its options; empty, or the usage error's message.
QString parseMethod(const QCommandLineParser& parser, SiteOptions& options)
{
    const QString method = parser.value(QStringLiteral("method"));
    if (!method.isEmpty() && method != QLatin1String("references") && method != QLatin1String("script"))
        return QStringLiteral("--method takes references or script, not \"%1\"").arg(method);
    options.method = method == QLatin1String("script") ? SiteMethod::Script : SiteMethod::References;
    const QString reveal = parser.value(QStringLiteral("reveal"));
    if (!reveal.isEmpty() && reveal != QLatin1String("load") && reveal != QLatin1String("interaction"))
        return QStringLiteral("--reveal takes load or interaction, not \"%1\"").arg(reveal);
    options.script = {reveal == QLatin1String("interaction"), parser.value(QStringLiteral("label")),
                      parser.value(QStringLiteral("script-url"))};
    const bool scriptOptions = !reveal.isEmpty() || parser.isSet(QStringLiteral("label")) ||
                               parser.isSet(QStringLiteral("script-url"));
    if (scriptOptions && options.method != SiteMethod::Script)
        return QStringLiteral("--reveal, --label and --script-url go with --method=script");
    return {};
}

bool parseScope(const QString& value, ConversionSettings& settings)
{
    if (value == QLatin1String("random"))
        settings.scope = EntityScope::Random;
    else if (value == QLatin1String("all"))
        settings.scope = EntityScope::All;
    else if (value == QLatin1String("at"))
        settings.scope = EntityScope::AtOnly;
    else
        return false;
    return true;
}

QList<QCommandLineOption> checkOptions()
{
    return {QCommandLineOption(QStringLiteral("check"),
                               QStringLiteral("Write nothing; list every address a harvester still reads in the pages. "
                                              "Exit status 1 when one is read at --level or below.")),
            QCommandLineOption(QStringLiteral("level"), QStringLiteral("With --check: raw, decoded (default) or spelled."),
                               QStringLiteral("level")),
            QCommandLineOption(QStringLiteral("json"), QStringLiteral("With --check: print one JSON document."))};
}

QString parseCheckOptions(const QCommandLineParser& parser, CheckArguments& checking)
{
    const QString level = QStringLiteral("level");
    checking.check = parser.isSet(QStringLiteral("check"));
    checking.json = parser.isSet(QStringLiteral("json"));
    if (!checking.check && (parser.isSet(level) || checking.json))
        return QStringLiteral("--level and --json go with --check");
    if (parser.isSet(level)) {
        const auto named = HarvestLevels::fromName(parser.value(level));
        if (!named)
            return QStringLiteral("--level takes raw, decoded or spelled, not \"%1\"").arg(parser.value(level));
        checking.level = *named;
    }
    return {};
}

// Fills args, or returns the usage error's message.
QString parse(const QStringList& argv, char* rawArgv[], Arguments& args, QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Rewrites every mail address in web pages (.html, .htm, .xhtml) into character references and URL "
        "escapes, leaving every other byte as it was. Folders are walked recursively. Options not given are "
        "taken from the options Qorvane last saved, unless --forms or --scope is given."));
    const QCommandLineOption forms(QStringLiteral("forms"), QStringLiteral("Forms to draw from: any of decimal,hex,percent."),
                                   QStringLiteral("list"));
    const QCommandLineOption scope(QStringLiteral("scope"), QStringLiteral("Characters to convert: random, all or at."),
                                   QStringLiteral("scope"));
    const QCommandLineOption noDot(QStringLiteral("no-dot"), QStringLiteral("Do not always convert \".\"."));
    const QCommandLineOption noAt(QStringLiteral("no-at"), QStringLiteral("Do not always convert \"@\"."));
    const QCommandLineOption lineBreak(QStringLiteral("line-break"),
                                       QStringLiteral("Add a line-break code inside mailto: links (and zero padding)."));
    const QCommandLineOption links(QStringLiteral("links"),
                                   QStringLiteral("Also rewrite http/https link targets (not under --scope=at)."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("Write nothing; list what would change."));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Print errors only."));
    const QCommandLineOption hidden(QStringLiteral("hidden"),
                                    QStringLiteral("Also walk hidden entries (.name) and node_modules folders."));
    parser.addOptions({forms, scope, noDot, noAt, lineBreak, links, dryRun, quiet, hidden});
    parser.addOptions(checkOptions());
    parser.addOptions(methodOptions());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("PATH"),
        QStringLiteral("Folders or pages to rewrite; \"-\" rewrites one page from standard input to standard output."),
        QStringLiteral("PATH..."));
    if (!parser.parse(argv))
        return parser.errorText();
    if (helpAsked(parser) || parser.isSet(QStringLiteral("version")))
        return {};

    if (const QString problem = parseCheckOptions(parser, args.checking); !problem.isEmpty())
        return problem;
    // A build step that names its forms or scope gets exactly what it names, whatever the window last saved.
    ConversionSettings& settings = args.options.conversion;
    if (!parser.isSet(forms) && !parser.isSet(scope)) {
        const auto locations = FileLocations::forThisProgram(FileLocations::Folders::LeaveMissing);
        settings = conversionFromStored(SettingsFile::load(SettingsFile::path(locations.settingsFolder)));
    }
    if (parser.isSet(forms) && !parseForms(parser.value(forms), settings))
        return QStringLiteral("--forms takes a list of decimal, hex and percent, not \"%1\"").arg(parser.value(forms));
    if (parser.isSet(scope) && !parseScope(parser.value(scope), settings))
        return QStringLiteral("--scope takes random, all or at, not \"%1\"").arg(parser.value(scope));
    settings.dotAlways = settings.dotAlways && !parser.isSet(noDot);
    settings.atAlways = (settings.atAlways && !parser.isSet(noAt)) || settings.scope == EntityScope::AtOnly;
    settings.lineBreak = settings.lineBreak || parser.isSet(lineBreak);
    if (!settings.anyFormEnabled() && !args.checking.check)
        return QStringLiteral("no output form is enabled (use --forms)");
    if (const QString error = parseMethod(parser, args.options); !error.isEmpty())
        return error;
    args.options.links = parser.isSet(links);
    args.dryRun = parser.isSet(dryRun);
    args.quiet = parser.isSet(quiet);
    args.hidden = parser.isSet(hidden);
    for (const QString& path : parser.positionalArguments())
        args.paths.append(argumentBytes(path, rawArgv));
    if (args.paths.isEmpty())
        return QStringLiteral("no PATH given");
    return {};
}

void showProgress(bool shown, qsizetype done, qsizetype total, const QString& path)
{
    if (!shown)
        return;
    err() << "\r\033[K[" << done << '/' << total << "] " << path.right(60);
    if (done == total)
        err() << "\r\033[K";
    err().flush();
}

QString readableAfterText(const LevelCounts& readable)
{
    return QStringLiteral("readable after the rewrite: ") + SiteCheck::countsText(readable);
}

// "-": one page from standard input to standard output, messages to stderr only.
int rewritePipe(const Arguments& args)
{
    QString unread = standardInputWasOpen() ? QString() : QStringLiteral("it is closed");
    const QByteArray input = unread.isEmpty() ? readWholeInput(STDIN_FILENO, &unread) : QByteArray();
    if (!unread.isEmpty()) {
        err() << "qorvane-site: -: standard input could not be read (" << unread << "); nothing was written\n";
        return ExitFileFailed;
    }
    QFile pipeOut;
    if (!pipeOut.open(stdout, QIODevice::WriteOnly))
        return ExitFileFailed;
    SystemRandom random;
    const PipedPage piped = rewritePipedPage(input, args.options, args.dryRun, random);
    const bool written = pipeOut.write(piped.page) == piped.page.size() && pipeOut.flush();
    if (piped.failed())
        err() << "qorvane-site: -: " << piped.problem << '\n';
    else if (!written)
        err() << "qorvane-site: -: the page could not be written to standard output\n";
    for (const QString& address : args.dryRun && !args.quiet ? piped.found : QStringList())
        err() << "    " << address << '\n';
    if (!args.quiet)
        err() << readableAfterText(SiteCheck::counts(SiteCheck::check(DecodedPage::read(piped.rewritten)))) << '\n';
    return piped.failed() || !written ? ExitFileFailed : ExitOk;
}

struct Totals
{
    int changed = 0;
    int addresses = 0;
    int errors = 0;
    LevelCounts readable{};
};

int check(const Arguments& args)
{
    if (args.paths.contains("-") && args.paths.size() > 1) {
        err() << "qorvane-site: \"-\" (a page on standard input) cannot be combined with other paths\n";
        return ExitUsage;
    }
    return runCheck({args.paths, args.checking.level, args.checking.json, args.quiet, args.hidden});
}

void reportProblem(const PageOutcome& outcome, Totals& totals)
{
    ++totals.errors;
    err() << "qorvane-site: " << outcome.path << ": " << SiteRun::problemText(outcome) << '\n';
    err().flush();
}

// Entries left out on purpose: said once, so that nothing is skipped in silence.
void reportSkipped(const Arguments& args, const SiteWalk& walk)
{
    // Quiet runs note them only when no PATH named a page at all.
    if (!args.quiet || walk.pages.isEmpty())
        for (const QByteArray& path : walk.notPages)
            err() << "qorvane-site: " << shownName(path) << ": not a page (.html, .htm, .xhtml); skipped\n";
    if (args.quiet)
        return;
    if (walk.hiddenSkipped > 0 && args.dryRun)
        out() << walk.hiddenSkipped << " hidden entries and node_modules folders skipped (--hidden walks them)\n";
    if (walk.leftovers > 0)
        out() << walk.leftovers << (args.dryRun ? " temporary files of an earlier run found; a run removes them\n"
                                                : " temporary files of an earlier run removed\n");
}

int rewrite(const Arguments& args)
{
    QList<QByteArray> paths = args.paths;
    std::list<PageFile::FolderLock> locks;
    Totals totals;
    if (!args.dryRun)
        for (const PageOutcome& outcome : SiteRun::lockFolders(&paths, &locks))
            reportProblem(outcome, totals);
    const SiteWalk walk = SiteWalk::walk(paths, args.hidden, !args.dryRun);
    for (const PageOutcome& outcome : walk.problems)
        reportProblem(outcome, totals);
    reportSkipped(args, walk);
    SiteTask task;
    task.options = args.options;
    task.dryRun = args.dryRun;
    task.countReadable = !args.quiet;
    if (args.options.method == SiteMethod::Script) {
        task.script = std::make_shared<ScriptSite>(args.options.script, &AddressImage::pngBytes);
        SystemRandom random;
        for (const PageOutcome& outcome : task.script->prepare(paths, args.dryRun, random))
            reportProblem(outcome, totals);
    }
    const bool progress = !args.quiet && isatty(STDERR_FILENO);
    qsizetype done = 0;
    SiteRun::processAll(walk.pages, task, [&](const PageOutcome& outcome) {
        if (progress)
            err() << "\r\033[K";
        if (outcome.failed()) {
            reportProblem(outcome, totals);
        }
        if (outcome.changesPage()) {
            ++totals.changed;
            totals.addresses += outcome.addresses;
            if (!args.quiet) {
                out() << outcome.path << ": " << outcome.addresses
                      << (outcome.addresses == 1 ? " address" : " addresses") << '\n';
                if (args.dryRun)
                    for (const QString& address : outcome.found)
                        out() << "    " << address << '\n';
                out().flush();
            }
        }
        for (int level = 0; level < 3; ++level)
            totals.readable[level] += outcome.readable[level];
        showProgress(progress, ++done, walk.pages.size(), outcome.path);
        return true;
    });
    if (!args.quiet)
        out() << walk.pages.size() << " pages, " << totals.changed << (args.dryRun ? " to change, " : " changed, ")
              << totals.addresses << " addresses, " << totals.errors << " errors"
              << (args.dryRun ? " (dry run, nothing written)" : "") << '\n'
              << readableAfterText(totals.readable) << '\n';
    // PATHs that named no page at all are a mistake, not an empty site.
    const bool nothingNamed = walk.pages.isEmpty() && !walk.notPages.isEmpty();
    return totals.errors > 0 || nothingNamed ? ExitFileFailed : ExitOk;
}

} // namespace

bool scriptMethodAsked(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--method=script" || (QByteArray(argv[i]) == "--method" && i + 1 < argc &&
                                                          QByteArray(argv[i + 1]) == "script"))
            return true;
    return false;
}

// The script method draws address images, which takes fonts, so a GUI application; the references method
// needs none and runs anywhere.
std::unique_ptr<QCoreApplication> application(int& argc, char* argv[])
{
    if (!scriptMethodAsked(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    // This run only draws into images and opens no window: without a display (a build machine, a
    // server) it draws on its own rather than fail to reach one.
    static std::vector<char*> withPlatform;
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    withPlatform.assign(argv, argv + argc);
    static char platform[] = "-platform", offscreen[] = "offscreen";
    if (noDisplay)
        withPlatform.insert(withPlatform.begin() + 1, {platform, offscreen});
    static int count;
    count = int(withPlatform.size());
    withPlatform.push_back(nullptr);
    return std::make_unique<QGuiApplication>(count, withPlatform.data());
}

int main(int argc, char* argv[])
{
    const auto app = application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qorvane-site"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QORVANE_VERSION));
    QCommandLineParser parser;
    Arguments args;
    const QString usageError = parse(argumentsKeepingBytes(argc, argv), argv, args, parser);
    if (!usageError.isEmpty()) {
        err() << "qorvane-site: " << usageError << "\nTry 'qorvane-site --help'.\n";
        return ExitUsage;
    }
    if (helpAsked(parser)) {
        out() << parser.helpText();
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out() << "qorvane-site " << QCoreApplication::applicationVersion() << '\n';
        return ExitOk;
    }
    if (args.checking.check)
        return check(args);
    if (args.paths.contains("-")) {
        if (args.options.method == SiteMethod::Script) {
            err() << "qorvane-site: --method=script writes its script beside the pages; a page on standard input "
                     "has no folder (use --method=references)\n";
            return ExitUsage;
        }
        if (args.paths.size() == 1)
            return rewritePipe(args);
        err() << "qorvane-site: \"-\" (a page on standard input) cannot be combined with other paths\n";
        return ExitUsage;
    }
    return rewrite(args);
}
