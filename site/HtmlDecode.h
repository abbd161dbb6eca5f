#pragma once

#include <QString>

// Decoding of character references exactly as a browser does, through the same tokenizer.
namespace HtmlDecode {

QString text(const QString& source);
QString attributeValue(const QString& source);
// Two href values lead to the same place: line ends and tabs dropped, and escapes of
// characters with no meaning in a URL undone, on both.
bool sameHref(const QString& a, const QString& b);

} // namespace HtmlDecode
