#include "ClipboardRules.h"

#include "ConversionRequest.h"

bool AcceptClipboardText(const QString& text)
{
    // No address or URL is this long; refusing early keeps a huge copy from stalling the watch.
    if (text.size() > MaxWatchedLength)
        return false;
    const auto n = [&text](const char* pattern) { return CntStr(text, QString::fromLatin1(pattern)); };
    // The output writes "&", "<", ">" and '"' as references too; those are refused like "&#".
    const bool ownOutput = n("&#") + n("&amp;") + n("&lt;") + n("&gt;") + n("&quot;") + n("%") > 0;
    return (n("@") == 1 || n("http://") + n("https://") == 1) && !ownOutput && n(" ") == 0 && n(".") >= 1;
}

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
