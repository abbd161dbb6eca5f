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


struct KnownEncoding
{
    const char* iconvName;
    PageEncoding::Family family;
    const char* labels; // the labels browsers accept for it (and the detector's name for it), space-separated
};

// The encodings browsers know, by the labels they accept. "replacement" and x-user-defined
// are left out: a browser shows no text for the first, and iconv knows neither.
const KnownEncoding Known[] = {
    {"UTF-8", PageEncoding::Family::Utf8, "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
    {"UTF-16LE", PageEncoding::Family::Utf16Le,
     "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
    {"UTF-16BE", PageEncoding::Family::Utf16Be, "unicodefffe utf-16be"},
    {"CP932", PageEncoding::Family::ShiftJis,
     "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis cp932"},
    {"EUC-JP", PageEncoding::Family::EucJp, "cseucpkdfmtjapanese euc-jp x-euc-jp eucjp"},
    {"ISO-2022-JP", PageEncoding::Family::Iso2022Jp, "csiso2022jp iso-2022-jp"},
    {"CP949", PageEncoding::Family::EucKr,
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 ksc_5601 windows-949"},
    {"BIG5-HKSCS", PageEncoding::Family::Big5, "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {"GB18030", PageEncoding::Family::Gb18030,
     "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk gb18030"},
    {"IBM866", PageEncoding::Family::SingleByte, "866 cp866 csibm866 ibm866"},
    {"ISO-8859-2", PageEncoding::Family::SingleByte,
     "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {"ISO-8859-3", PageEncoding::Family::SingleByte,
     "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {"ISO-8859-4", PageEncoding::Family::SingleByte,
     "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {"ISO-8859-5", PageEncoding::Family::SingleByte,
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 iso_8859-5:1988"},
    {"ISO-8859-6", PageEncoding::Family::SingleByte,
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e iso-8859-6-i "
     "iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {"ISO-8859-7", PageEncoding::Family::SingleByte,
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 iso_8859-7 "
     "iso_8859-7:1987 sun_eu_greek"},
    {"ISO-8859-8", PageEncoding::Family::SingleByte,
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 iso_8859-8 "
     "iso_8859-8:1988 visual csiso88598i iso-8859-8-i logical"},
    {"ISO-8859-10", PageEncoding::Family::SingleByte,
     "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {"ISO-8859-13", PageEncoding::Family::SingleByte, "iso-8859-13 iso8859-13 iso885913"},
    {"ISO-8859-14", PageEncoding::Family::SingleByte, "iso-8859-14 iso8859-14 iso885914"},
    {"ISO-8859-15", PageEncoding::Family::SingleByte, "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {"ISO-8859-16", PageEncoding::Family::SingleByte, "iso-8859-16"},
    {"KOI8-R", PageEncoding::Family::SingleByte, "cskoi8r koi koi8 koi8-r koi8_r"},
    {"KOI8-U", PageEncoding::Family::SingleByte, "koi8-ru koi8-u"},
    {"MACINTOSH", PageEncoding::Family::SingleByte, "csmacintosh mac macintosh x-mac-roman"},
    {"MAC-CYRILLIC", PageEncoding::Family::SingleByte, "x-mac-cyrillic x-mac-ukrainian mac-cyrillic"},
    {"CP874", PageEncoding::Family::SingleByte, "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {"WINDOWS-1250", PageEncoding::Family::SingleByte, "cp1250 windows-1250 x-cp1250"},
    {"WINDOWS-1251", PageEncoding::Family::SingleByte, "cp1251 windows-1251 x-cp1251"},
    // Browsers read a page labelled Latin-1 or ASCII as windows-1252.
    {"WINDOWS-1252", PageEncoding::Family::SingleByte,
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 iso88591 iso_8859-1 "
     "iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {"WINDOWS-1253", PageEncoding::Family::SingleByte, "cp1253 windows-1253 x-cp1253"},
    {"WINDOWS-1254", PageEncoding::Family::SingleByte,
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 latin5 "
     "windows-1254 x-cp1254"},
    {"WINDOWS-1255", PageEncoding::Family::SingleByte, "cp1255 windows-1255 x-cp1255"},
    {"WINDOWS-1256", PageEncoding::Family::SingleByte, "cp1256 windows-1256 x-cp1256"},
    {"WINDOWS-1257", PageEncoding::Family::SingleByte, "cp1257 windows-1257 x-cp1257"},
    {"WINDOWS-1258", PageEncoding::Family::SingleByte, "cp1258 windows-1258 x-cp1258"},
};

} // namespace

std::optional<PageEncoding> PageEncoding::fromName(const QByteArray& rawName)
{
    const QByteArray name = rawName.trimmed().toLower();
    if (name.isEmpty())
        return std::nullopt;
    for (const KnownEncoding& known : Known)
        if (QByteArray(known.labels).split(' ').contains(name))
            return PageEncoding(known.family, known.iconvName);
    return std::nullopt;
}

qsizetype PageEncoding::bomLength(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

std::optional<PageEncoding> PageEncoding::byByteOrderMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return utf8();
    if (bytes.startsWith("\xFF\xFE"))
        return fromName("utf-16le");
    if (bytes.startsWith("\xFE\xFF"))
        return fromName("utf-16be");
    return std::nullopt;
}

namespace {

// An "@" or "<" stored as two bytes, one of them NUL.
bool looksWideWithoutMark(const QByteArray& bytes)
{
    for (const char* pair : {"@\0", "\0@", "<\0", "\0<"})
        if (bytes.contains(QByteArrayView(pair, 2)))
            return true;
    return false;
}

// Labels a browser knows but reads no text through: the page is shown as it is.
bool showsNoText(const QByteArray& name)
{
    return QByteArray("csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement x-user-defined")
        .split(' ')
        .contains(name.trimmed().toLower());
}

} // namespace

bool PageEncoding::isLabel(const QByteArray& name)
{
    return fromName(name) || showsNoText(name);
}

std::optional<PageEncoding> PageEncoding::choose(const QByteArray& bytes, const QByteArray& declared, QString* unsupported)
{
    if (auto encoding = byByteOrderMark(bytes))
        return encoding;
    // A browser would read it as bytes with NULs between them; no guess, but no silence either.
    if (looksWideWithoutMark(bytes)) {
        *unsupported = QStringLiteral("UTF-16 without a byte-order mark");
        return std::nullopt;
    }
    if (showsNoText(declared)) {
        *unsupported = QString::fromLatin1(declared.trimmed());
        return std::nullopt;
    }
    // A page cannot declare itself UTF-16 in its own bytes; browsers then read UTF-8.
    if (auto encoding = fromName(declared))
        return encoding->wide() ? utf8() : encoding;
    const QByteArray detected = isAscii(bytes) ? QByteArray("utf-8") : detectName(bytes);
    // Detection only guesses at UTF-16 without a byte-order mark; no browser reads a page so.
    if (auto encoding = fromName(detected); encoding && !encoding->wide())
        return encoding;
    *unsupported = QString::fromLatin1(declared.isEmpty() ? detected : declared.trimmed());
    return std::nullopt;
}

namespace {

// The length of the well-formed UTF-8 character at p, or 0 when its bytes form none.
inline qsizetype utf8Length(const char* p, qsizetype left)
{
    const auto at = [p, left](qsizetype i) { return i < left ? static_cast<unsigned char>(p[i]) : 0u; };
    const auto in = [](unsigned byte, unsigned low, unsigned high) { return byte >= low && byte <= high; };
    const unsigned lead = at(0);
    if (lead < 0x80)
        return 1;
    if (in(lead, 0xC2, 0xDF))
        return in(at(1), 0x80, 0xBF) ? 2 : 0;
    if (in(lead, 0xE0, 0xEF))
        return in(at(1), lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF) && in(at(2), 0x80, 0xBF) ? 3 : 0;
    if (in(lead, 0xF0, 0xF4))
        return in(at(1), lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF) && in(at(2), 0x80, 0xBF) &&
                       in(at(3), 0x80, 0xBF)
                   ? 4
                   : 0;
    return 0;
}

// Most of a page is ASCII: it is passed over eight bytes at a time.
qsizetype firstNonAscii(const char* data, qsizetype pos, qsizetype size)
{
    for (quint64 word = 0; pos + 8 <= size; pos += 8) {
        std::memcpy(&word, data + pos, sizeof word);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (pos < size && static_cast<unsigned char>(data[pos]) < 0x80)
        ++pos;
    return pos;
}

// Where the first byte that starts no well-formed UTF-8 character lies; size when there is none.
qsizetype firstMalformedUtf8(const char* data, qsizetype size)
{
    for (qsizetype pos = firstNonAscii(data, 0, size); pos < size; pos = firstNonAscii(data, pos, size)) {
        const qsizetype length = utf8Length(data + pos, size - pos);
        if (length == 0)
            return pos;
        pos += length;
    }
    return size;
}

} // namespace

qsizetype PageEncoding::charLength(const char* p, qsizetype left) const
{
    const auto at = [p, left](qsizetype i) { return i < left ? static_cast<unsigned char>(p[i]) : 0u; };
    const auto in = [](unsigned byte, unsigned low, unsigned high) { return byte >= low && byte <= high; };
    const unsigned lead = at(0);
    // Where the trail ranges are wider than the characters defined, a pair is taken as one
    // character: an ASCII byte is then never mistaken for the text around it.
    switch (m_family) {
    case Family::Utf8: return std::max<qsizetype>(1, utf8Length(p, left));
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
    case Family::EucKr: return in(lead, 0x81, 0xFE) && in(at(1), 0x41, 0xFE) ? 2 : 1;
    case Family::Big5: return in(lead, 0x81, 0xFE) && (in(at(1), 0x40, 0x7E) || in(at(1), 0xA1, 0xFE)) ? 2 : 1;
    case Family::Gb18030:
        if (in(lead, 0x81, 0xFE) && in(at(1), 0x30, 0x39) && in(at(2), 0x81, 0xFE) && in(at(3), 0x30, 0x39))
            return 4;
        return in(lead, 0x81, 0xFE) && (in(at(1), 0x40, 0x7E) || in(at(1), 0x80, 0xFE)) ? 2 : 1;
    case Family::Iso2022Jp:
    case Family::Utf16Le:
    case Family::Utf16Be:
    case Family::SingleByte: return 1;
    }
    return 1;
}

namespace {

const char* const Fillers[] = {"~", "\xC2\xA0", "\xE3\x80\x80", "\xF0\x9F\x80\x80"};

// ISO-2022-JP switches between ASCII and double-byte text with escape sequences, all in
// ASCII bytes: the sequences and the double-byte text are what the tokenizer must not read.
QByteArray maskIso2022Jp(const QByteArray& bytes)
{
    QByteArray masked = bytes;
    bool doubleByte = false;
    bool katakana = false;
    for (qsizetype pos = 0; pos < masked.size();) {
        const QByteArrayView rest = QByteArrayView(bytes).sliced(pos);
        if (rest.startsWith("\x1B$@") || rest.startsWith("\x1B$B") || rest.startsWith("\x1B(B") ||
            rest.startsWith("\x1B(J") || rest.startsWith("\x1B(I")) {
            doubleByte = rest[1] == '$';
            katakana = rest[2] == 'I';
            std::memcpy(masked.data() + pos, Fillers[2], 3);
            pos += 3;
        } else if (doubleByte && pos + 1 < masked.size() && rest[0] >= 0x21 && rest[0] <= 0x7E && rest[1] >= 0x21 &&
                   rest[1] <= 0x7E) {
            std::memcpy(masked.data() + pos, Fillers[1], 2);
            pos += 2;
        } else {
            if (doubleByte || katakana || static_cast<unsigned char>(rest[0]) >= 0x80 || rest[0] == '\x1B')
                masked[pos] = Fillers[0][0];
            ++pos;
        }
    }
    return masked;
}

} // namespace

QByteArray PageEncoding::asValidUtf8(const QByteArray& bytes) const
{
    if (m_family == Family::Iso2022Jp)
        return maskIso2022Jp(bytes);
    QByteArray masked = bytes; // shares the bytes until the first change
    const qsizetype size = bytes.size();
    qsizetype pos = m_family == Family::Utf8 ? firstMalformedUtf8(bytes.constData(), size)
                                             : firstNonAscii(bytes.constData(), 0, size);
    while (pos < size) {
        const qsizetype length = charLength(masked.constData() + pos, size - pos);
        if (m_family != Family::Utf8 || length == 1)
            std::memcpy(masked.data() + pos, Fillers[length - 1], length);
        pos = firstNonAscii(masked.constData(), pos + length, size);
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
