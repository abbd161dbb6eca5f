#pragma once

#include <QString>
#include <optional>

// Decoding of character references exactly as a browser does, through the same tokenizer.
namespace HtmlDecode {

QString text(const QString& source);
// The same as text for what the engine writes in text (printable ASCII and numeric references to it), without
// a parse; nothing for any other source, which text decodes.
std::optional<QString> plainText(QStringView source);
QString attributeValue(const QString& source);
// Two href values (character references already read) mean the same link, read part by part and escape
// by escape as a browser reads them; prefix is the scheme the page writes before both.
bool sameHref(const QString& prefix, const QString& a, const QString& b, bool pageIsUtf8);

} // namespace HtmlDecode
