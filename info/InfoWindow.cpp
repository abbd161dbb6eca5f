#include "InfoWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

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
    const QPoint wanted = mainWindow->frameGeometry().topLeft() + QPoint(1250 / TwipsPerPixel, 1500 / TwipsPerPixel);
    adjustSize();
    // This window has no frame yet; the main window's tells how large it will be.
    const QSize frame = size() + mainWindow->frameGeometry().size() - mainWindow->size();
    QScreen* screen = QGuiApplication::screenAt(wanted);
    if (screen == nullptr)
        screen = mainWindow->screen();
    const QPoint corner = keptInside(QRect(wanted, frame), screen->availableGeometry());
    // A move before the first showing places the frame, unless a resize follows it: the size is settled above.
    move(corner);
}

QPoint keptInside(const QRect& frame, const QRect& screen)
{
    const int x = std::max(screen.left(), std::min(frame.left(), screen.left() + screen.width() - frame.width()));
    const int y = std::max(screen.top(), std::min(frame.top(), screen.top() + screen.height() - frame.height()));
    return {x, y};
}

QPushButton* InfoWindow::makeOkButton()
{
    m_ok = new QPushButton(tr("OK(&O)"), this);
    m_ok->setObjectName(QStringLiteral("cmd閉じる"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);
    return m_ok;
}

bool InfoWindow::isLinkClick(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    if ((!press && event->type() != QEvent::MouseButtonRelease)
        || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    if (press) {
        m_pressedLink = watched;
        return false;
    }
    const auto* link = qobject_cast<QWidget*>(watched);
    const bool click = m_pressedLink == watched && link != nullptr
                       && link->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
    m_pressedLink = nullptr;
    return click;
}

void InfoWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_ok != nullptr)
        m_ok->click();
    else
        QWidget::keyPressEvent(event);
}

void InfoWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_ok != nullptr)
        m_ok->setFocus();
}
