#pragma once

#include <QString>
#include <array>

// The settings as they stand in mirelt.ini. Check boxes hold 0 or 1; scopeTrue
// says, for the keys RAND, ALL and @ONLY in this order, which reads as "True".
struct StoredSettings
{
    int top = 0;  // twips
    int left = 0; // twips
    int version = 0;
    int lineBreak = 0;
    int atAlways = 0;
    int dotAlways = 0;
    int decimal = 0;
    int hex = 0;
    int percent = 0;
    std::array<bool, 3> scopeTrue{};
    QString mail;
};

// mod_INI_Read and mod_INI_Write: the settings file of the program folder.
namespace SettingsFile {

QString path(const QString& programFolder);
// A missing or unreadable file reads as all defaults, as the profile functions do.
StoredSettings load(const QString& path);
// All keys are written in one go through a temporary file; throws AppError on failure.
void save(const QString& path, const StoredSettings& settings);

// The input text as it goes into "Mail", and back. A text that code page 932 or a
// profile line cannot hold whole is written with numeric character references and
// flagged by "MailEnc", so it comes back exactly.
QByteArray encodeMail(const QString& text, bool* escaped);
QString decodeMail(const QByteArray& stored, bool escaped);

} // namespace SettingsFile
