#pragma once

#include "AddressSpan.h"
#include "ConversionRequest.h"
#include "EngineView.h"
#include "SpanWriter.h"

#include <functional>
#include <optional>

class RandomSource;

// Writes one address span anew with the conversion engine: references only in
// text; in an href the whole link at once, each character in a form that keeps
// what the browser shows and where the link leads.
class SpanConverter : public SpanWriter
{
public:
    // pageIsUtf8: a browser sends a web address's query in the page's own encoding.
    SpanConverter(const ConversionSettings& settings, RandomSource& random, bool pageIsUtf8 = true);

    // The span's new source text; nothing when the options cannot hide this address.
    // hidden also has to accept it: it sees the text in its place in the page.
    std::optional<QString> convert(const AddressSpan& span, const std::function<bool(const QString&)>& hidden);
    // Whether source, put where span was, means exactly what span meant and hides it.
    static bool faithful(const AddressSpan& span, const QString& source, bool pageIsUtf8);
    std::optional<QString> write(AddressSpan& span, const std::function<bool(const QString&)>& hidden) override
    {
        return convert(span, hidden);
    }
    bool readsBack(const AddressSpan& span, const QString& source) const override
    {
        return faithful(span, source, m_pageIsUtf8);
    }
    // The scheme the page writes before an href span.
    static QString linkPrefix(SpanKind kind);

private:
    QString run(const QString& input, ConversionSettings settings, const QString& prefix = {});
    QString convertText(const QString& text);
    QString convertHref(const AddressSpan& span, const ConversionSettings& settings);

    ConversionSettings m_settings;
    bool m_pageIsUtf8;
    EngineView m_view;
    ConversionRequest m_request;
};
