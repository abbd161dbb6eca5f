#pragma once

#include "PageOutcome.h"

#include <QSet>
#include <functional>
#include <mutex>

class RandomSource;

// The files a run of the script method writes at the top of each PATH: the script, which holds
// the run's key, and one address image per address, for visitors whose browser runs no script.
class ScriptSite
{
public:
    // The address drawn as a PNG file's bytes; empty when it cannot be drawn.
    using Picture = std::function<QByteArray(const QString& address)>;
    static constexpr const char* ScriptName = "qorvane-mail.js";

    ScriptSite(ScriptOptions options, Picture picture);

    // Takes the top folder of each PATH: the key of a script already there is kept, so pages
    // rewritten before go on working; else one is drawn and (unless dryRun) the script written.
    // A folder whose script cannot be written comes back as an outcome; no page under it is changed.
    QList<PageOutcome> prepare(const QList<QByteArray>& paths, bool dryRun, RandomSource& random);
    // What a page under one of the folders needs; nothing when its folder's script could not be written.
    std::optional<ScriptPage> pageContext(const QByteArray& page) const;
    // Writes the image of each address not yet written beside the page's script; the reason of a failure, or empty.
    QString writeImages(const QByteArray& page, const QStringList& addresses);
    // The script as written for key.
    static QByteArray script(const QByteArray& key);

private:
    struct Top
    {
        QByteArray folder;
        QByteArray key;
        bool usable = true;
    };
    const Top* topOf(const QByteArray& page) const;

    ScriptOptions m_options;
    Picture m_picture;
    QList<Top> m_tops;
    std::mutex m_imagesMutex;
    QSet<QByteArray> m_imagesWritten;
};
