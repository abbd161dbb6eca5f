#pragma once

#include "PngWriter.h"

class LibPngWriter : public PngWriter
{
public:
    bool available() const override { return true; }
    bool writeIndexed(const QString& path, const QImage& indexed) override;
};
