#pragma once

#include "UiLanguage.h"

// Makes every text shown from now on speak the given language: the program's own
// English from its embedded translation, and Qt's texts (standard buttons, the
// folder dialog, the edit boxes' menus) from Qt's translations for that language.
// Japanese is the program's source text, so it needs nothing of its own.
void installTranslators(UiLanguage language);
