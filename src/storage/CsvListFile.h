// The comma-separated list-file form: seventeen quoted fields to a line, read field by field.
#pragma once

#include "storage/ListFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace reelkeep {

class ByteWindow;
struct TextFindings;

/// The bytes of a comma-separated file: one line per film, each field in double quotes (a double
/// quote inside doubled), separated by commas, ending in CR LF. In the encoding given while every
/// text fits it: Windows-1252 without a mark, UTF-8 with or without one; otherwise UTF-8 after a
/// byte-order mark. Refuses (nothing returned, failure says why) more films than a list holds and
/// a field that takes more than MaxCsvFieldBytes in the file, which loading would refuse.
std::optional<QByteArray> writeCsvList(const QList<FilmRecord>& films,
                                       ListEncoding encoding = ListEncoding::Windows1252,
                                       QString* failure = nullptr);

/// The films in the bytes of a comma-separated file, read as a stream of fields, seventeen to a
/// film, whatever the line ends; a film cut short by the end of the file keeps its missing fields
/// empty. The document has no page texts. A file that begins with the UTF-8 byte-order mark is
/// UTF-8; one without it is UTF-8 when its fields' bytes are well-formed UTF-8 and some are above
/// 127, else Windows-1252. Refuses (nothing returned) more films than a list holds and a field
/// longer than MaxCsvFieldBytes.
std::optional<ListDocument> readCsvList(QByteArrayView bytes, QString* failure = nullptr);

/// The films in the bytes of a comma-separated file read through a window, as readCsvList reads
/// bytes in memory; refuses too a file that cannot be read, with the reason the device gives.
/// findings receives where the file shows what loading it warns of.
std::optional<ListDocument>
readCsvList(ByteWindow& window, QString* failure = nullptr, TextFindings* findings = nullptr);

} // namespace reelkeep
