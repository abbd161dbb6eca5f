#pragma once

#include "Clipboard.h"

#include <QMetaObject>

class QtClipboard : public Clipboard
{
public:
    ~QtClipboard() override;
    QString text() override;
    void setText(const QString& text) override;
    void clear() override;
    void onChange(std::function<void()> changed) override;

private:
    QMetaObject::Connection m_changes;
};
