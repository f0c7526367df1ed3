// The native list-file layout: a magic, the two page texts, the last index and the films as
// counted texts; in the third version, parts with a tag and a length after them, which hold the
// list's extra fields.
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
/// The magic of a file in UTF-8 whose films are followed by parts, each a tag and a length: a list
/// with extra fields.
inline constexpr char NativeMagicParts[] = "rkf03";

/// Whether bytes begin with the magic of a native file of any version.
bool startsWithNativeMagic(QByteArrayView bytes);

/// The bytes of a native file. A list without extra fields: its texts in Windows-1252 under "rkf01"
/// when every text fits, whatever the document's encoding, in UTF-8 under "rkf02" otherwise. A list with
/// extra fields: in UTF-8 under "rkf03", the fields and their values in parts after the films. Refuses
/// (nothing returned, failure says why) when a text is longer than a count can hold, there are more films
/// than a list holds, or the extra fields break a rule that loading keeps them to (a name, a value not in its
/// kind's canonical text, more than MaxExtraFields).
std::optional<QByteArray> writeNativeList(const ListDocument& document, QString* failure = nullptr);

/// The document in the bytes of a native file. Refuses a foreign magic, a file that ends before
/// its last film and a last index outside -1 ... 32,766; bytes after the last film are ignored,
/// and in "rkf03" those after its end part. An "rkf03" file is refused too for a part it does not
/// know whose tag begins with a capital, a part that ends where its length does not say, and extra
/// fields or values that break their rules.
std::optional<ListDocument> readNativeList(QByteArrayView bytes, QString* failure = nullptr);

/// The document in the bytes of a native file read through a window, as readNativeList reads
/// bytes in memory; refuses too a file that cannot be read, with the reason the device gives.
/// findings receives where the first bytes that are not UTF-8 are in a UTF-8 file. The document's
/// encoding is Utf8WithMark for "rkf02" and "rkf03".
std::optional<ListDocument>
readNativeList(ByteWindow& window, QString* failure = nullptr, TextFindings* findings = nullptr);

} // namespace reelkeep
