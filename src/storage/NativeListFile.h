// The native list-file layout: a magic, the two page texts, the last index and the films as
// counted texts.
#pragma once

#include "storage/ListFile.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace reelkeep {

class ByteWindow;
struct TextFindings;

/// The magic of a file whose texts are Windows-1252.
inline constexpr char NativeMagicWindows1252[] = "rkf01";
/// The magic of a file whose texts are UTF-8 because one of them does not fit Windows-1252.
inline constexpr char NativeMagicUtf8[] = "rkf02";

/// The bytes of a native file: its texts in Windows-1252 under "rkf01" when every text fits and the
/// document's encoding is Windows-1252, in UTF-8 under "rkf02" otherwise. Refuses (nothing returned, failure
/// says why) when a text is longer than a count can hold or there are more films than a list holds.
std::optional<QByteArray> writeNativeList(const ListDocument& document, QString* failure = nullptr);

/// The document in the bytes of a native file. Refuses a foreign magic, a file that ends before
/// its last film and a last index outside -1 ... 32,766; bytes after the last film are ignored.
std::optional<ListDocument> readNativeList(QByteArrayView bytes, QString* failure = nullptr);

/// The document in the bytes of a native file read through a window, as readNativeList reads
/// bytes in memory; refuses too a file that cannot be read, with the reason the device gives.
/// findings receives where the first bytes that are not UTF-8 are in a UTF-8 file. The document's
/// encoding is Utf8WithMark for "rkf02".
std::optional<ListDocument>
readNativeList(ByteWindow& window, QString* failure = nullptr, TextFindings* findings = nullptr);

} // namespace reelkeep
