#pragma once

#include <QByteArray>
#include <QString>

// mod_PNG_Transparent: makes palette entry 0, the black background, transparent by
// putting a tRNS chunk right behind the palette chunk of the address image.
QByteArray InsertTransparencyChunk(const QByteArray& png);
// Rewrites JSP/mailadd.png through JSP/mailadd.tmp; throws AppError on failure.
void ApplyPngTransparency(const QString& programFolder);
