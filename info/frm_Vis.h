#pragma once

#include "InfoWindow.h"

#include <QList>

class QLabel;
class MessagePresenter;
class UrlOpener;

// The acknowledgements; three of its words are links to the maker's pages.
class frm_Vis : public InfoWindow
{
    Q_OBJECT

public:
    frm_Vis(UrlOpener& urls, MessagePresenter& messages);

    // Only indices 2, 4 and 6 are links.
    void lbl_msg_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UrlOpener& m_urls;
    MessagePresenter& m_messages;
    QList<QLabel*> m_msg;
};
