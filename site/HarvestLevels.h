#pragma once

#include <QString>
#include <optional>

// How far a harvester goes to read an address: the page's bytes as they stand, the text an HTML parser and a
// URL parser make of them, or also the spellings people write to put robots off ("name [at] example [dot] jp").
enum class ReadLevel { Raw, Decoded, Spelled };

namespace HarvestLevels {

QString name(ReadLevel level);
std::optional<ReadLevel> fromName(const QString& name);
// A link as a URL parser reads it: tabs and line breaks dropped, escapes decoded.
QString linkAsRead(const QString& href);
// text with the spellings an extractor undoes written as "@" and ".".
QString spellingsUndone(const QString& text);

} // namespace HarvestLevels
