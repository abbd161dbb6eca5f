#include "ElementNames.h"

#include <initializer_list>
#include <unordered_map>

namespace ElementNames {

namespace {

std::unordered_map<std::string_view, unsigned> makeTable()
{
    std::unordered_map<std::string_view, unsigned> table;
    const auto add = [&table](unsigned flag, std::initializer_list<std::string_view> names) {
        for (std::string_view name : names)
            table[name] |= flag;
    };
    add(HandedOver, {"template", "plaintext", "frameset", "frame", "image", "isindex"});
    add(MayBeDropped, {"html", "head", "body", "form", "caption", "colgroup", "col", "tbody", "thead", "tfoot", "tr",
                       "td", "th"});
    add(BreaksOutOfForeign, {"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt", "em",
                             "embed", "font", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li",
                             "listing", "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span",
                             "strong", "strike", "sub", "sup", "table", "tt", "u", "ul", "var"});
    add(RawTextParent | TextOnlyInForeign,
        {"script", "style", "textarea", "xmp", "iframe", "noembed", "noframes", "plaintext"});
    add(TextOnlyInForeign, {"title", "desc", "foreignobject", "mi", "mo", "mn", "ms", "mtext", "annotation-xml"});
    add(EndsSelect, {"select", "input", "keygen", "textarea", "template", "html", "caption", "table", "tbody",
                     "tfoot", "thead", "tr", "td", "th"});
    add(RawText, {"script", "style", "xmp", "iframe", "noembed", "noframes", "title", "textarea"});
    return table;
}

} // namespace

unsigned flagsOf(std::string_view name)
{
    static const std::unordered_map<std::string_view, unsigned> table = makeTable();
    const auto found = table.find(name);
    return found == table.end() ? 0 : found->second;
}

} // namespace ElementNames
