#pragma once

#include "InfoWindow.h"

class MessagePresenter;
class UrlOpener;

// The version window, with the maker's site and the feedback mail address.
class frm_Ver : public InfoWindow
{
    Q_OBJECT

public:
    frm_Ver(UrlOpener& urls, MessagePresenter& messages);

    // Index 0 opens the maker's top page, index 1 prepares a feedback mail.
    void cmd_IE_Click(int index);
    static QString feedbackUrl();

private:
    UrlOpener& m_urls;
    MessagePresenter& m_messages;
};
