#pragma once

#include "UiLanguage.h"

#include <QString>

// Where Qorvane keeps its files. This is the one place that decides it; everything
// else asks for a folder here and adds the file's own name.
struct FileLocations
{
    QString settingsFolder; // mirelt.ini, add.dat
    QString pagesFolder;    // Preview.htm, preview_cd1.htm, preview_cd2.htm and the JSP folder
    QString guideFile;      // 操作ガイド.pdf; the guide of every other language lies beside it

    static QString guideName(UiLanguage language);
    // The guide of a language, in the folder of guideFile.
    static QString guideFor(UiLanguage language, const QString& guideFile);

    // Everything in one folder, as a copy run from its own folder keeps it.
    static FileLocations portable(const QString& folder);
    // A program that only reads what is there (the site command) leaves missing folders missing.
    enum class Folders { Create, LeaveMissing };

    // A copy is installed when its program folder has the installed data folder
    // (../share/qorvane) beside it; then the user's own folders hold the user's
    // files, and are created here. Any other copy is portable.
    static FileLocations forProgramIn(const QString& programFolder, const QString& userConfigHome,
                                      const QString& userDataHome, Folders folders = Folders::Create);
    // The locations of the running program.
    static FileLocations forThisProgram(Folders folders = Folders::Create);
    // Where the old bytes of a file wait while it is overwritten in place, for any copy:
    // that way is taken only when the file's own folder refuses new files. Not created here.
    static QString userCacheFolder();
};
