#pragma once

#include <QString>

// The site window's own choices, kept in the settings file beside the main window's
// options, in a section of their own that the main window's save leaves as it is.
struct SiteWindowSettings
{
    bool links = false;
    int method = 0; // 0: references, 1: script on load, 2: script when a person acts

    // A missing or unreadable file, or a value out of range, reads as the defaults.
    static SiteWindowSettings load(const QString& settingsPath);
    // Only this section's keys change; throws AppError on failure.
    void save(const QString& settingsPath) const;
};
