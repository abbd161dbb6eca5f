#pragma once

#include <QString>

// Where Qorvane keeps its files. This is the one place that decides it; everything
// else asks for a folder here and adds the file's own name.
struct FileLocations
{
    QString settingsFolder; // mirelt.ini, add.dat
    QString pagesFolder;    // Preview.htm, preview_cd1.htm, preview_cd2.htm and the JSP folder
    QString guideFile;      // 操作ガイド.pdf

    // Everything in one folder, as a copy run from its own folder keeps it.
    static FileLocations portable(const QString& folder);
    // The locations of the running program.
    static FileLocations forThisProgram();
};
