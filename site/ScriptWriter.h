#pragma once

#include "SpanWriter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <map>
#include <string>

class RandomSource;

// What the script writer needs to know of one page and of the run it belongs to.
struct ScriptPage
{
    QByteArray key;      // the run's key, which the site's script holds
    QString scriptSrc;   // as the page's script element names the script
    QString imageFolder; // what goes before an address image's name: "", "../", or a URL's folder
    QString label;       // names what stands for an address; empty: "mail address" in the page's language
    bool onInteraction = false;
};

// Writes an address so that only the site's script can join it: text becomes an element
// holding the address encrypted, with the address image as its content; a mailto: link's
// href becomes "#qm-" and the link encrypted. Nothing of the address stays in the source.
class ScriptWriter : public SpanWriter
{
public:
    ScriptWriter(ScriptPage page, const QByteArray& bytes, bool japaneseEncoding, RandomSource& random);

    // Whether this writer takes span: text outside <title>, SVG and MathML, and mailto: links.
    bool takes(const AddressSpan& span) const;
    std::optional<QString> write(AddressSpan& span, const std::function<bool(const QString&)>& hidden) override;
    bool readsBack(const AddressSpan& span, const QString& source) const override { return readsBack(span, source, m_page.key); }
    static bool readsBack(const AddressSpan& span, const QString& source, const QByteArray& key);

    // The element that loads the script, and where it goes: before </head>, or before the first span this writer wrote.
    QString scriptElement() const;
    qsizetype scriptPlace(const AddressSpan& firstWritten) const;
    // A page that already holds what this writer writes is left as it is.
    static bool rewrittenBefore(QByteArrayView bytes);
    // The address image's file name: the same for one address and key, and no spelling of the address.
    static QString imageName(const QByteArray& key, const QString& address);

    static QByteArray encrypt(const QByteArray& key, const QString& text, quint8 nonce);
    static std::optional<QString> decrypt(const QByteArray& key, QByteArrayView token);

private:
    bool inside(qsizetype at, const char* element) const;

    ScriptPage m_page;
    const QByteArray& m_bytes;
    QByteArray m_lower;
    std::map<std::string, QList<std::pair<qsizetype, qsizetype>>> m_ranges; // where title, svg, math and a open and close
    RandomSource& m_random;
};
