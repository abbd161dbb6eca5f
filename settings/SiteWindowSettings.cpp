#include "SiteWindowSettings.h"

#include "AppError.h"
#include "FileAccess.h"
#include "ProfileFile.h"

namespace {

const QByteArray Section = "SITE";

} // namespace

SiteWindowSettings SiteWindowSettings::load(const QString& settingsPath)
{
    QByteArray bytes;
    try {
        bytes = FileAccess::read(settingsPath);
    } catch (const AppError&) {
        return {};
    }
    const ProfileFile file(bytes);
    SiteWindowSettings s;
    s.links = file.readInt(Section, "LINKS", 0) == 1;
    const int method = file.readInt(Section, "METHOD", 0);
    s.method = method >= 0 && method <= 2 ? method : 0;
    return s;
}

void SiteWindowSettings::save(const QString& settingsPath) const
{
    QByteArray bytes;
    if (FileAccess::exists(settingsPath))
        bytes = FileAccess::read(settingsPath);
    ProfileFile file(bytes);
    file.write(Section, "LINKS", links ? "1" : "0");
    file.write(Section, "METHOD", QByteArray::number(method));
    FileAccess::writeAtomically(settingsPath, file.content());
}
