// Windows-1252, the single-byte code page of list-file texts, widened so that every byte maps.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace reelkeep {

/// Turns bytes into text. The five bytes that Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D)
/// become the characters of the same number, so every byte reads and writes back unchanged.
QString decodeWindows1252(QByteArrayView bytes);

/// Appends the bytes of text to out. Returns false, leaving out partly extended, when a character
/// has no byte in the code page.
bool appendWindows1252(QByteArray& out, QStringView text);

/// Writes the bytes of text to out, which has room for one byte per character, up to the first
/// character that has no byte in the code page; returns how many it wrote.
qsizetype writeWindows1252(QStringView text, char* out);

/// The byte of a character, or -1 when the code page has none.
int windows1252Byte(char16_t character);

/// Whether every character of text has a byte in the code page.
bool fitsWindows1252(QStringView text);

} // namespace reelkeep
