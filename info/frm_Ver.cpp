#include "frm_Ver.h"

#include "AppIcon.h"
#include "MakerLinks.h"
#include "UrlOpener.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

frm_Ver::frm_Ver(UrlOpener& urls, MessagePresenter& messages)
    : InfoWindow(tr("Qorvaneのバージョン情報")), m_urls(urls), m_messages(messages)
{
    setObjectName(QStringLiteral("frm_Ver"));
    auto* image = label(QStringLiteral("Image1"), QString(), this);
    image->setPixmap(appIcon(32));
    QLabel* name = label(QStringLiteral("Label1"), QStringLiteral("Qorvane"), this);
    QFont bold = font();
    bold.setPointSizeF(12);
    bold.setBold(true);
    name->setFont(bold);
    QLabel* version = label(QStringLiteral("lbl_Ver"), MakerLinks::Version, this);
    QFont big = font();
    big.setPointSizeF(12);
    version->setFont(big);

    auto* frame = new QGroupBox(tr("ご意見・ご感想・バグ情報はこちらまで"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* rows = new QGridLayout(frame);
    const QString captions[2] = {MakerLinks::topPage(), MakerLinks::FeedbackAddress};
    rows->addWidget(label(QStringLiteral("Label3"), tr("Qorvane プロジェクト"), frame), 0, 0);
    rows->addWidget(label(QStringLiteral("Label7"), tr("メールアドレス"), frame), 1, 0);
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(captions[i], frame);
        button->setObjectName(QStringLiteral("cmd_IE_%1").arg(i));
        button->setMinimumWidth(button->sizeHint().width() + 16);
        connect(button, &QPushButton::clicked, this, [this, i] { cmd_IE_Click(i); });
        rows->addWidget(button, i, 1);
    }

    auto* layout = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(image);
    auto* titles = new QVBoxLayout;
    titles->addWidget(name);
    titles->addWidget(version);
    head->addLayout(titles, 1);
    layout->addLayout(head);
    layout->addWidget(frame);
    layout->addWidget(label(QStringLiteral("Label4"), tr("Copyright (C) 2002-2026 Qorvane プロジェクト"), this));
    layout->addWidget(makeOkButton(), 0, Qt::AlignRight);
}

QString frm_Ver::feedbackUrl()
{
    return QStringLiteral("mailto:") + MakerLinks::FeedbackAddress + QStringLiteral("?subject=Qorvane ") + MakerLinks::Version;
}

void frm_Ver::cmd_IE_Click(int index)
{
    if (index == 0)
        OpenBrowserPage(QUrl(MakerLinks::topPage()), m_urls, m_messages);
    else if (index == 1)
        OpenBrowserPage(QUrl(feedbackUrl()), m_urls, m_messages);
}
