// Delimited text with a header row, as spreadsheets and other catalogue programs export it: the
// encoding and the separator it was found to use, the names of its columns and its rows.
#pragma once

#include "storage/InputLimits.h"

#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reelkeep {

/// One row of a table after its header.
struct TableRow
{
    /// The line of the file on which the row begins, counting from 1.
    int line = 0;
    /// The row's cells, at most one for each column: a row shorter than the header has fewer.
    QStringList cells;
    /// How many cells the row has in the file, those beyond the header's columns included.
    qsizetype cellCount = 0;

    bool operator==(const TableRow&) const = default;
};

struct DelimitedTable
{
    /// The encoding in words: "UTF-8", "Windows-1252", or the one a byte-order mark names, as
    /// "UTF-16LE with a byte-order mark".
    QString encoding;
    /// A comma, a semicolon or a tab.
    QChar separator;
    /// The cells of the header row, as written.
    QStringList columns;
    /// The rows after the header, blank rows (of nothing but separators) left out.
    QList<TableRow> rows;

    bool operator==(const DelimitedTable&) const = default;
};

/// The words for a separator in a sentence: "commas", "semicolons" or "tabs".
QString separatorName(QChar separator);

/// Reads delimited text. The encoding is the one a byte-order mark names, else UTF-8 when the
/// bytes are valid UTF-8, else Windows-1252. The separator is whichever of comma, semicolon and
/// tab splits the header into the most cells (the first of them on a tie). A cell in double
/// quotes may hold separators, line breaks and doubled quotes; lines end in CR LF, LF or CR, the
/// last one may have no end; a row of nothing but commas, semicolons and tabs is blank, no row
/// at all. Refuses (nothing returned, failure says why) a file larger than
/// MaxTableBytes, one without a header, a header of more than MaxTableColumns cells, more rows than
/// a list holds films, and a quote that is never closed.
std::optional<DelimitedTable> readDelimitedTable(QByteArrayView bytes, QString* failure = nullptr);

} // namespace reelkeep
