#pragma once

#include "ConversionSettings.h"

#include <QString>
#include <QStringView>

// Working state and results of the last conversion. The preview reads the
// Used* flags and PrefixOutput after a conversion.
struct ConversionState
{
    QStringView CurrentChar;   // one code point: one or two UTF-16 units
    QString OutputBuffer;
    qsizetype WritePos = 1;    // 1-based; the output is the first WritePos - 1 units
    int CharsDone = 0;
    int CharIndex = 0;         // 1-based, in code points
    char PrefixZone = '2';     // '1' inside a leading "mailto:", "http://" or "https://"
    int PrefixLength = 0;      // 7, or 8 for "https://"; 0 without a prefix
    bool PercentAllowed = true; // false where a percent escape of CurrentChar would change what the link means
    bool MustConvert = false;   // the options leave CurrentChar no choice: scope all, or the "@" and "." flags
    QString Unconverted;        // each "@" and "." that had to be converted but no enabled form could take
    int ZeroPad = 0;
    WinColour MaskColor = Colours::Grey;
    bool UsedDecimal = false;
    bool UsedHex = false;
    bool UsedPercent = false;
    QString PrefixOutput;
};
