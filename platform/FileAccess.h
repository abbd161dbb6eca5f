#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes. Every failure is thrown as an AppError whose number
// says why (53 no file, 76 no folder, 70 denied, 61 full, 57 other).
namespace FileAccess {

QByteArray read(const QString& path);
// Writes a temporary file beside the target, checks every write, the sync and the
// close, and only then renames it over the target: a failure leaves the old file
// whole. Where no file can be made or renamed in the folder, an existing file is
// overwritten in place, and put back as it was when that fails.
void writeAtomically(const QString& path, const QByteArray& bytes);
bool exists(const QString& path);
// Removes a file; false when it is still there.
bool remove(const QString& path);
// Creates one folder level; false when it could not (for example because it exists).
bool makeFolder(const QString& path);

} // namespace FileAccess
