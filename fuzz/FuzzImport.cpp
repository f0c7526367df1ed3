// The import of delimited text on arbitrary bytes: a refusal says why, the same bytes give the same
// table, the table keeps its bounds, each film holds only its row's cells, its columns' names or
// its sites' names, and values of its extra fields' kinds, and the films save and load unchanged.
#include "FuzzProperties.h"
#include "catalogue/Catalogue.h"
#include "pagegen/PageHost.h"
#include "storage/ImportCells.h"
#include "storage/ImportedList.h"
#include "storage/NativeListFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace reelkeep;

static void checkBounds(const DelimitedTable& table)
{
    FUZZ_REQUIRE(!table.columns.isEmpty() && table.columns.size() <= MaxTableColumns);
    FUZZ_REQUIRE(table.rows.size() <= Catalogue::MaxEntries);
    int previousLine = 0;
    for (const TableRow& row : table.rows) {
        FUZZ_REQUIRE(row.line > previousLine, QStringLiteral("rows keep the order of their lines"));
        const qsizetype lastEnd = row.firstEnd + table.keptCells(row) - 1;
        FUZZ_REQUIRE(table.keptCells(row) > 0 && lastEnd < table.cellEnds.size() &&
                         table.cellEnds[lastEnd] <= table.text.size(),
                     QStringLiteral("a row's cells lie in the text"));
        previousLine = row.line;
    }
}

// A link text no column gives is a column's name or the name of the site of one of the film's links.
static bool isLinkText(const ImportAnalysis& analysis, const FilmRecord& film, const QString& text)
{
    return std::any_of(analysis.table.columns.begin(),
                       analysis.table.columns.end(),
                       [&text](const QString& name) { return name.simplified() == text; }) ||
           std::any_of(WebLinks.begin(), WebLinks.end(), [&](const WebLink& link) {
               return siteOfAddress(film[link.url]) == text;
           });
}

// Every text of a film is a cell of its row, or a link text; every extra value is its column's cell
// in the field's kind.
static void
checkFilms(const ImportAnalysis& analysis, const ImportMapping& mapping, const ImportedFilms& imported)
{
    const QList<FilmRecord>& films = imported.films;
    FUZZ_REQUIRE(films.size() == analysis.table.rows.size(), QStringLiteral("one film for each row"));
    for (qsizetype i = 0; i < films.size(); ++i) {
        const TableRow& row = analysis.table.rows[i];
        for (int field = 0; field < FieldCount; ++field) {
            const QString& text = films[i].fields[static_cast<size_t>(field)];
            const qsizetype column = columnOfField(mapping, fieldAt(field));
            if (column >= 0 || text.isEmpty())
                FUZZ_REQUIRE(text == analysis.table.cell(row, column), fieldName(fieldAt(field)).toString());
            else
                FUZZ_REQUIRE(isLinkText(analysis, films[i], text), QStringLiteral("a link text"));
        }
        for (qsizetype column = 0; column < mapping.size(); ++column) {
            const ColumnTarget& target = mapping[column];
            if (!target.extra)
                continue;
            const QString& value = films[i].extraValue(extraFieldIndex(imported.fields, target.extra->name));
            const QString cell = analysis.table.cell(row, column);
            FUZZ_REQUIRE(value == importedValue(target.extra->kind, target.outOfFive, cell) &&
                             isCanonicalValue(target.extra->kind, value),
                         QStringLiteral("an extra value is its cell in its kind"));
        }
    }
}

static void checkFilmsSaveAndLoad(const ImportedFilms& imported)
{
    ListDocument document{QStringLiteral("My Movie"), QString(), imported.films};
    document.fields = imported.fields;
    const std::optional<QByteArray> bytes = writeNativeList(document);
    if (!bytes)
        return; // a text longer than a native file can count
    std::optional<ListDocument> loaded = readNativeList(*bytes);
    FUZZ_REQUIRE(loaded.has_value());
    loaded->encoding = document.encoding; // UTF-8 when a text does not fit Windows-1252
    FUZZ_REQUIRE(*loaded == document, fuzz::firstDifference(document, *loaded));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes.toByteArray(), &failure);
    FUZZ_REQUIRE(analysis.has_value() || !failure.isEmpty(), QStringLiteral("a refusal says why"));
    const std::optional<ImportAnalysis> again = analyseImport(bytes.toByteArray());
    FUZZ_REQUIRE(again.has_value() == analysis.has_value());
    if (!analysis)
        return 0;
    const ImportTarget target{{}, PageHost::answersFilmName};
    const ImportMapping guessed = guessMapping(analysis->table, target);
    FUZZ_REQUIRE(again->table == analysis->table && guessMapping(again->table, target) == guessed,
                 QStringLiteral("the same bytes give the same table"));
    checkBounds(analysis->table);

    const std::optional<ImportedFilms> imported = importFilms(*analysis, guessed, target, &failure);
    FUZZ_REQUIRE(imported.has_value() == (columnOfField(guessed, Field::Title) >= 0),
                 QStringLiteral("films come when a column gives the title"));
    if (!imported)
        return 0;
    FUZZ_REQUIRE(imported->fields.size() <= MaxExtraFields);
    checkFilms(*analysis, guessed, *imported);
    checkFilmsSaveAndLoad(*imported);
    return 0;
}
