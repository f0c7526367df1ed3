// A list as a spreadsheet's file: a header row naming the seventeen fields and the extra fields,
// then one row for each film, which import reads back with the same films and extra fields.
#pragma once

#include "storage/ListFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace reelkeep {

/// The bytes of a spreadsheet file of a list: UTF-8 after a byte-order mark, comma-separated, lines
/// ending in CR LF. The header names the seventeen fields as the JSON dump does ("title" ...
/// "weburl3"), then each extra field as headerOfExtraField() does; a film's row holds its fields
/// and its values in that order. A cell that a spreadsheet would run as a formula is written after an
/// apostrophe (shieldedFromFormula()). A cell is in double quotes (each quote in it doubled) when it
/// holds a comma, a quote, a line break or spaces at its ends, or has that apostrophe. leftOut
/// receives the films that no row can hold: those with nothing but commas, semicolons and tabs in
/// every field, whose row a reader takes for a blank line.
QByteArray writeSheet(const ListDocument& document, qsizetype* leftOut = nullptr);

/// Whether a header row is one writeSheet() writes: the seventeen fields under their dump names,
/// in their order, first. Import takes the apostrophes export put before cells off again in such a
/// sheet (DelimitedTable::exported).
bool isExportedSheetHeader(const QStringList& columns);

/// Writes a list's spreadsheet file completely or not at all, keeping the file it replaces when told
/// to (writeWholeFile()). warnings receives, in words, what the file does not hold of the list or
/// what import would not read back.
bool exportSheetFile(const QString& path,
                     const ListDocument& document,
                     QString* failure = nullptr,
                     QStringList* warnings = nullptr,
                     PreviousVersion previous = PreviousVersion::Keep);

} // namespace reelkeep
