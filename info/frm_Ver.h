#pragma once

#include "InfoWindow.h"

class UrlOpener;

// The version window, with the maker's site and the feedback mail address.
class frm_Ver : public InfoWindow
{
    Q_OBJECT

public:
    explicit frm_Ver(UrlOpener& urls);

    // Index 0 opens the maker's top page, index 1 prepares a feedback mail. Failures are silent.
    void cmd_IE_Click(int index);
    static QString feedbackUrl();

private:
    UrlOpener& m_urls;
};
