#pragma once

#include "AddressSpan.h"
#include "ConversionSettings.h"
#include "PageEncoding.h"
#include "ScriptWriter.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

class RandomSource;

// Why a page was left as it was.
enum class PageProblem {
    None,
    Missing,             // no such file or folder
    Unreadable,          // detail: the system's reason
    UnsupportedEncoding, // detail: the encoding's name; empty when it could not be detected
    CannotHide,          // detail: the addresses these options cannot hide; the rest of the page is rewritten
    CheckFailed,         // detail: what the check found
    ReadOnly,
    WriteFailed,         // detail: the system's reason
    LinkOutside,         // a link whose final target is outside the folders given; detail: the target
    LinkBroken,          // a link that leads nowhere or in a circle; detail: the system's reason
    NotRegular,          // a FIFO, device or socket: never opened
    HardLinked,          // detail: how many names the file has
    ChangedMeanwhile,    // another program wrote the page while it was rewritten; its version stands
    Busy,                // another run holds the folder
    ScriptUnwritable,    // the script method's script cannot be written; detail: the system's reason
    TooManyAttributes,   // a tag past ParserLoad::MaxAttributes; detail: its line
    NestedTooDeep,       // elements past ParserLoad::MaxDepth; detail: the line where they do
};

// References: every address in character references and escapes, which the browser decodes.
// Script: addresses in text and mailto: links joined by the site's script, everything else in references.
enum class SiteMethod { References, Script };

struct ScriptOptions
{
    bool onInteraction = false; // join an address only when a person reaches it
    QString label;              // empty: "mail address" in each page's language
    QString scriptUrl;          // empty: the script at the top of each PATH, named relative to each page
};

struct SiteOptions
{
    SiteOptions(ConversionSettings conversion = {}, bool links = false) : conversion(conversion), links(links) {}

    ConversionSettings conversion;
    bool links = false; // also the hrefs of http/https links
    SiteMethod method = SiteMethod::References;
    ScriptOptions script;
};

struct SpanChange
{
    enum class Writer { References, Script, ScriptElement };
    AddressSpan span;
    QByteArray replacement; // in the page's encoding
    Writer writer = Writer::References;

    bool isAddress() const { return writer != Writer::ScriptElement; }
};

// One page before and after: bytes in, spans, rewritten spans, bytes out.
struct PageRewrite
{
    QByteArray before;
    QByteArray after;
    std::optional<PageEncoding> encoding;
    QList<SpanChange> changes;
    QStringList unhidden; // links the options cannot hide, left as they were
    QList<int> unhiddenLines; // the line of each, from 1
    PageProblem problem = PageProblem::None;
    QString detail;
    QByteArray scriptKey; // what the script writer's changes were encrypted with
};

// Old and new text of one source line that holds a change, shortened around the change.
struct ChangedLine
{
    int number = 0; // 1-based
    QString before;
    QString after;
};

// script: where the page's script lies and its key; without it every address gets references.
PageRewrite rewritePage(const QByteArray& bytes, const SiteOptions& options, RandomSource& random,
                        const ScriptPage* script = nullptr);
// bytes with each change put in place of its span.
QByteArray applyChanges(const QByteArray& bytes, const QList<SpanChange>& changes);
// Empty when written reads back as the rewrite promised: same bytes, no address left for a
// harvester or for another run, every span decoding to what it said before.
QString checkRewrite(const PageRewrite& rewrite, const QByteArray& written);
QList<ChangedLine> changedLines(const PageRewrite& rewrite);
