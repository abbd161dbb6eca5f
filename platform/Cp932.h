#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Code page 932 (Shift_JIS) at the edges where files are read and written.
namespace Cp932 {

// Nothing when the text holds a character that the code page cannot hold.
std::optional<QByteArray> encode(const QString& text);
// For pages: a character the code page cannot hold becomes a numeric character reference.
QByteArray encodeWithReferences(const QString& text);
// Invalid byte sequences become U+FFFD each; everything valid around them is kept.
QString decode(const QByteArray& bytes);
// True for a byte that starts a double-byte character.
bool isLeadByte(unsigned char byte);

} // namespace Cp932
