#pragma once

#include "Clipboard.h"

class QtClipboard : public Clipboard
{
public:
    QString text() override;
    void setText(const QString& text) override;
    void clear() override;
};
