#include "FileLocations.h"

#include <QCoreApplication>

FileLocations FileLocations::portable(const QString& folder)
{
    return {folder, folder, folder + QStringLiteral("/操作ガイド.pdf")};
}

FileLocations FileLocations::forThisProgram()
{
    return portable(QCoreApplication::applicationDirPath());
}
