// Reading delimited text: finding its separator and splitting it into cells with the quoting rules
// that spreadsheets write, each cell kept as where it ends in the text.
#include "storage/DelimitedTable.h"

#include "storage/TableText.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace reelkeep {

namespace {

constexpr char Quote = '"';
constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';

// UTF-16 turned into UTF-8 takes at most half as many bytes again.
static_assert(MaxTableBytes / 2 * 3 < INT32_MAX, "a cell's end fits 32 bits");

struct Separator
{
    char character;
    const char* name;
};

// The separators a table may use; on a tie the first wins.
constexpr std::array<Separator, 3> Separators = {{
    {',', "commas"},
    {';', "semicolons"},
    {'\t', "tabs"},
}};

std::nullopt_t refuse(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
    return std::nullopt;
}

// The text of a quoted cell as written from its opening quote to its end: what lies between the
// quotes, each doubled quote made one, then whatever follows the closing quote.
void unquote(QByteArrayView cell, QByteArray& out)
{
    out.clear();
    qsizetype at = 1;
    for (;;) {
        const qsizetype quote = cell.indexOf(Quote, at);
        if (quote < 0) {
            out.append(cell.sliced(at));
            return;
        }
        out.append(cell.sliced(at, quote - at));
        at = quote + 1;
        if (at >= cell.size() || cell[at] != Quote) {
            out.append(cell.sliced(at));
            return;
        }
        out.append(Quote);
        ++at;
    }
}

// A cell's bytes as written: quoted cells unquoted into the buffer.
QByteArrayView cellBytes(QByteArrayView cell, QByteArray& buffer)
{
    if (!cell.startsWith(Quote))
        return cell;
    unquote(cell, buffer);
    return buffer;
}

// The text of cell `column` of a row whose cells end at ends[row.firstEnd] onwards.
QString
cellText(QByteArrayView text, bool utf8, const TableRow& row, const QList<qint32>& ends, qsizetype column)
{
    const qsizetype end = ends[row.firstEnd + column];
    const qsizetype start = column == 0 ? row.start : ends[row.firstEnd + column - 1] + 1;
    QByteArray buffer;
    const QByteArrayView bytes = cellBytes(text.sliced(start, end - start), buffer);
    return utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

// Whether a spreadsheet would run a cell, or one that export shielded from running: its text begins
// with =, +, -, @, a tab or a carriage return after any apostrophes.
bool runsAsFormula(QStringView cell)
{
    const qsizetype start =
        std::find_if(cell.begin(), cell.end(), [](QChar c) { return c != u'\''; }) - cell.begin();
    return start < cell.size() && QStringView(u"=+-@\t\r").contains(cell[start]);
}

bool isSeparator(char16_t character)
{
    return std::any_of(Separators.begin(), Separators.end(), [character](const Separator& separator) {
        return separator.character == character;
    });
}

// Whether a cell's text holds more than separators. A row of nothing else is blank whichever the
// separator is, so that the separator found never depends on a blank line before the header.
bool holdsText(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) { return !isSeparator(char16_t(byte)); });
}

// Reads the rows of a text one after another, skipping blank rows. Each row's kept cells are
// told as where they end.
class RowReader
{
public:
    RowReader(QByteArrayView text, qsizetype start, char separator)
        : m_text(text)
        , m_separator(separator)
        , m_at(start)
    {}

    /// Reads the next row that holds some text, appending the ends of at most cellsKept of its
    /// cells to ends; false at the end of the text or when the row cannot be read, as failure()
    /// then says.
    bool next(TableRow& row, qsizetype cellsKept, QList<qint32>& ends)
    {
        while (m_at < m_text.size()) {
            if (!read(row, cellsKept, ends))
                return false;
            if (m_holdsText)
                return true;
            ends.resize(row.firstEnd); // a blank row keeps nothing
        }
        return false;
    }

    /// Why the last row could not be read, or the empty text.
    const QString& failure() const { return m_failure; }

private:
    bool read(TableRow& row, qsizetype cellsKept, QList<qint32>& ends)
    {
        row.line = m_line;
        row.start = m_at;
        row.firstEnd = ends.size();
        row.cellCount = 0;
        m_holdsText = false;
        for (;;) {
            const qsizetype start = m_at;
            if (!readCell())
                return false;
            m_holdsText = m_holdsText || holdsText(cellBytes(m_text.sliced(start, m_at - start), m_unquoted));
            if (row.cellCount < cellsKept)
                ends.append(static_cast<qint32>(m_at));
            ++row.cellCount;
            if (m_at >= m_text.size() || m_text[m_at] != m_separator)
                break;
            ++m_at;
        }
        skipLineEnd();
        return true;
    }

    bool endsCell(char character) const
    {
        return character == m_separator || character == CarriageReturn || character == LineFeed;
    }

    void skipRest()
    {
        while (m_at < m_text.size() && !endsCell(m_text[m_at]))
            ++m_at;
    }

    bool readCell()
    {
        if (m_at < m_text.size() && m_text[m_at] == Quote)
            return readQuoted();
        skipRest();
        return true;
    }

