#pragma once

#include "PageTexts.h"
#include "PreviewPages.h"

#include <QStringList>

class RandomSource;

// The JavaScript examples of the preview: the address cut at a random place into
// pieces that a script joins again, with the address image as the fallback.
class ScriptExamples
{
public:
    ScriptExamples(const PreviewSource& source, QString displayText, const PageTexts& texts);

    bool isMail() const { return m_mail; }
    const QString& linkPrefix() const { return m_linkPrefix; }
    const QString& linkCaption() const { return m_linkCaption; }
    const QString& displayText() const { return m_displayText; }

    QString javaScriptHeading() const;
    // m1, m2 from the converted text; m3, m4 from the displayed text.
    void cutHref(RandomSource& random);
    void cutDisplay(RandomSource& random);
    // imageFolder is "JSP/" for Preview.htm and empty for the pages inside that folder.
    QString textScriptBlock(const QString& imageFolder) const;
    QString linkScriptBlock(const QString& imageFolder) const;

    // "<", ">" and the double quote as character references, so the text can stand inside
    // href="…" and as a link's text; "&" stays, as the converted text's references need it.
    static QString attributeValue(const QString& text);
    // The inside of a double-quoted JavaScript string literal that reads back as text.
    static QString jsLiteral(const QString& text);

private:
    QStringList scriptHead() const;
    static QStringList scriptTail(const QString& imageFolder);

    const PreviewSource& m_source;
    const PageTexts& m_texts;
    QString m_displayText;
    bool m_mail = false;
    QString m_linkPrefix;
    QString m_linkCaption;
    QString m_m1, m_m2, m_m3, m_m4;
};
