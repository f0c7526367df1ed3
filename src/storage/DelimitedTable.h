// Delimited text with a header row, as spreadsheets and other catalogue programs export it: the
// encoding and the separator it was found to use, the names of its columns and its rows.
#pragma once

#include "storage/InputLimits.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace reelkeep {

/// One row of a table after its header. Its cells are read through DelimitedTable::cell().
struct TableRow
{
    /// The line of the file on which the row begins, counting from 1.
    int line = 0;
    /// How many cells the row has in the file, those beyond the header's columns included.
    qsizetype cellCount = 0;
    /// Where the row's first cell begins in the table's text.
    qsizetype start = 0;
    /// Where the ends of the row's cells are among the table's cell ends.
    qsizetype firstEnd = 0;

    bool operator==(const TableRow&) const = default;
};

/// A table read from a file. A large sheet holds millions of tiny cells, so a cell is no object of
/// its own: the table keeps the file's text once and, for each cell a row keeps, where it ends.
struct DelimitedTable
{
    /// The encoding in words: "UTF-8", "Windows-1252", "UTF-16LE", or the one a byte-order mark
    /// names, as "UTF-16LE with a byte-order mark".
    QString encoding;
    /// A comma, a semicolon or a tab.
    QChar separator;
    /// The cells of the header row, as written.
    QStringList columns;
    /// The rows after the header, blank rows (of nothing but separators) left out.
    QList<TableRow> rows;
    /// Where reading the file changed its text, one line each, with the line of the file: bytes
    /// read as U+FFFD, bytes at the end left out.
    QStringList textChanges;
    /// The table is a sheet this program exported: cell() takes off the apostrophe that export put
    /// before each cell a spreadsheet would run (shieldedFromFormula()).
    bool exported = false;

    /// How many cells of a row the table keeps: one for each of its cells up to the header's width.
    qsizetype keptCells(const TableRow& row) const { return qMin(row.cellCount, columns.size()); }

    /// The text of a row's cell in a column, the empty text past the row's kept cells. A quoted
    /// cell is what lies between its quotes, each doubled quote made one, then anything after the
    /// closing quote as written.
    QString cell(const TableRow& row, qsizetype column) const;

    /// The file's text, in UTF-8 or, when utf8 is false, Windows-1252.
    QByteArray text;
    bool utf8 = true;
    /// Where each kept cell of each row ends in the text, row after row; a row's next cell begins
    /// after the separator that ends the one before. A sheet is at most MaxTableBytes, so the
    /// positions fit 32 bits even once UTF-16 is turned into UTF-8.
    QList<qint32> cellEnds;

    bool operator==(const DelimitedTable&) const = default;
};

/// A cell as export writes it: after an apostrophe when a spreadsheet would take it for a formula,
/// that is when it begins with =, +, -, @, a tab or a carriage return after any apostrophes (OWASP's
/// advice against CSV injection); else as it is.
QString shieldedFromFormula(const QString& cell);

/// The cell that shieldedFromFormula() gave `shielded`: the apostrophe before a cell a spreadsheet
/// would run taken off again; any other cell as it is.
QString unshielded(const QString& shielded);

/// Whether a cell's text holds more than commas, semicolons and tabs: a row of no such cell is blank,
/// and reading a table skips it.
bool holdsMoreThanSeparators(QStringView text);

/// The words for a separator in a sentence: "commas", "semicolons" or "tabs".
QString separatorName(QChar separator);

/// Reads delimited text, in the encoding that readTableText() finds. The separator is whichever of
/// comma, semicolon and tab splits the header into the most cells (the first of them on a tie). A
/// cell in double quotes may hold separators, line breaks and doubled quotes; lines end in CR LF,
/// LF or CR, the last one may have no end; a row of nothing but commas, semicolons and tabs is
/// blank, no row at all. Refuses (nothing returned, failure says why) a file larger than
/// MaxTableBytes, one without a header, a header of more than MaxTableColumns cells, more rows than
/// a list holds films, and a quote that is never closed.
std::optional<DelimitedTable> readDelimitedTable(QByteArray bytes, QString* failure = nullptr);

} // namespace reelkeep
