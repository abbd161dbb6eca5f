#include "KeyboardLink.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>

namespace {

class LinkFollower : public QObject
{
public:
    LinkFollower(QLabel* label, std::function<void()> follow) : QObject(label), m_follow(std::move(follow)) {}

    void follow() const { m_follow(); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            label->setFrameShape(event->type() == QEvent::FocusIn ? QFrame::Box : QFrame::NoFrame);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_follow();
                return true;
            }
        }
        return false;
    }

private:
    std::function<void()> m_follow;
};

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (auto* follower = widget()->findChild<LinkFollower*>(QString(), Qt::FindDirectChildrenOnly))
            follower->follow();
    }
};

QAccessibleInterface* linkInterfaces(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    if (label && label->findChild<LinkFollower*>(QString(), Qt::FindDirectChildrenOnly))
        return new LinkAccessible(label);
    return nullptr;
}

} // namespace

void makeKeyboardLink(QLabel* label, std::function<void()> follow)
{
    static const bool installed = (QAccessible::installFactory(linkInterfaces), true);
    Q_UNUSED(installed);
    label->setFocusPolicy(Qt::TabFocus);
    label->setAccessibleName(label->text());
    label->installEventFilter(new LinkFollower(label, std::move(follow)));
}
