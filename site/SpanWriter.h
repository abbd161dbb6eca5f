#pragma once

#include "AddressSpan.h"

#include <QString>
#include <functional>
#include <optional>

// One way of writing an address span anew. The rewrite picks a writer per span and never
// looks inside what it writes; each writer says whether its own source reads back.
class SpanWriter
{
public:
    virtual ~SpanWriter() = default;
    // The span's new source text; nothing when this writer cannot hide this address. A writer may
    // widen span to take in what it replaces. hidden sees the text in its place in the page.
    virtual std::optional<QString> write(AddressSpan& span, const std::function<bool(const QString&)>& hidden) = 0;
    // Whether source, put where span was, means exactly what span meant and hides it.
    virtual bool readsBack(const AddressSpan& span, const QString& source) const = 0;
};
