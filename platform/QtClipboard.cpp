#include "QtClipboard.h"

#include "AppError.h"

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

QtClipboard::~QtClipboard()
{
    QObject::disconnect(m_changes);
}

QString QtClipboard::text()
{
    // The list of formats is asked for once and kept: an owner that never answers then
    // costs one wait (Qt's own, 5 s on X11) instead of one per format tried, and a
    // clipboard without text is never fetched.
    const QMimeData* data = systemClipboard().mimeData();
    if (data == nullptr)
        return QString();
    const QStringList formats = data->formats();
    const bool hasText = std::any_of(formats.begin(), formats.end(),
                                     [](const QString& f) { return f.startsWith(QLatin1String("text/plain")); });
    return hasText ? data->text() : QString();
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
