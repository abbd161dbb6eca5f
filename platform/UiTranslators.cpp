#include "UiTranslators.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

struct Translators
{
    QTranslator own;
    QTranslator qt;
};

Translators& translators()
{
    static Translators installed;
    return installed;
}

} // namespace

void installTranslators(UiLanguage language)
{
    Translators& t = translators();
    QCoreApplication::removeTranslator(&t.own);
    QCoreApplication::removeTranslator(&t.qt);
    const bool english = language == UiLanguage::English;
    if (english && t.own.load(QStringLiteral(":/i18n/qorvane_en.qm")))
        QCoreApplication::installTranslator(&t.own);
    // Without Qt's translations installed its own texts stay English, which is still readable.
    const QString qtName = english ? QStringLiteral("qtbase_en") : QStringLiteral("qtbase_ja");
    if (t.qt.load(qtName, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&t.qt);
}
