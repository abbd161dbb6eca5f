#include "QtClipboard.h"

#include "AppError.h"
#include "X11ClipboardReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace {

QClipboard& systemClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        throw AppError(AppError::ClipboardUnavailable);
    return *clipboard;
}

} // namespace

QtClipboard::QtClipboard()
{
    // Qt's own X11 read waits up to 5 s for an owner, with the window frozen, and fetches any size.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_x11 = std::make_unique<X11ClipboardReader>();
        if (!m_x11->isConnected())
            m_x11.reset();
    }
}

QtClipboard::~QtClipboard()
{
    QObject::disconnect(m_changes);
}

void QtClipboard::readText(qsizetype maxLength, std::function<void(const QString&)> done)
{
    if (m_x11) {
        m_x11->read(maxLength, std::move(done));
        return;
    }
    // The list of formats is asked for once: an owner that never answers then costs one
    // wait instead of one per format tried, and a clipboard without text is never fetched.
    const QMimeData* data = systemClipboard().mimeData();
    const QStringList formats = data != nullptr ? data->formats() : QStringList();
    const bool hasText = std::any_of(formats.begin(), formats.end(),
                                     [](const QString& f) { return f.startsWith(QLatin1String("text/plain")); });
    const QString text = hasText ? data->text() : QString();
    done(text.size() > maxLength ? QString() : text);
}

void QtClipboard::setText(const QString& text)
{
    systemClipboard().setText(text);
}

void QtClipboard::clear()
{
    // No read first: asking the owner for its text would wait on that program at every keystroke.
    systemClipboard().clear();
}

void QtClipboard::onChange(std::function<void()> changed)
{
    QObject::disconnect(m_changes);
    if (changed)
        m_changes = QObject::connect(&systemClipboard(), &QClipboard::dataChanged, std::move(changed));
}
