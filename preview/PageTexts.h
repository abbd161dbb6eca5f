#pragma once

#include "UiLanguage.h"

#include <QByteArray>
#include <QString>

// The words of the preview pages in one language. The Japanese pages stay as they always
// were, code page 932 with no declared character set; the English ones are UTF-8 and say so.
struct PageTexts
{
    bool utf8;
    QString pageOpening;    // everything before the support heading on Preview.htm's first line
    QString sourceOpening;  // the first line of a source page
    QString supportHeading; // before the two browser tables
    QString blank;          // an empty cell
    QString supported;      // a supported form
    QString decimalColumn, hexColumn, percentColumn;
    QString browsers[5];    // the two Internet Explorer rows, then the three Netscape rows
    QString notesHexUsed, notesAllBrowsers;
    QString plainExample;   // with %1: "mailto:" or "http://"
    QString scriptExample;  // with %1 as above and %2: the image's subject
    QString mailImage, urlImage;
    QString captionHeading, mailHeading, urlHeading;
    QString mailCaption, urlCaption;
    QString viewSource;
    QString cannotShow;
    QString tagNoteHeading, tagNoteExplanation;
    QString rightClick, openImageFolder, copyFrom, copyTo, back;

    QByteArray encode(const QString& page) const;

    static const PageTexts& of(UiLanguage language);
};
