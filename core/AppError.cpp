#include "AppError.h"

AppError::AppError(int number, QString detail) : m_number(number), m_detail(std::move(detail)) {}

QString AppError::description() const
{
    return descriptionOf(m_number);
}

QString AppError::descriptionOf(int number)
{
    switch (number) {
    case OutOfMemory: return QStringLiteral("メモリが不足しています。");
    case BadFileName: return QStringLiteral("ファイル名または番号が不正です。");
    case FileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case BadFileMode: return QStringLiteral("ファイル モードが不正です。");
    case FileAlreadyOpen: return QStringLiteral("ファイルは既に開かれています。");
    case DeviceIo: return QStringLiteral("デバイス I/O エラーです。");
    case DiskFull: return QStringLiteral("ディスクの空き容量が不足しています。");
    case InputPastEnd: return QStringLiteral("ファイルにこれ以上データがありません。");
    case DeviceUnavailable: return QStringLiteral("デバイスが準備されていません。");
    case PermissionDenied: return QStringLiteral("書き込みできません。");
    case DiskNotReady: return QStringLiteral("ディスクが準備されていません。");
    case PathFileAccess: return QStringLiteral("パス名が無効です。");
    case PathNotFound: return QStringLiteral("パスが見つかりません。");
    case ClipboardUnavailable: return QStringLiteral("クリップボードを開けません。");
    default: return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}
