#pragma once

#include <QStringList>

// The language of the window, its pages and its guide: Japanese on a Japanese
// desktop, English on every other.
enum class UiLanguage { Japanese, English };

// From the desktop's preferred languages, most preferred first (QLocale::uiLanguages()).
UiLanguage uiLanguageFor(const QStringList& preferred);

// The language this process shows. Set once at start-up; Japanese until then,
// which is what tests that build the widgets themselves see.
UiLanguage currentUiLanguage();
void setCurrentUiLanguage(UiLanguage language);
