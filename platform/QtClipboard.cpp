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
    QClipboard& clipboard = systemClipboard();
    // Clearing an already empty clipboard would still take ownership of it on X11.
    if (!clipboard.text().isEmpty())
        clipboard.clear();
}
