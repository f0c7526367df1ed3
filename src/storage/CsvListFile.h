// The comma-separated list-file form: seventeen quoted fields to a line, read field by field.
#pragma once

#include "catalogue/FilmRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace reelkeep {

class ByteWindow;

/// The bytes of a comma-separated file: one line per film, each field in double quotes (a double
/// quote inside doubled), separated by commas, ending in CR LF. Windows-1252 when every text fits,
/// otherwise UTF-8 after a byte-order mark.
QByteArray writeCsvList(const QList<FilmRecord>& films);

/// The films in the bytes of a comma-separated file, read as a stream of fields, seventeen to a
/// film, whatever the line ends; a film cut short by the end of the file keeps its missing fields
/// empty. Refuses (nothing returned) only a file of more films than a list holds.
std::optional<QList<FilmRecord>> readCsvList(QByteArrayView bytes, QString* failure = nullptr);

/// The films in the bytes of a comma-separated file read through a window, as readCsvList reads
/// bytes in memory; refuses too a file that cannot be read, with the reason the device gives.
/// invalidUtf8At receives where the first bytes that are not UTF-8 are in a UTF-8 file, or -1.
std::optional<QList<FilmRecord>>
readCsvList(ByteWindow& window, QString* failure = nullptr, qsizetype* invalidUtf8At = nullptr);

} // namespace reelkeep
