#include "QtClipboard.h"

#include "AppError.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

QClipboard& systemClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        throw AppError(AppError::ClipboardUnavailable);
    return *clipboard;
}

} // namespace

QString QtClipboard::text()
{
    return systemClipboard().text();
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
