#pragma once

#include <QByteArrayView>

// The parser compares each attribute of a tag with every earlier one and walks its open elements for many
// tags, so a tag with a great many attributes or a page nested very deep costs it quadratic time. A page past
// these bounds is reported and left; no page a person writes comes near them.
struct ParserLoad
{
    static constexpr int MaxAttributes = 400; // in one tag
    static constexpr int MaxDepth = 400;      // elements open at once

    enum class Excess { None, Attributes, Depth };
    Excess excess = Excess::None;
    qsizetype line = 0; // where the tag that goes past the bound starts, from 1

    // Read in one pass, as a tokenizer reads tags; the depth counts only elements whose end tag a page must
    // write, so it may read deeper than the parser would build, never much shallower.
    static ParserLoad of(QByteArrayView page);
};
