#pragma once

#include <QString>

// Whether a clipboard text looks like one mail address or one URL, and is not
// the program's own output (which holds "&#", "%" or a reference such as "&amp;").
// Exactly one "http://" or "https://" makes a URL; the test is case-sensitive.
constexpr qsizetype MaxWatchedLength = 4096;

bool AcceptClipboardText(const QString& text);
// Leading and trailing plain spaces removed.
QString trimSpaces(const QString& text);
