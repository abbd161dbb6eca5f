#include "ElementNames.h"

#include <algorithm>

namespace ElementNames {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool handedOver(std::string_view name)
{
    return oneOf(name, {"select", "template", "noscript", "plaintext", "frameset", "frame", "image", "isindex"});
}

bool breaksOutOfForeign(std::string_view name)
{
    return oneOf(name, {"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt", "em", "embed",
                        "font", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li", "listing", "menu",
                        "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span", "strong", "strike", "sub", "sup",
                        "table", "tt", "u", "ul", "var"});
}

bool rawTextParent(std::string_view name)
{
    return oneOf(name, {"script", "style", "textarea", "xmp", "iframe", "noembed", "noframes", "plaintext"});
}

bool textOnlyInForeign(std::string_view name)
{
    return rawTextParent(name) ||
           oneOf(name, {"title", "desc", "foreignobject", "mi", "mo", "mn", "ms", "mtext", "annotation-xml"});
}

bool mayBeDropped(std::string_view name)
{
    return oneOf(name, {"html", "head", "body", "form", "caption", "colgroup", "col", "tbody", "thead", "tfoot", "tr",
                        "td", "th"});
}

} // namespace ElementNames
