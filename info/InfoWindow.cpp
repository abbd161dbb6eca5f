#include "InfoWindow.h"

#include <QPushButton>

InfoWindow::InfoWindow(const QString& title) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    QFont font;
    font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPointSizeF(9);
    setFont(font);
}

void InfoWindow::placeBelow(const QWidget* mainWindow)
{
    constexpr int TwipsPerPixel = 15;
    move(mainWindow->frameGeometry().topLeft() + QPoint(1250 / TwipsPerPixel, 1500 / TwipsPerPixel));
}

QPushButton* InfoWindow::makeOkButton()
{
    auto* ok = new QPushButton(QStringLiteral("OK(&O)"), this);
    ok->setObjectName(QStringLiteral("cmd閉じる"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    return ok;
}
