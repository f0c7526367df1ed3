// Importing films from delimited text: reading the file within bounds, making films from its
// rows, and saying what went where.
#include "storage/ImportedList.h"

#include "storage/ByteWindow.h"

#include <QFile>
#include <QFileInfo>

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

qsizetype sourceOf(const FieldSources& sources, Field field)
{
    return sources[static_cast<size_t>(field)];
}

// A column name on one line, as reports and link texts show it.
QString shownName(const QString& name)
{
    return name.simplified();
}

QString columnLabel(const DelimitedTable& table, qsizetype column)
{
    return QStringLiteral("column %1 \"%2\"").arg(column + 1).arg(shownName(table.columns[column]));
}

// For each web link, the text its films get from the name of the column that gives the URL when
// no column gives the text, "IMDb" for a column "IMDb"; empty otherwise, and for a column named
// after the URL field itself.
LinkTexts linkTexts(const DelimitedTable& table, const FieldSources& sources)
{
    LinkTexts texts;
    for (size_t link = 0; link < WebLinks.size(); ++link) {
        const qsizetype url = sourceOf(sources, WebLinks[link].url);
        if (url < 0 || sourceOf(sources, WebLinks[link].text) >= 0)
            continue;
        if (columnKey(table.columns[url]) != fieldName(WebLinks[link].url))
            texts[link] = shownName(table.columns[url]);
    }
    return texts;
}

FilmRecord filmOfRow(const DelimitedTable& table,
                     const TableRow& row,
                     const FieldSources& sources,
                     const LinkTexts& texts)
{
    FilmRecord film;
    for (size_t field = 0; field < sources.size(); ++field)
        film.fields[field] = table.cell(row, sources[field]);
    for (size_t link = 0; link < WebLinks.size(); ++link) {
        if (!texts[link].isEmpty() && !film[WebLinks[link].url].isEmpty())
            film[WebLinks[link].text] = texts[link];
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
QString leftOutReason(const DelimitedTable& table, qsizetype column, const FieldSources& sources)
{
    const std::optional<NamedTarget> target = targetOfName(table.columns[column]);
    if (!target)
        return QStringLiteral("left out, no field goes by that name");
    if (target->webLink) {
        const bool allTaken = std::all_of(WebLinks.begin(), WebLinks.end(), [&sources](const WebLink& link) {
            return sourceOf(sources, link.url) >= 0;
        });
        return allTaken ? QStringLiteral("left out, the three web links come from other columns")
                        : QStringLiteral("left out");
    }
    const qsizetype other = sourceOf(sources, target->field);
    return other < 0 ? QStringLiteral("left out") : takenBy(target->field, other);
}

QString columnLine(const DelimitedTable& table,
                   qsizetype column,
                   const ImportMapping& mapping,
                   const FieldSources& sources)
{
    const std::optional<Field> field = mapping.value(column);
    const QString label = columnLabel(table, column);
    if (!field)
        return label + QStringLiteral(": ") + leftOutReason(table, column, sources);
    const qsizetype source = sourceOf(sources, *field);
    if (source != column)
        return label + QStringLiteral(": ") + takenBy(*field, source);
    QString line = label + QStringLiteral(" -> ") + fieldName(*field).toString();
    const LinkTexts texts = linkTexts(table, sources);
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
        ImportAnalysis analysis;
        analysis.guessed = guessMapping(table->columns);
        analysis.table = std::move(*table);
        return analysis;
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

std::optional<QList<FilmRecord>>
importFilms(const ImportAnalysis& analysis, const ImportMapping& mapping, QString* failure)
{
    const FieldSources sources = fieldSources(mapping);
    if (sourceOf(sources, Field::Title) < 0) {
        return refuse(failure,
                      QStringLiteral("no column goes to the title; the columns are %1")
                          .arg(quotedColumns(analysis.table)));
    }
    const LinkTexts texts = linkTexts(analysis.table, sources);
    return refuseWhenOutOfMemory(failure, [&]() -> std::optional<QList<FilmRecord>> {
        QList<FilmRecord> films;
        films.reserve(analysis.table.rows.size());
        for (const TableRow& row : analysis.table.rows)
            films.append(filmOfRow(analysis.table, row, sources, texts));
        return films;
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

QStringList columnReport(const ImportAnalysis& analysis, const ImportMapping& mapping)
{
    const FieldSources sources = fieldSources(mapping);
    QStringList lines;
    for (qsizetype column = 0; column < analysis.table.columns.size(); ++column)
        lines.append(columnLine(analysis.table, column, mapping, sources));
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

QStringList describeImport(const ImportAnalysis& analysis, const ImportMapping& mapping)
{
    return QStringList{importSummary(analysis)} + analysis.table.textChanges +
           columnReport(analysis, mapping) + rowProblems(analysis.table, ReportedRowProblems);
}

} // namespace reelkeep
