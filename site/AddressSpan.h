#pragma once

#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

// AttributeValue: any other attribute value (and an href that is not a link target); the
// parser decodes it once like text, so references there leave the page's DOM as it was.
enum class SpanKind { Text, MailtoHref, LinkHref, AttributeValue };

// One address in a page: where its source bytes lie and what they say.
struct AddressSpan
{
    qsizetype start = 0; // byte offsets in the page
    qsizetype end = 0;
    SpanKind kind = SpanKind::Text;
    QString text; // the meaning of the bytes: references decoded, page encoding undone
    bool referenced = false; // written with references already, hidden from a harvester that reads them as they stand
};

// What a plain regular-expression harvester would take for a mail address.
bool holdsPlainMailAddress(QStringView source);
// The addresses such a harvester finds in bytes, read one for one as characters: where each starts, and its text.
QList<QPair<qsizetype, QString>> harvestAddresses(QByteArrayView bytes);
// Whether it finds an address in bytes that reaches into [from, to).
bool plainMailAddressReaches(QByteArrayView bytes, qsizetype from, qsizetype to);
// True while a span's source still gives its address away to a harvester:
// a mail address in plain characters, or a link's host in plain characters.
bool looksUnprotected(SpanKind kind, QStringView source);
