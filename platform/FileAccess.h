#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Whole-file reads and writes. Every failure is thrown as an AppError whose number
// says why (53 no file, 76 no folder, 70 denied, 61 full, 57 other).
namespace FileAccess {

QByteArray read(const QString& path);
// Writes a temporary file beside the target, checks every write, the sync and the
// close, and only then renames it over the target: a failure leaves the old file
// whole. Where no file can be made or renamed in the folder, an existing file is
// overwritten in place, its old bytes kept in the user's cache folder until the new
// ones are synced; a write cut short there is undone by the next read or write of
// the file. (Pages of a site never take this way: see PageFile.)
void writeAtomically(const QString& path, const QByteArray& bytes);
// The number for the system's error number (errno) met at path.
int errorNumber(int error, const QString& path);
// Test hook: called at each step of a write in place, so a test can end the process there.
enum class Step { BackupKept, HalfWritten, Written };
void setStepHookForTest(std::function<void(Step)> hook);
bool exists(const QString& path);
// Removes a file; false when it is still there.
bool remove(const QString& path);
// Creates one folder level; false when it could not (for example because it exists).
bool makeFolder(const QString& path);

} // namespace FileAccess
