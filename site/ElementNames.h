#pragma once

#include <initializer_list>
#include <string_view>

// What the HTML tree builder does with an element, by its lower-case name.
namespace ElementNames {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names);

// Elements whose tree building in HTML content moves, drops or reinterprets what follows: left to the full parser.
bool handedOver(std::string_view name);

// Start tags that end svg or math content in the tree builder, which then reads them by HTML rules.
bool breaksOutOfForeign(std::string_view name);

// Elements whose text the finder never takes, whatever their namespace.
bool rawTextParent(std::string_view name);

// In svg or math: elements whose content the tree builder reads by HTML rules, and those the tokenizer reads
// otherwise in HTML. Taken only while they hold nothing but text.
bool textOnlyInForeign(std::string_view name);

// Elements whose start tag the tree builder drops or merges when it comes again, or (the
// parts of a table) outside a table. Text in a table may move, but keeps its own offsets.
bool mayBeDropped(std::string_view name);

} // namespace ElementNames
