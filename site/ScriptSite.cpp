#include "ScriptSite.h"

#include "AppError.h"
#include "FileAccess.h"
#include "Random.h"

#include <QFile>
#include <QRegularExpression>
#include <sys/stat.h>

namespace {

constexpr int KeyBytes = 16;
const QByteArray KeyPlace = "@KEY@";

QByteArray folderOf(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        QByteArray folder = path;
        while (folder.size() > 1 && folder.endsWith('/'))
            folder.chop(1);
        return folder;
    }
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : slash == 0 ? QByteArray("/") : path.left(slash);
}

// What every name under folder starts with; a page named by itself alone lies in the folder "".
QByteArray prefixOf(const QByteArray& folder)
{
    return folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

QByteArray inFolder(const QByteArray& folder, const QString& name)
{
    return prefixOf(folder) + QFile::encodeName(name);
}

// The key a script of this program at path holds; empty when there is none.
QByteArray keptKey(const QByteArray& path)
{
    static const QRegularExpression key(QStringLiteral("var key = bytesOf\\(\"([A-Za-z0-9_-]{8,})\"\\);"));
    QByteArray bytes;
    try {
        bytes = FileAccess::read(QFile::decodeName(path));
    } catch (const AppError&) {
        return {};
    }
    const QString found = key.match(QString::fromLatin1(bytes)).captured(1);
    return QByteArray::fromBase64(found.toLatin1(), QByteArray::Base64UrlEncoding);
}

} // namespace

ScriptSite::ScriptSite(ScriptOptions options, Picture picture)
    : m_options(std::move(options)), m_picture(std::move(picture))
{
}

QByteArray ScriptSite::script(const QByteArray& key)
{
    QFile file(QStringLiteral(":/site/qorvane-mail.js"));
    file.open(QIODevice::ReadOnly);
    return file.readAll().replace(KeyPlace, key.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QList<PageOutcome> ScriptSite::prepare(const QList<QByteArray>& paths, bool dryRun, RandomSource& random)
{
    QList<PageOutcome> failed;
    for (const QByteArray& path : paths) {
        const QByteArray folder = folderOf(path);
        auto top = std::find_if(m_tops.begin(), m_tops.end(), [&](const Top& t) { return t.folder == folder; });
        if (top == m_tops.end())
            top = m_tops.insert(m_tops.end(), {folder, {}, true});
        const QByteArray file = inFolder(folder, QLatin1String(ScriptName));
        // A key drawn by a dry run stays: its plans were encrypted with it.
        if (top->key.isEmpty())
            top->key = keptKey(file);
        while (top->key.size() < KeyBytes)
            top->key += char(std::clamp(int(DrawRandom(random) * 256), 0, 255));
        const QByteArray bytes = script(top->key);
        try {
            if (!dryRun && (!FileAccess::exists(QFile::decodeName(file)) || FileAccess::read(QFile::decodeName(file)) != bytes))
                FileAccess::writeAtomically(QFile::decodeName(file), bytes);
            top->usable = true;
        } catch (const AppError& error) {
            top->usable = false;
            PageOutcome outcome;
            outcome.file = file;
            outcome.path = shownName(file);
            outcome.problem = PageProblem::ScriptUnwritable;
            outcome.detail = error.detail();
            outcome.errorNumber = error.number();
            failed.append(outcome);
        }
    }
    return failed;
}

const ScriptSite::Top* ScriptSite::topOf(const QByteArray& page) const
{
    const Top* best = nullptr;
    for (const Top& top : m_tops) {
        const bool under = page.startsWith(prefixOf(top.folder)) && (!top.folder.isEmpty() || !page.contains('/'));
        if (under && (!best || top.folder.size() > best->folder.size()))
            best = &top;
    }
    return best;
}

std::optional<ScriptPage> ScriptSite::pageContext(const QByteArray& page) const
{
    const Top* top = topOf(page);
    if (!top || !top->usable)
        return std::nullopt;
    ScriptPage context;
    context.key = top->key;
    context.label = m_options.label;
    context.onInteraction = m_options.onInteraction;
    if (!m_options.scriptUrl.isEmpty()) {
        context.scriptSrc = m_options.scriptUrl;
        context.imageFolder = m_options.scriptUrl.left(m_options.scriptUrl.lastIndexOf(u'/') + 1);
        return context;
    }
    const qsizetype below = prefixOf(top->folder).size();
    context.imageFolder = QStringLiteral("../").repeated(QByteArrayView(page).sliced(below).count('/'));
    context.scriptSrc = context.imageFolder + QLatin1String(ScriptName);
    return context;
}

QString ScriptSite::writeImages(const QByteArray& page, const QStringList& addresses)
{
    const Top* top = topOf(page);
    if (!top)
        return {};
    for (const QString& address : addresses) {
        const QByteArray file = inFolder(top->folder, ScriptWriter::imageName(top->key, address));
        std::lock_guard lock(m_imagesMutex);
        if (m_imagesWritten.contains(file) || FileAccess::exists(QFile::decodeName(file)))
            continue;
        const QByteArray png = m_picture ? m_picture(address) : QByteArray();
        if (png.isEmpty())
            return QStringLiteral("the image of an address could not be drawn");
        try {
            FileAccess::writeAtomically(QFile::decodeName(file), png);
        } catch (const AppError& error) {
            return QStringLiteral("%1: %2").arg(shownName(file), error.detail());
        }
        m_imagesWritten.insert(file);
    }
    return {};
}
