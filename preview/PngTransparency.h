#pragma once

#include <QByteArray>
#include <QString>

// mod_PNG_Transparent: makes palette entry 0, the black background, transparent by
// putting a tRNS chunk right behind the palette chunk of the address image.
QByteArray InsertTransparencyChunk(const QByteArray& png);
// Turns the fresh image in JSP/mailadd.tmp into JSP/mailadd.png, which is replaced
// only when the whole new image is written; throws AppError on failure.
void ApplyPngTransparency(const QString& programFolder);
