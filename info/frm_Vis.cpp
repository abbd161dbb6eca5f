#include "frm_Vis.h"

#include "AppIcon.h"
#include "KeyboardLink.h"
#include "MakerLinks.h"
#include "UrlOpener.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frm_Vis::frm_Vis(UrlOpener& urls, MessagePresenter& messages)
    : InfoWindow(tr("謝辞")), m_urls(urls), m_messages(messages)
{
    setObjectName(QStringLiteral("frm_Vis"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    const char* texts[] = {QT_TR_NOOP("本ソフトウェアをバージョンアップするにあたり、"),
                           QT_TR_NOOP("スパム・迷惑メール調査にご協力頂いた方"),
                           QT_TR_NOOP("掲示板"),
                           QT_TR_NOOP("/ メールにて機能追加提案を頂いた方"),
                           QT_TR_NOOP("ホームページ"),
                           "/",
                           QT_TR_NOOP("雑誌掲載"),
                           QT_TR_NOOP("等で、紹介して頂いた方"),
                           QT_TR_NOOP("本ソフトを使用頂いた方に感謝します。")};
    for (int i = 0; i < 9; ++i) {
        const bool isLink = i == 2 || i == 4 || i == 6;
        auto* l = isLink ? new KeyboardLink(tr(texts[i]), this) : new QLabel(tr(texts[i]), this);
        l->setObjectName(QStringLiteral("lbl_msg_%1").arg(i));
        l->installEventFilter(this);
        if (isLink) {
            QFont link = l->font();
            link.setUnderline(true);
            l->setFont(link);
            QPalette blue = l->palette();
            blue.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
            l->setPalette(blue);
            l->setCursor(Qt::PointingHandCursor);
            connect(static_cast<KeyboardLink*>(l), &KeyboardLink::followedByKey, this, [this, i] { lbl_msg_Click(i); });
        }
        m_msg.append(l);
    }

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(appIcon(48));
    auto* text = new QVBoxLayout;
    text->addWidget(m_msg[0]);
    const QList<QList<int>> lines = {{1}, {2, 3}, {4, 5, 6, 7}, {8}};
    for (int n = 0; n < lines.size(); ++n) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        auto* bullet = new QLabel(QStringLiteral("□"), this);
        bullet->setObjectName(QStringLiteral("Label%1").arg(n + 2));
        row->addWidget(bullet);
        for (int index : lines[n])
            row->addWidget(m_msg[index]);
        row->addStretch(1);
        text->addLayout(row);
    }
    auto* body = new QHBoxLayout;
    body->addWidget(image, 0, Qt::AlignTop);
    body->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(makeOkButton(), 0, Qt::AlignRight);
}

bool frm_Vis::eventFilter(QObject* watched, QEvent* event)
{
    const int index = m_msg.indexOf(qobject_cast<QLabel*>(watched));
    if (index >= 0 && isLinkClick(watched, event))
        lbl_msg_Click(index);
    return InfoWindow::eventFilter(watched, event);
}

void frm_Vis::lbl_msg_Click(int index)
{
    if (index == 2)
        OpenBrowserPage(QUrl(MakerLinks::bulletinBoard()), m_urls, m_messages);
    else if (index == 4)
        OpenBrowserPage(QUrl(MakerLinks::softwareLinks()), m_urls, m_messages);
    else if (index == 6)
        OpenBrowserPage(QUrl(MakerLinks::magazineReviews()), m_urls, m_messages);
}
