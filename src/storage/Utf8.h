// UTF-8 in list files and templates: the byte-order mark that opens a UTF-8 file, and decoding
// that keeps every character.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace reelkeep {

/// U+FEFF in UTF-8, the mark with which a comma-separated file or a template in UTF-8 may begin.
inline constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";

/// Turns UTF-8 bytes into text character for character. A U+FEFF at the start is a character of
/// the text like any other, never taken for a mark and dropped; a malformed byte becomes U+FFFD.
QString decodeUtf8(QByteArrayView bytes);

} // namespace reelkeep
