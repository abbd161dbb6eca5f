#include "HarvestLevels.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <functional>

namespace {

constexpr const char* LevelNames[] = {"raw", "decoded", "spelled"};

QString replaced(const QString& text, const QRegularExpression& pattern,
                 const std::function<QString(const QRegularExpressionMatch&)>& by)
{
    QString out;
    qsizetype copied = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        out += QStringView(text).sliced(copied, match.capturedStart() - copied);
        out += by(match);
        copied = match.capturedEnd();
    }
    out += QStringView(text).sliced(copied);
    return out;
}

QString squeezed(QString text)
{
    return text.remove(QLatin1Char(' '));
}

} // namespace

namespace HarvestLevels {

QString name(ReadLevel level)
{
    return QString::fromLatin1(LevelNames[int(level)]);
}

std::optional<ReadLevel> fromName(const QString& name)
{
    for (int level = 0; level < 3; ++level)
        if (name == QLatin1String(LevelNames[level]))
            return ReadLevel(level);
    return std::nullopt;
}

QString linkAsRead(const QString& href)
{
    QString link = href;
    link.remove(QRegularExpression(QStringLiteral("[\\t\\r\\n]")));
    return QUrl::fromPercentEncoding(link.toUtf8());
}

// Bracketed "at" and "dot" say what they stand for wherever they stand; bare words count only between words
// shaped like an address's parts, ending in a top-level domain, so "meet at noon" stays prose.
QString spellingsUndone(const QString& text)
{
    using Re = QRegularExpression;
    static const Re bracketedAt(QStringLiteral(R"(\s*[\[({<]\s*(?:at|@)\s*[\])}>]\s*)"), Re::CaseInsensitiveOption);
    static const Re bracketedDot(QStringLiteral(R"(\s*[\[({<]\s*(?:dot|\.)\s*[\])}>]\s*)"), Re::CaseInsensitiveOption);
    static const Re words(
        QStringLiteral(R"re(\b([A-Za-z0-9._%+-]+)\s+(?i:at)\s+([A-Za-z0-9-]+(?:\s+(?i:dot)\s+[A-Za-z0-9-]+)*))re"
                       R"re(\s+(?i:dot)\s+([A-Za-z]{2,})\b)re"));
    static const Re dotWord(QStringLiteral(R"(\s+(?i:dot)\s+)"));
    static const Re spaced(QStringLiteral(R"((?<!\S)(?:[A-Za-z0-9._%+-] )+@(?: [A-Za-z0-9.-])+(?!\S))"));
    // Most text holds none of these; it is passed over without the rewrites below.
    static const Re anySpelling(QStringLiteral(R"([@\x{FF20}]|\b(?i:at)\b|\x{FF41}\x{FF54})"));
    if (!anySpelling.match(text).hasMatch())
        return text;
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    QString out = ascii ? text : text.normalized(QString::NormalizationForm_KC);
    out = replaced(out, bracketedAt, [](const auto&) { return QStringLiteral("@"); });
    out = replaced(out, bracketedDot, [](const auto&) { return QStringLiteral("."); });
    out = replaced(out, words, [](const QRegularExpressionMatch& m) {
        return m.captured(1) + u'@' + m.captured(2).replace(dotWord, QStringLiteral(".")) + u'.' + m.captured(3);
    });
    return replaced(out, spaced, [](const QRegularExpressionMatch& m) { return squeezed(m.captured()); });
}

} // namespace HarvestLevels
