#include "PageEncoding.h"

#include "ConversionRequest.h"

#include <QList>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <uchardet.h>

namespace {

// Converts between one encoding and UTF-8; bytes that cannot be converted are
// replaced (decoding) or reported (encoding) rather than stopping the whole page.
std::optional<QByteArray> iconvConvert(const char* to, const char* from, QByteArrayView in, bool replaceBad)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    bool ok = true;
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG || !replaceBad) {
            ok = false;
            break;
        }
        ++src;
        --srcLeft;
        for (char c : {'\xEF', '\xBF', '\xBD'}) {
            *dst++ = c;
            --dstLeft;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Some converters (windows-1258) hold the last character back until told the input ended.
    if (ok && iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1))
        ok = false;
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.truncate(out.size() - static_cast<qsizetype>(dstLeft));
    return out;
}

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

QByteArray detectName(const QByteArray& bytes)
{
    uchardet_t detector = uchardet_new();
    QByteArray name;
    if (uchardet_handle_data(detector, bytes.constData(), bytes.size()) == 0) {
        uchardet_data_end(detector);
        name = uchardet_get_charset(detector);
    }
    uchardet_delete(detector);
    return name;
}

} // namespace

std::optional<PageEncoding> PageEncoding::fromName(const QByteArray& rawName)
{
    const QByteArray name = rawName.trimmed().toLower();
    static const char* const utf8Names[] = {"utf-8", "utf8", "unicode-1-1-utf-8", "ascii", "us-ascii"};
    static const char* const sjisNames[] = {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j",
                                            "cp932", "ms932", "ms_kanji", "csshiftjis"};
    static const char* const eucNames[] = {"euc-jp", "eucjp", "x-euc-jp", "cseucpkdfmtjapanese"};
    for (const char* n : utf8Names)
        if (name == n)
            return utf8();
    for (const char* n : sjisNames)
        if (name == n)
            return PageEncoding(Family::ShiftJis, "CP932");
    for (const char* n : eucNames)
        if (name == n)
            return PageEncoding(Family::EucJp, "EUC-JP");
    // Browsers read a page declared Latin-1 as windows-1252.
    if (name == "iso-8859-1" || name == "latin1" || name == "l1")
        return PageEncoding(Family::SingleByte, "WINDOWS-1252");
    if (name.startsWith("iso-8859-") || name.startsWith("windows-125")) {
        const QByteArray iconvName = name.toUpper();
        iconv_t cd = iconv_open("UTF-8", iconvName.constData());
        if (cd == reinterpret_cast<iconv_t>(-1))
            return std::nullopt;
        iconv_close(cd);
        return PageEncoding(Family::SingleByte, iconvName);
    }
    return std::nullopt;
}

qsizetype PageEncoding::bomLength(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

std::optional<PageEncoding> PageEncoding::choose(const QByteArray& bytes, const QByteArray& declared, QString* unsupported)
{
    if (bomLength(bytes) > 0)
        return utf8();
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        *unsupported = QStringLiteral("UTF-16");
        return std::nullopt;
    }
    QByteArray name = declared;
    // A page cannot declare itself UTF-16 in its own bytes; browsers then read UTF-8.
    if (name.toLower().startsWith("utf-16"))
        name = "utf-8";
    if (name.isEmpty())
        name = isAscii(bytes) ? QByteArray("utf-8") : detectName(bytes);
    if (auto encoding = fromName(name))
        return encoding;
    *unsupported = QString::fromLatin1(name);
    return std::nullopt;
}

qsizetype PageEncoding::charLength(const char* p, qsizetype left) const
{
    const auto at = [p, left](qsizetype i) { return i < left ? static_cast<unsigned char>(p[i]) : 0u; };
    const auto in = [](unsigned byte, unsigned low, unsigned high) { return byte >= low && byte <= high; };
    const unsigned lead = at(0);
    switch (m_family) {
    case Family::Utf8: {
        const auto cont = [&](qsizetype i, unsigned low = 0x80, unsigned high = 0xBF) { return in(at(i), low, high); };
        if (in(lead, 0xC2, 0xDF) && cont(1))
            return 2;
        if (in(lead, 0xE0, 0xEF) && cont(1, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF) && cont(2))
            return 3;
        if (in(lead, 0xF0, 0xF4) && cont(1, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF) && cont(2) &&
            cont(3))
            return 4;
        return 1;
    }
    case Family::ShiftJis:
        if ((in(lead, 0x81, 0x9F) || in(lead, 0xE0, 0xFC)) && (in(at(1), 0x40, 0x7E) || in(at(1), 0x80, 0xFC)))
            return 2;
        return 1;
    case Family::EucJp:
        if (lead == 0x8E && in(at(1), 0xA1, 0xDF))
            return 2;
        if (lead == 0x8F && in(at(1), 0xA1, 0xFE) && in(at(2), 0xA1, 0xFE))
            return 3;
        if (in(lead, 0xA1, 0xFE) && in(at(1), 0xA1, 0xFE))
            return 2;
        return 1;
    case Family::SingleByte: return 1;
    }
    return 1;
}

QByteArray PageEncoding::asValidUtf8(const QByteArray& bytes) const
{
    static const char* const fillers[] = {"~", "\xC2\xA0", "\xE3\x80\x80", "\xF0\x9F\x80\x80"};
    QByteArray masked = bytes; // shares the bytes until the first change
    for (qsizetype pos = 0; pos < masked.size();) {
        const char* data = masked.constData();
        if (static_cast<unsigned char>(data[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const qsizetype length = charLength(data + pos, masked.size() - pos);
        if (m_family != Family::Utf8 || length == 1)
            std::memcpy(masked.data() + pos, fillers[length - 1], length);
        pos += length;
    }
    return masked;
}

QString PageEncoding::decode(QByteArrayView bytes) const
{
    if (m_family == Family::Utf8)
        return QString::fromUtf8(bytes);
    const auto utf8 = iconvConvert("UTF-8", m_name.constData(), bytes, true);
    return utf8 ? QString::fromUtf8(*utf8) : QString(bytes.size(), QChar::ReplacementCharacter);
}

QByteArray PageEncoding::encode(const QString& text) const
{
    if (m_family == Family::Utf8)
        return text.toUtf8();
    if (const auto whole = iconvConvert(m_name.constData(), "UTF-8", text.toUtf8(), false))
        return *whole;
    QByteArray result;
    for (qsizetype pos = 0; pos < text.size();) {
        const QString one = text.mid(pos, codePointLengthAt(text, pos));
        pos += one.size();
        if (const auto bytes = iconvConvert(m_name.constData(), "UTF-8", one.toUtf8(), false))
            result += *bytes;
        else
            result += "&#" + QByteArray::number(one.toUcs4().value(0, 0xFFFD)) + ';';
    }
    return result;
}
