#pragma once

#include "Clipboard.h"

#include <QMetaObject>

#include <memory>

class X11ClipboardReader;

class QtClipboard : public Clipboard
{
public:
    QtClipboard();
    ~QtClipboard() override;
    void readText(qsizetype maxLength, std::function<void(const QString&)> done) override;
    void setText(const QString& text) override;
    void clear() override;
    void onChange(std::function<void()> changed) override;

private:
    QMetaObject::Connection m_changes;
    std::unique_ptr<X11ClipboardReader> m_x11;
};
