#pragma once

// What the desktop knows about file types.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    // Whether an application is registered to open PDF files.
    virtual bool hasPdfViewer() = 0;
};

// Asks the freedesktop MIME database through xdg-mime.
class XdgDesktopShell : public DesktopShell
{
public:
    bool hasPdfViewer() override;
};
