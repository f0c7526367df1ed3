// Importing films from delimited text: reading the file within bounds, making films from its
// rows, and saying what went where.
#include "storage/ImportedList.h"

#include "storage/ByteWindow.h"
#include "storage/ImportCells.h"
#include "storage/SheetFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>

namespace reelkeep {

namespace {

// The rows with problems that a description names one by one.
constexpr qsizetype ReportedRowProblems = 20;

// The column that gives each field, -1 for none.
using FieldSources = std::array<qsizetype, FieldCount>;

// The text that each web link's films get from a column's name, or the empty text.
using LinkTexts = std::array<QString, WebLinks.size()>;

std::nullopt_t refuse(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
    return std::nullopt;
}

FieldSources fieldSources(const ImportMapping& mapping)
{
    FieldSources sources;
    for (int field = 0; field < FieldCount; ++field)
        sources[static_cast<size_t>(field)] = columnOfField(mapping, fieldAt(field));
    return sources;
}

// A column that gives an extra field, and the values of its cells read so far.
struct ExtraSource
{
    qsizetype column;
    qsizetype field;
    ColumnTarget target;
    // Values recur (ratings, yes and no, dates): each short cell is read once.
    QHash<QString, QString> values;
};

QList<ExtraSource> extraSources(const ImportMapping& mapping, const ExtraFields& fields)
{
    QList<ExtraSource> sources;
    for (qsizetype column = 0; column < mapping.size(); ++column) {
        if (const ColumnTarget& target = mapping[column]; target.extra)
            sources.append({column, extraFieldIndex(fields, target.extra->name), target, {}});
    }
    return sources;
}

qsizetype sourceOf(const FieldSources& sources, Field field)
{
    return sources[static_cast<size_t>(field)];
}

// A column name on one line, as reports and link texts show it.
QString shownName(const QString& name)
{
    return name.simplified();
}

// For each web link whose text comes from no column, the text its films get: the name of the site
// all the column's addresses are on ("IMDb"), else the column's name; empty for a column named after
// the URL field itself.
LinkTexts linkTexts(const DelimitedTable& table, const FieldSources& sources)
{
    LinkTexts texts;
    for (size_t link = 0; link < WebLinks.size(); ++link) {
        const qsizetype url = sourceOf(sources, WebLinks[link].url);
        if (url < 0 || sourceOf(sources, WebLinks[link].text) >= 0)
            continue;
        texts[link] = examineColumn(table, url).site;
        if (texts[link].isEmpty() && columnKey(table.columns[url]) != fieldName(WebLinks[link].url))
            texts[link] = shownName(table.columns[url]);
    }
    return texts;
}

// The value of a cell in its column's extra field; nothing when it is no value of the field's kind.
std::optional<QString> extraValue(const DelimitedTable& table, const TableRow& row, ExtraSource& source)
{
    constexpr qsizetype ShortCell = 32;
    const QString cell = table.cell(row, source.column);
    const auto known = source.values.constFind(cell);
    if (known != source.values.cend())
        return *known;
    const std::optional<QString> value =
        importedValue(source.target.extra->kind, source.target.outOfFive, cell);
    if (value && cell.size() <= ShortCell)
        source.values.insert(cell, *value);
    return value;
}

std::optional<FilmRecord> filmOfRow(const DelimitedTable& table,
                                    const TableRow& row,
                                    const FieldSources& sources,
                                    const LinkTexts& texts,
                                    QList<ExtraSource>& extras,
                                    QString* failure)
{
    FilmRecord film;
    for (size_t field = 0; field < sources.size(); ++field)
        film.fields[field] = table.cell(row, sources[field]);
    // A film has a link when its cell holds more than spaces.
    for (size_t link = 0; link < WebLinks.size(); ++link) {
        if (!texts[link].isEmpty() && !film[WebLinks[link].url].trimmed().isEmpty())
            film[WebLinks[link].text] = texts[link];
    }
    for (ExtraSource& extra : extras) {
        const std::optional<QString> value = extraValue(table, row, extra);
        if (!value) {
            const ColumnTarget& target = extra.target;
            return refuse(failure,
                          firstCellNotOfKind(table, extra.column, target.extra->kind, target.outOfFive));
        }
        film.setExtraValue(extra.field, *value);
    }
    return film;
}

QString quotedColumns(const DelimitedTable& table)
{
    QStringList names;
    for (const QString& name : table.columns)
        names.append(u'"' + shownName(name) + u'"');
    return names.join(QStringLiteral(", "));
}

QString takenBy(Field field, qsizetype column)
{
    return QStringLiteral("left out, %1 comes from column %2").arg(fieldName(field)).arg(column + 1);
}

// Why a column that the mapping sends nowhere is left out.
QString leftOutReason(const DelimitedTable& table,
                      qsizetype column,
                      const ImportMapping& mapping,
                      const ImportTarget& target)
{
    if (table.columns[column].trimmed().isEmpty() && examineColumn(table, column).empty)
        return QStringLiteral("left out, it has no name and no values");
    if (importedFields(mapping, target).size() >= MaxExtraFields)
        return QStringLiteral("left out, a list holds at most %1 extra fields").arg(MaxExtraFields);
    return QStringLiteral("left out");
}

// " -> new extra field "Seen" (yes/no)", or " -> extra field "Rating" (rating)" for a field the
// list has.
QString extraFieldLine(const ColumnTarget& target, const ImportTarget& list)
{
    const bool own = extraFieldIndex(list.fields, target.extra->name) >= 0;
    return QStringLiteral(" -> %1extra field \"%2\" (%3)")
        .arg(own ? QString() : QStringLiteral("new "),
             target.extra->name,
             kindWords(target.extra->kind, target.outOfFive));
}

// The sources of the fields, and the texts of the web links that come from no column.
struct Sources
{
    FieldSources fields;
    LinkTexts texts;
};

QString columnLine(const DelimitedTable& table,
                   qsizetype column,
                   const ImportMapping& mapping,
                   const Sources& sources,
                   const ImportTarget& target)
{
    const ColumnTarget chosen = mapping.value(column);
    const QString label = columnLabel(table, column);
    if (chosen.extra)
        return label + extraFieldLine(chosen, target);
    const std::optional<Field> field = chosen.field;
    if (!field)
        return label + QStringLiteral(": ") + leftOutReason(table, column, mapping, target);
    const qsizetype source = sourceOf(sources.fields, *field);
    if (source != column)
        return label + QStringLiteral(": ") + takenBy(*field, source);
    QString line = label + QStringLiteral(" -> ") + fieldName(*field).toString();
    const LinkTexts& texts = sources.texts;
    for (size_t link = 0; link < WebLinks.size(); ++link) {
        if (WebLinks[link].url == *field && !texts[link].isEmpty())
            line += QStringLiteral(", with \"%1\" as %2").arg(texts[link], fieldName(WebLinks[link].text));
    }
    return line;
}

} // namespace

std::optional<ImportAnalysis> analyseImport(QByteArray bytes, QString* failure)
{
    return refuseWhenOutOfMemory(failure, [&]() -> std::optional<ImportAnalysis> {
        std::optional<DelimitedTable> table = readDelimitedTable(std::move(bytes), failure);
        if (!table)
            return std::nullopt;
        // A sheet this program exported comes back as it was, without the apostrophes that kept a
        // spreadsheet from running its cells.
        table->exported = isExportedSheetHeader(table->columns);
        if (table->exported)
            std::transform(table->columns.begin(), table->columns.end(), table->columns.begin(), unshielded);
        return ImportAnalysis{std::move(*table)};
    });
}

std::optional<ImportAnalysis> analyseImportFile(const QString& path, QString* failure)
{
    if (QFileInfo(path).isDir())
        return refuse(failure, QStringLiteral("it is a folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(failure, file.errorString());
    // A device that never ends is read no further than the bound, a piece at a time.
    return refuseWhenOutOfMemory(failure, [&]() -> std::optional<ImportAnalysis> {
        QByteArray bytes;
        if (!file.isSequential())
            bytes.reserve(qMin<qint64>(file.size(), MaxTableBytes) + ByteWindow::FilePiece);
        while (bytes.size() <= MaxTableBytes) {
            const QByteArray piece = file.read(ByteWindow::FilePiece);
            if (piece.isEmpty())
                break;
            bytes.append(piece);
        }
        if (file.error() != QFileDevice::NoError)
            return refuse(failure, file.errorString());
        return analyseImport(std::move(bytes), failure);
    });
}

std::optional<ImportedFilms> importFilms(const ImportAnalysis& analysis,
                                         const ImportMapping& mapping,
                                         const ImportTarget& target,
                                         QString* failure)
{
    const FieldSources sources = fieldSources(mapping);
    if (sourceOf(sources, Field::Title) < 0) {
        return refuse(failure,
                      QStringLiteral("no column goes to the title; the columns are %1")
                          .arg(quotedColumns(analysis.table)));
    }
    const LinkTexts texts = linkTexts(analysis.table, sources);
    return refuseWhenOutOfMemory(failure, [&]() -> std::optional<ImportedFilms> {
        ImportedFilms imported{importedFields(mapping, target), {}};
        QList<ExtraSource> extras = extraSources(mapping, imported.fields);
        imported.films.reserve(analysis.table.rows.size());
        for (const TableRow& row : analysis.table.rows) {
            std::optional<FilmRecord> film = filmOfRow(analysis.table, row, sources, texts, extras, failure);
            if (!film)
                return std::nullopt;
            imported.films.append(std::move(*film));
        }
        return imported;
    });
}

QString importSummary(const ImportAnalysis& analysis)
{
    const qsizetype count = analysis.table.rows.size();
    return QStringLiteral("%1 %2, %3, separated by %4")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("film") : QStringLiteral("films"),
             analysis.table.encoding,
             separatorName(analysis.table.separator));
}

QStringList
columnReport(const ImportAnalysis& analysis, const ImportMapping& mapping, const ImportTarget& target)
{
    const FieldSources fields = fieldSources(mapping);
    const Sources sources{fields, linkTexts(analysis.table, fields)};
    QStringList lines;
    for (qsizetype column = 0; column < analysis.table.columns.size(); ++column)
        lines.append(columnLine(analysis.table, column, mapping, sources, target));
    return lines;
}

QStringList rowProblems(const DelimitedTable& table, qsizetype limit)
{
    QStringList lines;
    const qsizetype columns = table.columns.size();
    qsizetype more = 0;
    for (const TableRow& row : table.rows) {
        if (row.cellCount == columns)
            continue;
        if (lines.size() == limit) {
            ++more;
            continue;
        }
        const QString start = QStringLiteral("line %1: %2 cells where the header has %3; ")
                                  .arg(row.line)
                                  .arg(row.cellCount)
                                  .arg(columns);
        lines.append(start + (row.cellCount > columns
                                  ? QStringLiteral("the last %1 left out").arg(row.cellCount - columns)
                                  : QStringLiteral("the missing fields left empty")));
    }
    if (more > 0)
        lines.append(QStringLiteral("and %1 more rows with more or fewer cells than the header").arg(more));
    return lines;
}

QStringList
describeImport(const ImportAnalysis& analysis, const ImportMapping& mapping, const ImportTarget& target)
{
    return QStringList{importSummary(analysis)} + analysis.table.textChanges +
           columnReport(analysis, mapping, target) + rowProblems(analysis.table, ReportedRowProblems);
}

} // namespace reelkeep
