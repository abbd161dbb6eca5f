#pragma once

#include "AddressScanner.h"

#include <QByteArrayView>
#include <QList>
#include <string_view>

// Where text that the tokenizer reads as it stands comes to its end.
namespace RawTextEnd {

// Whether the end tag of the element named name (lower case), in any case, starts at at.
bool endTagAt(QByteArrayView page, qsizetype at, std::string_view name);
// Where the end tag of the element named name (lower case) starts, from the start of its text; -1 when there is none.
qsizetype of(QByteArrayView page, qsizetype from, std::string_view name);
// Where a script's own end tag starts, from the start of its text; -1 when there is none. Text after "<!--" is
// escaped, and a "<script>" in it escapes it twice, hiding end tags until its own "</script>" or a "-->".
qsizetype ofScript(QByteArrayView page, qsizetype from);
// What a browser that runs scripts reads as text in place of markup: from the end of each noscript start tag
// (in any order) up to the element's own end tag, or the page's end. Sorted and disjoint.
QList<PageLayout::Range> noscriptText(QByteArrayView page, QList<qsizetype> tagEnds);

} // namespace RawTextEnd
