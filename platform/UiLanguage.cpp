#include "UiLanguage.h"

namespace {
UiLanguage g_current = UiLanguage::Japanese;
}

UiLanguage uiLanguageFor(const QStringList& preferred)
{
    // Only the first choice counts: a desktop that prefers English and lists Japanese second is an English one.
    if (!preferred.isEmpty() && (preferred.first() == u"ja" || preferred.first().startsWith(u"ja-")
                                 || preferred.first().startsWith(u"ja_")))
        return UiLanguage::Japanese;
    return UiLanguage::English;
}

UiLanguage currentUiLanguage()
{
    return g_current;
}

void setCurrentUiLanguage(UiLanguage language)
{
    g_current = language;
}
