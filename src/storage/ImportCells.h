// What the cells of an imported column hold: the kinds of extra field that take every one of
// them, the web addresses among them, and each cell's value in a kind.
#pragma once

#include "catalogue/ExtraField.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace reelkeep {

struct DelimitedTable;

/// What every cell of a column is, cells of nothing but spaces aside.
struct ColumnCells
{
    /// No cell holds anything but spaces.
    bool empty = true;
    /// The kinds that take every cell as importedValue() reads it, a rating out of 10 or out of 5.
    std::array<bool, ExtraKindCount> fits{};
    /// Every cell is a whole number from 0 to 10, or stars.
    bool ratingOutOfTen = false;
    /// Every cell is a number from 0 to 5 in halves, or stars, which import doubles.
    bool ratingOutOfFive = false;
    /// A cell holds a line break, or more characters than a line of text.
    bool longText = false;
    /// Every cell is a web address.
    bool addresses = false;
    /// The name of the site every address is on, when the program knows it ("IMDb"); else empty.
    QString site;

    bool fitsKind(ExtraKind kind) const { return fits[static_cast<size_t>(kind)]; }
};

/// Reads every cell of a column once.
ColumnCells examineColumn(const DelimitedTable& table, qsizetype column);

/// examineColumn() of every column, in column order.
QList<ColumnCells> examineColumns(const DelimitedTable& table);

/// The value of a cell in a kind as import reads it: canonicalValue(), and besides a number with a
/// decimal comma ("4,5"), a rating as stars ("★★★½" is 7) or out of 5 (doubled when outOfFive).
/// Nothing when the cell is no value of the kind.
std::optional<QString> importedValue(ExtraKind kind, bool outOfFive, QStringView cell);

/// "column 3 "Rating"": a column in a message, its name on one line.
QString columnLabel(const DelimitedTable& table, qsizetype column);

/// The first cell of a column that is no value of a kind (importedValue()), as a failure: "line 5:
/// "about 5" in column 3 "Score" is not a number"; the empty text when the kind takes every cell.
QString firstCellNotOfKind(const DelimitedTable& table, qsizetype column, ExtraKind kind, bool outOfFive);

/// Whether a text is a web address: http:// or https:// and no spaces.
bool isWebAddress(QStringView text);

/// The name of the site a web address is on ("IMDb", "Letterboxd"), or the empty text when the
/// program knows no name for it or the text is no address.
QString siteOfAddress(QStringView address);

} // namespace reelkeep
