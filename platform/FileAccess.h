#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes in the program folder. Every failure is thrown as
// an AppError whose number says why (53 no file, 76 no folder, 70 denied, 61 full, 57 other).
namespace FileAccess {

QByteArray read(const QString& path);
// Writes through a temporary file renamed over the target: a failed write leaves the old file.
void writeAtomically(const QString& path, const QByteArray& bytes);
void append(const QString& path, const QByteArray& bytes);
bool exists(const QString& path);
// Creates one folder level; false when it could not (for example because it exists).
bool makeFolder(const QString& path);

} // namespace FileAccess
