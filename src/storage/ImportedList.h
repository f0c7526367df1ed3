// Films imported from a spreadsheet or another catalogue program: what a delimited file holds and
// where its columns seem to go, and the films it gives once each column has its field.
#pragma once

#include "catalogue/FilmRecord.h"
#include "storage/DelimitedTable.h"
#include "storage/ImportColumns.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace reelkeep {

struct ImportAnalysis
{
    DelimitedTable table;
};

/// Reads the bytes of a delimited file with a header row (readDelimitedTable), which the table
/// keeps. A sheet this program exported (isExportedSheetHeader()) reads back as it was written,
/// without the apostrophes that kept a spreadsheet from running its cells. Nothing is returned when
/// the table cannot be read; failure says why. guessMapping() then says where its columns seem to go.
std::optional<ImportAnalysis> analyseImport(QByteArray bytes, QString* failure = nullptr);

/// analyseImport() on a file, of which no more than MaxTableBytes and one are read.
std::optional<ImportAnalysis> analyseImportFile(const QString& path, QString* failure = nullptr);

/// What an import gives a list: its extra fields (the list's own, then the new ones) and the films,
/// whose values follow those fields.
struct ImportedFilms
{
    ExtraFields fields;
    QList<FilmRecord> films;
};

/// One film for each row of the table, each field from the column that the mapping sends to it (the
/// first such column if several are), empty when no column does or the row is too short, and each
/// extra field's value read from its column as importedValue() reads it. A weburl field whose
/// webtext field comes from no column takes as its text the name of the site all the column's
/// addresses are on ("IMDb"), else the column's name, in the films that have a link. Refuses, with
/// failure saying why, a mapping where no column gives the title, and a cell that is no value of its
/// extra field's kind.
std::optional<ImportedFilms> importFilms(const ImportAnalysis& analysis,
                                         const ImportMapping& mapping,
                                         const ImportTarget& target,
                                         QString* failure = nullptr);

/// One line on the file: how many films, the encoding and the separator.
QString importSummary(const ImportAnalysis& analysis);

/// One line for each column: the field it goes to, or that it is left out and why.
QStringList
columnReport(const ImportAnalysis& analysis, const ImportMapping& mapping, const ImportTarget& target);

/// One line for each row with more or fewer cells than the header, with its line number, for the
/// first `limit` such rows; then one line with the number of the others.
QStringList rowProblems(const DelimitedTable& table, qsizetype limit);

/// The summary, where reading changed the text, the column report and the problems of the first
/// twenty rows that have any.
QStringList
describeImport(const ImportAnalysis& analysis, const ImportMapping& mapping, const ImportTarget& target);

} // namespace reelkeep
