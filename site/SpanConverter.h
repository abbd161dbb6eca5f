#pragma once

#include "AddressSpan.h"
#include "ConversionRequest.h"
#include "EngineView.h"

#include <functional>
#include <optional>

class RandomSource;

// Writes one address span anew with the conversion engine: references only in
// text, the engine's own forms in an href, and never a character that would change
// what the browser shows or where the link leads.
class SpanConverter
{
public:
    SpanConverter(const ConversionSettings& settings, RandomSource& random);

    // The span's new source text; nothing when the options cannot hide this address.
    // hidden also has to accept it: it sees the text in its place in the page.
    std::optional<QString> convert(const AddressSpan& span, const std::function<bool(const QString&)>& hidden);
    // Whether source, put where span was, means exactly what span meant and hides it.
    static bool faithful(const AddressSpan& span, const QString& source);

private:
    QString run(const QString& input, ConversionSettings settings);
    QString convertText(const QString& text);
    QString convertHref(const QString& tail, bool lineBreakAllowed);

    ConversionSettings m_settings;
    EngineView m_view;
    ConversionRequest m_request;
};