    // A quoted cell runs to the next quote that is not doubled, across separators and line
    // breaks; anything after the closing quote up to the end of the cell belongs to it.
    bool readQuoted()
    {
        const int firstLine = m_line;
        ++m_at;
        for (;;) {
            const qsizetype quote = m_text.indexOf(Quote, m_at);
            if (quote < 0) {
                m_failure = QStringLiteral("the quoted cell that begins on line %1 has no closing quote")
                                .arg(firstLine);
                return false;
            }
            countLines(m_text.sliced(m_at, quote - m_at));
            m_at = quote + 1;
            if (m_at >= m_text.size() || m_text[m_at] != Quote)
                break;
            ++m_at;
        }
        skipRest();
        return true;
    }

    // Counts the line ends in text that lies inside a cell, so that rows keep their line numbers.
    void countLines(QByteArrayView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool crLf = text[i] == CarriageReturn && i + 1 < text.size() && text[i + 1] == LineFeed;
            if ((text[i] == CarriageReturn && !crLf) || text[i] == LineFeed)
                ++m_line;
        }
    }

    // Consumes one line end: CR LF, a lone LF or a lone CR.
    void skipLineEnd()
    {
        if (m_at >= m_text.size())
            return;
        const bool carriageReturn = m_text[m_at] == CarriageReturn;
        ++m_at;
        if (carriageReturn && m_at < m_text.size() && m_text[m_at] == LineFeed)
            ++m_at;
        ++m_line;
    }

    QByteArrayView m_text;
    char m_separator;
    qsizetype m_at;
    int m_line = 1;
    bool m_holdsText = false;
    QByteArray m_unquoted;
    QString m_failure;
};

// The number of cells of the header when split by a separator; 0 when it cannot be read.
qsizetype headerCells(const TableText& text, char separator)
{
    RowReader reader(text.bytes, text.start, separator);
    TableRow header;
    QList<qint32> ends;
    return reader.next(header, 0, ends) ? header.cellCount : 0;
}

char findSeparator(const TableText& text)
{
    char best = Separators[0].character;
    qsizetype bestCells = 0;
    for (const Separator& separator : Separators) {
        const qsizetype cells = headerCells(text, separator.character);
        if (cells > bestCells) {
            best = separator.character;
            bestCells = cells;
        }
    }
    return best;
}

} // namespace

QString DelimitedTable::cell(const TableRow& row, qsizetype column) const
{
    if (column < 0 || column >= keptCells(row))
        return QString();
    QString text = cellText(this->text, utf8, row, cellEnds, column);
    return exported ? unshielded(text) : text;
}

QString shieldedFromFormula(const QString& cell)
{
    return runsAsFormula(cell) ? QLatin1Char('\'') + cell : cell;
}

QString unshielded(const QString& shielded)
{
    return shielded.startsWith(u'\'') && runsAsFormula(QStringView(shielded).sliced(1)) ? shielded.sliced(1)
                                                                                        : shielded;
}

bool holdsMoreThanSeparators(QStringView text)
{
    return std::any_of(
        text.begin(), text.end(), [](QChar character) { return !isSeparator(character.unicode()); });
}

QString separatorName(QChar separator)
{
    const auto found =
        std::find_if(Separators.begin(), Separators.end(), [separator](const Separator& known) {
            return QChar(known.character) == separator;
        });
    return found == Separators.end() ? QString(separator) : QString::fromLatin1(found->name);
}

std::optional<DelimitedTable> readDelimitedTable(QByteArray bytes, QString* failure)
{
    if (bytes.size() > MaxTableBytes)
        return refuse(failure, fileTooLargeFailure(MaxTableBytes));
    TableText text = readTableText(std::move(bytes));
    DelimitedTable table;
    table.encoding = text.encoding;
    table.textChanges = text.changes;
    table.utf8 = text.utf8;
    const char separator = findSeparator(text);
    table.separator = QChar(separator);
    RowReader reader(text.bytes, text.start, separator);
    TableRow header;
    QList<qint32> headerEnds;
    if (!reader.next(header, MaxTableColumns, headerEnds)) {
        return refuse(failure,
                      reader.failure().isEmpty() ? QStringLiteral("the file has no header line")
                                                 : reader.failure());
    }
    if (header.cellCount > MaxTableColumns)
        return refuse(failure, QStringLiteral("the header has more than %1 columns").arg(MaxTableColumns));
    for (qsizetype column = 0; column < header.cellCount; ++column)
        table.columns.append(cellText(text.bytes, text.utf8, header, headerEnds, column));
    // Every cell but a line's last ends at a separator, so their count bounds the cells kept, and
    // the ends are never moved as the list of them grows.
    const QByteArrayView rest = QByteArrayView(text.bytes).sliced(text.start);
    const qsizetype delimiters = std::count(rest.begin(), rest.end(), separator) +
                                 std::count(rest.begin(), rest.end(), LineFeed) +
                                 std::count(rest.begin(), rest.end(), CarriageReturn);
    table.cellEnds.reserve(qMin(delimiters + 1, MaxListFilms * table.columns.size()));
    TableRow row;
    while (reader.next(row, table.columns.size(), table.cellEnds)) {
        if (table.rows.size() == MaxListFilms)
            return refuse(failure, tooManyFilmsFailure());
        table.rows.append(row);
    }
    if (!reader.failure().isEmpty())
        return refuse(failure, reader.failure());
    table.text = std::move(text.bytes);
    return table;
}

} // namespace reelkeep
