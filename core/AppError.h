#pragma once

#include <QString>

// The one error type of the program: a classic run-time error number with its
// description. The platform layer throws it; the traps of the window catch it.
class AppError
{
public:
    enum Number {
        OutOfMemory = 7,
        BadFileName = 52,
        FileNotFound = 53,
        BadFileMode = 54,
        FileAlreadyOpen = 55,
        DeviceIo = 57,
        DiskFull = 61,
        InputPastEnd = 62,
        DeviceUnavailable = 68,
        PermissionDenied = 70,
        DiskNotReady = 71,
        PathFileAccess = 75,
        PathNotFound = 76,
        ClipboardUnavailable = 521,
    };

    explicit AppError(int number, QString detail = {});

    int number() const { return m_number; }
    QString description() const;
    // What went wrong in the system's own words (file name, reason), for logs.
    QString detail() const { return m_detail; }

    static QString descriptionOf(int number);

private:
    static const char* untranslatedDescription(int number);

    int m_number;
    QString m_detail;
};
