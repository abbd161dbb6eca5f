#include "SettingsFile.h"

#include "AppError.h"
#include "ConversionRequest.h"
#include "Cp932.h"
#include "FileAccess.h"
#include "ProfileFile.h"

#include <QRegularExpression>

namespace {

const QByteArray ScopeKeys[3] = {"RAND", "ALL", "@ONLY"};
const QByteArray EscapedFlag = "NCR";

// A character the file cannot hold, a line end, the escape's own "&", or a blank or
// quote at either end (the reader trims those and strips one pair of outer quotes).
bool mustEscape(char32_t code, const QString& one, bool atEnd)
{
    return code < 0x20 || code == '&' || (atEnd && QStringLiteral(" \t\"'").contains(one)) || !Cp932::encode(one);
}

QString reference(char32_t code)
{
    return QStringLiteral("&#") + QString::number(code) + QLatin1Char(';');
}

} // namespace

namespace SettingsFile {

QString path(const QString& programFolder)
{
    return programFolder + QStringLiteral("/mirelt.ini");
}

QByteArray encodeMail(const QString& text, bool* escaped)
{
    QString safe;
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QString one = codePointText(codes[i]);
        safe += mustEscape(codes[i], one, i == 0 || i == codes.size() - 1) ? reference(codes[i]) : one;
    }
    *escaped = safe != text;
    return *Cp932::encode(safe);
}

QString decodeMail(const QByteArray& stored, bool escaped)
{
    QString text = Cp932::decode(stored);
    if (!escaped)
        return text;
    static const QRegularExpression ref(QStringLiteral("&#([0-9]{1,7});"));
    QString result;
    qsizetype last = 0;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const char32_t code = match.captured(1).toUInt();
        result += QStringView(text).mid(last, match.capturedStart() - last);
        result += code <= 0x10FFFF ? codePointText(code) : match.captured();
        last = match.capturedEnd();
    }
    return result + text.mid(last);
}

StoredSettings load(const QString& filePath)
{
    QByteArray bytes;
    try {
        bytes = FileAccess::read(filePath);
    } catch (const AppError&) {
        // Like the profile functions: a file that cannot be read yields the defaults.
    }
    const ProfileFile file(bytes);
    StoredSettings s;
    s.top = file.readInt("Top", "Top", 0);
    s.left = file.readInt("Left", "Left", 0);
    s.version = file.readInt("INI_VER", "INI_VER", 0);
    s.lineBreak = file.readInt("OPTION", "RET", 0);
    s.atAlways = file.readInt("OPTION", "@ENT", 0);
    s.dotAlways = file.readInt("OPTION", "DOT", 0);
    s.decimal = file.readInt("ENT_OUT_OP", "10", 0);
    s.hex = file.readInt("ENT_OUT_OP", "16_1", 0);
    s.percent = file.readInt("ENT_OUT_OP", "16_2", 0);
    // Only the length is tested: four bytes read as "True".
    for (int i = 0; i < 3; ++i)
        s.scopeTrue[i] = file.readString("ENT_OP", ScopeKeys[i], "").size() == 4;
    const bool escaped = file.readString("Mail", "MailEnc", "") == EscapedFlag;
    QByteArray mail = file.readString("Mail", "Mail", "");
    // The classic reader hands over the text before the first NUL.
    if (const qsizetype nul = mail.indexOf('\0'); nul >= 0)
        mail.truncate(nul);
    s.mail = decodeMail(mail, escaped);
    return s;
}

void save(const QString& filePath, const StoredSettings& s)
{
    QByteArray bytes;
    if (FileAccess::exists(filePath))
        bytes = FileAccess::read(filePath);
    ProfileFile file(bytes);
    bool escaped = false;
    const QByteArray mail = encodeMail(s.mail, &escaped);
    file.write("Top", "Top", QByteArray::number(s.top));
    file.write("Left", "Left", QByteArray::number(s.left));
    file.write("Mail", "Mail", mail);
    if (escaped || file.value("Mail", "MailEnc"))
        file.write("Mail", "MailEnc", escaped ? EscapedFlag : QByteArray());
    file.write("INI_VER", "INI_VER", "1");
    file.write("OPTION", "RET", QByteArray::number(s.lineBreak));
    file.write("OPTION", "@ENT", QByteArray::number(s.atAlways));
    file.write("OPTION", "DOT", QByteArray::number(s.dotAlways));
    file.write("ENT_OUT_OP", "10", QByteArray::number(s.decimal));
    file.write("ENT_OUT_OP", "16_1", QByteArray::number(s.hex));
    file.write("ENT_OUT_OP", "16_2", QByteArray::number(s.percent));
    for (int i = 0; i < 3; ++i)
        file.write("ENT_OP", ScopeKeys[i], s.scopeTrue[i] ? "True" : "False");
    FileAccess::writeAtomically(filePath, file.content());
}

} // namespace SettingsFile
