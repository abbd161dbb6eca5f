#include "QtClipboard.h"

#include "AppError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

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
    // Asking for the list of formats first costs an owner that never answers one wait
    // instead of one per text format tried; a clipboard without text is never fetched.
    const QMimeData* data = systemClipboard().mimeData();
    if (data == nullptr || !data->hasText())
        return QString();
    return data->text();
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
