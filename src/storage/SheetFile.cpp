// Writing a list as a spreadsheet's comma-separated file.
#include "storage/SheetFile.h"

#include "storage/DelimitedTable.h"
#include "storage/ImportColumns.h"
#include "storage/InputLimits.h"
#include "text/Utf8.h"

namespace reelkeep {

namespace {

bool needsQuotes(QStringView cell)
{
    if (!cell.isEmpty() && (cell.front().isSpace() || cell.back().isSpace()))
        return true;
    return std::any_of(cell.begin(), cell.end(), [](QChar character) {
        return character == u',' || character == u'"' || character == u'\r' || character == u'\n';
    });
}

// Each cell a spreadsheet would run as a formula is written after an apostrophe, and in quotes.
void appendRow(QByteArray& out, const QStringList& cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out.append(',');
        const QString cell = shieldedFromFormula(cells[i]);
        if (cell.size() != cells[i].size() || needsQuotes(cell))
            out.append('"').append(QString(cell).replace(u'"', QStringLiteral("\"\"")).toUtf8()).append('"');
        else
            out.append(cell.toUtf8());
    }
    out.append("\r\n");
}

QStringList fieldCells()
{
    QStringList cells;
    for (int i = 0; i < FieldCount; ++i)
        cells.append(fieldName(fieldAt(i)).toString());
    return cells;
}

QStringList headerCells(const ExtraFields& fields)
{
    QStringList cells = fieldCells();
    for (const ExtraField& field : fields)
        cells.append(headerOfExtraField(field));
    return cells;
}

QStringList filmCells(const FilmRecord& film, qsizetype extraFields)
{
    QStringList cells(film.fields.begin(), film.fields.end());
    for (qsizetype field = 0; field < extraFields; ++field)
        cells.append(film.extraValue(field));
    return cells;
}

} // namespace

QByteArray writeSheet(const ListDocument& document, qsizetype* leftOut)
{
    QByteArray out = Utf8ByteOrderMark.toByteArray();
    appendRow(out, headerCells(document.fields));
    qsizetype blank = 0;
    for (const FilmRecord& film : document.films) {
        const QStringList cells = filmCells(film, document.fields.size());
        if (std::none_of(cells.begin(), cells.end(), holdsMoreThanSeparators))
            ++blank;
        else
            appendRow(out, cells);
    }
    if (leftOut)
        *leftOut = blank;
    return out;
}

bool isExportedSheetHeader(const QStringList& columns)
{
    static const QStringList fields = fieldCells();
    return columns.size() >= fields.size() && columns.first(fields.size()) == fields;
}

bool exportSheetFile(const QString& path,
                     const ListDocument& document,
                     QString* failure,
                     QStringList* warnings,
                     PreviousVersion previous)
{
    return refuseWhenOutOfMemory(failure, [&] {
        qsizetype leftOut = 0;
        const QByteArray bytes = writeSheet(document, &leftOut);
        if (!writeWholeFile(path, bytes, failure, previous))
            return false;
        if (!warnings)
            return true;
        if (leftOut > 0)
            warnings->append(
                QStringLiteral("%1 of the films hold nothing but commas, semicolons and tabs, which "
                               "a spreadsheet's row cannot hold: they are not in the file")
                    .arg(leftOut));
        if (bytes.size() > MaxTableBytes)
            warnings->append(QStringLiteral("the file takes more than %1, more than import reads")
                                 .arg(megabytes(MaxTableBytes)));
        return true;
    });
}

} // namespace reelkeep
