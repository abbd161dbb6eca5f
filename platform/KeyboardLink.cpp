#include "KeyboardLink.h"

#include <QAccessibleWidget>
#include <QKeyEvent>

namespace {

class LinkAccessible : public QAccessibleWidget
{
public:
    explicit LinkAccessible(KeyboardLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        // Not the title of the frame it stands in, which is what a label without a name of its own would get.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            emit static_cast<KeyboardLink*>(widget())->followedByKey();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* linkInterfaces(const QString&, QObject* object)
{
    auto* link = qobject_cast<KeyboardLink*>(object);
    return link ? new LinkAccessible(link) : nullptr;
}

} // namespace

KeyboardLink::KeyboardLink(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    static const bool installed = (QAccessible::installFactory(linkInterfaces), true);
    Q_UNUSED(installed);
    setFocusPolicy(Qt::TabFocus);
}

void KeyboardLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit followedByKey();
    else
        QLabel::keyPressEvent(event);
}

void KeyboardLink::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    setFrameShape(QFrame::Box);
}

void KeyboardLink::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    setFrameShape(QFrame::NoFrame);
}
