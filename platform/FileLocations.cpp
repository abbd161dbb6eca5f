#include "FileLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString GuideName = QStringLiteral("操作ガイド.pdf");
}

QString FileLocations::guideName(UiLanguage language)
{
    return language == UiLanguage::Japanese ? GuideName : QStringLiteral("operating-guide.pdf");
}

QString FileLocations::guideFor(UiLanguage language, const QString& guideFile)
{
    return QFileInfo(guideFile).dir().filePath(guideName(language));
}

FileLocations FileLocations::portable(const QString& folder)
{
    return {folder, folder, folder + QLatin1Char('/') + GuideName};
}

FileLocations FileLocations::forProgramIn(const QString& programFolder, const QString& userConfigHome,
                                          const QString& userDataHome, Folders folders)
{
    const QString installedData = QDir::cleanPath(programFolder + QStringLiteral("/" QORVANE_DATA_FROM_BIN));
    if (!QFileInfo(installedData).isDir())
        return portable(programFolder);
    const FileLocations installed{userConfigHome + QStringLiteral("/qorvane"),
                                  userDataHome + QStringLiteral("/qorvane"),
                                  installedData + QLatin1Char('/') + GuideName};
    if (folders == Folders::LeaveMissing)
        return installed;
    // A failure shows later, as the message of the first write into the folder.
    QDir().mkpath(installed.settingsFolder);
    QDir().mkpath(installed.pagesFolder);
    return installed;
}

FileLocations FileLocations::forThisProgram(Folders folders)
{
    return forProgramIn(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), folders);
}

QString FileLocations::userCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/qorvane");
}
