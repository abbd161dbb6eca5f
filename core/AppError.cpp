#include "AppError.h"

#include <QCoreApplication>

AppError::AppError(int number, QString detail) : m_number(number), m_detail(std::move(detail)) {}

QString AppError::description() const
{
    return descriptionOf(m_number);
}

QString AppError::descriptionOf(int number)
{
    return QCoreApplication::translate("AppError", untranslatedDescription(number));
}

const char* AppError::untranslatedDescription(int number)
{
    switch (number) {
    case OutOfMemory: return QT_TRANSLATE_NOOP("AppError", "メモリが不足しています。");
    case BadFileName: return QT_TRANSLATE_NOOP("AppError", "ファイル名または番号が不正です。");
    case FileNotFound: return QT_TRANSLATE_NOOP("AppError", "ファイルが見つかりません。");
    case BadFileMode: return QT_TRANSLATE_NOOP("AppError", "ファイル モードが不正です。");
    case FileAlreadyOpen: return QT_TRANSLATE_NOOP("AppError", "ファイルは既に開かれています。");
    case DeviceIo: return QT_TRANSLATE_NOOP("AppError", "デバイス I/O エラーです。");
    case DiskFull: return QT_TRANSLATE_NOOP("AppError", "ディスクの空き容量が不足しています。");
    case InputPastEnd: return QT_TRANSLATE_NOOP("AppError", "ファイルにこれ以上データがありません。");
    case DeviceUnavailable: return QT_TRANSLATE_NOOP("AppError", "デバイスが準備されていません。");
    case PermissionDenied: return QT_TRANSLATE_NOOP("AppError", "書き込みできません。");
    case DiskNotReady: return QT_TRANSLATE_NOOP("AppError", "ディスクが準備されていません。");
    case PathFileAccess: return QT_TRANSLATE_NOOP("AppError", "パス名が無効です。");
    case PathNotFound: return QT_TRANSLATE_NOOP("AppError", "パスが見つかりません。");
    case ClipboardUnavailable: return QT_TRANSLATE_NOOP("AppError", "クリップボードを開けません。");
    default: return QT_TRANSLATE_NOOP("AppError", "アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}
