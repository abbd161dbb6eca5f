#pragma once

#include "DesktopShell.h"

class FakeDesktopShell : public DesktopShell
{
public:
    bool pdfViewer = true;
    bool hasPdfViewer() override { return pdfViewer; }
};
