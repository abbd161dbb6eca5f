#include "Cp932.h"

#include "ConversionRequest.h"

#include <QList>
#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor per direction, opened on first use.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }
    // Converts as much as it can; returns false at an invalid or unconvertible sequence.
    bool run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        return iconv(m_cd, const_cast<char**>(&in), &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
    }

private:
    iconv_t m_cd;
};

} // namespace

namespace Cp932 {

QString decode(const QByteArray& bytes);

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<QByteArray> encode(const QString& text)
{
    static Converter converter("CP932", "UTF-8");
    if (!converter.valid())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    QByteArray result(utf8.size() * 2 + 4, '\0');
    const char* in = utf8.constData();
    size_t inLeft = utf8.size();
    char* out = result.data();
    size_t outLeft = result.size();
    converter.reset();
    if (!converter.run(in, inLeft, out, outLeft))
        return std::nullopt;
    result.truncate(result.size() - static_cast<qsizetype>(outLeft));
    // The converter maps some characters to look-alikes ("¥" to the backslash byte), and
    // a lone surrogate was already replaced on its way into UTF-8: only a form that
    // reads back as the same text counts.
    if (decode(result) != text)
        return std::nullopt;
    return result;
}

QByteArray encodeWithReferences(const QString& text)
{
    if (auto whole = encode(text))
        return *whole;
    QByteArray result;
    for (qsizetype pos = 0; pos < text.size();) {
        const QString one = text.mid(pos, codePointLengthAt(text, pos));
        pos += one.size();
        if (auto bytes = encode(one))
            result += *bytes;
        else
            result += "&#" + QByteArray::number(one.toUcs4().value(0, 0xFFFD)) + ';';
    }
    return result;
}

QString decode(const QByteArray& bytes)
{
    static Converter converter("UTF-8", "CP932");
    QByteArray utf8(bytes.size() * 3 + 4, '\0');
    const char* in = bytes.constData();
    size_t inLeft = bytes.size();
    char* out = utf8.data();
    size_t outLeft = utf8.size();
    converter.reset();
    while (inLeft > 0 && converter.valid()) {
        if (converter.run(in, inLeft, out, outLeft))
            break;
        if (errno == E2BIG)
            break; // cannot happen: three output bytes per input byte always suffice
        // Skip one bad byte and mark it, so a broken file still loads all it can.
        ++in;
        --inLeft;
        const char replacement[] = "\xEF\xBF\xBD";
        for (char c : {replacement[0], replacement[1], replacement[2]}) {
            *out++ = c;
            --outLeft;
        }
        converter.reset();
    }
    utf8.truncate(utf8.size() - static_cast<qsizetype>(outLeft));
    return QString::fromUtf8(utf8);
}

} // namespace Cp932
