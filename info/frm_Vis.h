#pragma once

#include "InfoWindow.h"

#include <QList>

class QLabel;
class UrlOpener;

// The acknowledgements; three of its words are links to the maker's pages.
class frm_Vis : public InfoWindow
{
    Q_OBJECT

public:
    explicit frm_Vis(UrlOpener& urls);

    // Only indices 2, 4 and 6 are links; failures are silent.
    void lbl_msg_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UrlOpener& m_urls;
    QList<QLabel*> m_msg;
};
