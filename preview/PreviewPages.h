#pragma once

#include "UiLanguage.h"

#include <QString>

class RandomSource;

// What the preview pages are made from: the two texts of the window and the
// results of the last conversion.
struct PreviewSource
{
    QString inputText;
    QString convertedText;
    bool usedDecimal = false;
    bool usedHex = false;
    bool usedPercent = false;
    QString prefixOutput;
};

// The five pages, as text; each ends with its final CR LF.
struct PreviewPages
{
    QString preview;      // Preview.htm
    QString sourceText;   // preview_cd1.htm
    QString sourceLink;   // preview_cd2.htm
    QString scriptText;   // JSP/preview_cd_jsp.htm
    QString scriptLink;   // JSP/preview_cd_jsp2.htm
};

// mod_Preview. Draws the two random cuts of the script examples.
PreviewPages BuildPreviewPages(const PreviewSource& source, RandomSource& random,
                               UiLanguage language = UiLanguage::Japanese);
// Builds the pages and writes each with one open, with CR LF: in code page 932 when Japanese,
// in UTF-8 otherwise; throws AppError when a page cannot be written.
void WritePreviewPages(const PreviewSource& source, RandomSource& random, const QString& programFolder,
                       UiLanguage language = UiLanguage::Japanese);
