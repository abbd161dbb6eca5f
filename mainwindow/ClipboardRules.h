#pragma once

#include <QString>

// Whether a clipboard text looks like one mail address or one URL, and is not
// the program's own output (which holds "&#" or "%").
constexpr qsizetype MaxWatchedLength = 4096;

bool AcceptClipboardText(const QString& text);
// Leading and trailing plain spaces removed.
QString trimSpaces(const QString& text);
