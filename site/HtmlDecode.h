#pragma once

#include <QString>
#include <optional>

// Decoding of character references exactly as a browser does, through the same tokenizer.
namespace HtmlDecode {

QString text(const QString& source);
QString attributeValue(const QString& source);
// The same as text and as attributeValue for what the engine writes (printable ASCII but quotes, and numeric
// references to it), without a parse; nothing for any other source.
std::optional<QString> plainText(QStringView source);
// text and attributeValue, parsing only what plainText cannot read.
QString readText(const QString& source);
QString readValue(const QString& source);
// Two href values (character references already read) mean the same link, read part by part and escape
// by escape as a browser reads them; prefix is the scheme the page writes before both.
bool sameHref(const QString& prefix, const QString& a, const QString& b, bool pageIsUtf8);

} // namespace HtmlDecode
