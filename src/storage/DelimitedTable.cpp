// Reading delimited text: finding its encoding and separator, and splitting it into cells with
// the quoting rules that spreadsheets write.
#include "storage/DelimitedTable.h"

#include "storage/Windows1252.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace reelkeep {

namespace {

constexpr QChar Quote = u'"';
constexpr QChar CarriageReturn = u'\r';
constexpr QChar LineFeed = u'\n';

struct Separator
{
    QChar character;
    const char* name;
};

// The separators a table may use; on a tie the first wins.
constexpr std::array<Separator, 3> Separators = {{
    {u',', "commas"},
    {u';', "semicolons"},
    {u'\t', "tabs"},
}};

std::nullopt_t refuse(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
    return std::nullopt;
}

// Replaces each half of a surrogate pair that stands alone by U+FFFD, as UTF-8 decoding does with
// a malformed sequence: the UTF-16 decoder keeps them, and no list file could store them.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// The text of the bytes, setting encoding to the name of the encoding they were read in.
QString decodeTable(QByteArrayView bytes, QString& encoding)
{
    constexpr auto Stateless = QStringDecoder::Flag::Stateless;
    if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes)) {
        encoding = QString::fromLatin1(QStringConverter::nameForEncoding(*marked)) +
                   QStringLiteral(" with a byte-order mark");
        QStringDecoder decoder(*marked, Stateless); // drops the mark
        return withoutLoneSurrogates(decoder(bytes));
    }
    // Stateless, a sequence cut short at the end is an error too.
    QStringDecoder utf8(QStringConverter::Utf8, Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        encoding = QStringLiteral("UTF-8");
        return text;
    }
    encoding = QStringLiteral("Windows-1252");
    return decodeWindows1252(bytes);
}

// Whether a cell holds more than separators. A row of nothing else is blank whichever the
// separator is, so that the separator found never depends on a blank line before the header.
bool holdsText(QStringView cell)
{
    return std::any_of(cell.begin(), cell.end(), [](QChar character) {
        return std::none_of(Separators.begin(), Separators.end(), [character](const Separator& separator) {
            return separator.character == character;
        });
    });
}

// Reads the rows of a text one after another, skipping blank rows.
class RowReader
{
public:
    RowReader(QStringView text, QChar separator)
        : m_text(text)
        , m_separator(separator)
    {}

    /// Reads the next row that holds some text, keeping at most cellsKept of its cells; false at
    /// the end of the text or when the row cannot be read, as failure() then says.
    bool next(TableRow& row, qsizetype cellsKept)
    {
        while (m_at < m_text.size()) {
            if (!read(row, cellsKept))
                return false;
            if (m_holdsText)
                return true;
        }
        return false;
    }

    /// Why the last row could not be read, or the empty text.
    const QString& failure() const { return m_failure; }

private:
    bool read(TableRow& row, qsizetype cellsKept)
    {
        row.line = m_line;
        row.cells.clear();
        row.cellCount = 0;
        m_holdsText = false;
        for (;;) {
            QString cell;
            if (!readCell(cell))
                return false;
            m_holdsText = m_holdsText || holdsText(cell);
            if (row.cellCount < cellsKept)
                row.cells.append(std::move(cell));
            ++row.cellCount;
            if (m_at >= m_text.size() || m_text[m_at] != m_separator)
                break;
            ++m_at;
        }
        skipLineEnd();
        return true;
    }

    bool endsCell(QChar character) const
    {
        return character == m_separator || character == CarriageReturn || character == LineFeed;
    }

    // Appends the characters up to the end of the cell.
    void readRest(QString& cell)
    {
        const qsizetype start = m_at;
        while (m_at < m_text.size() && !endsCell(m_text[m_at]))
            ++m_at;
        cell.append(m_text.sliced(start, m_at - start));
    }

    bool readCell(QString& cell)
    {
        if (m_at < m_text.size() && m_text[m_at] == Quote)
            return readQuoted(cell);
        readRest(cell);
        return true;
    }

    // A quoted cell runs to the next quote that is not doubled, across separators and line
    // breaks; anything after the closing quote up to the end of the cell is kept as written.
    bool readQuoted(QString& cell)
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
            const QStringView part = m_text.sliced(m_at, quote - m_at);
            countLines(part);
            cell.append(part);
            m_at = quote + 1;
            if (m_at >= m_text.size() || m_text[m_at] != Quote)
                break;
            cell.append(Quote);
            ++m_at;
        }
        readRest(cell);
        return true;
    }

    // Counts the line ends in text that lies inside a cell, so that rows keep their line numbers.
    void countLines(QStringView text)
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

    QStringView m_text;
    QChar m_separator;
    qsizetype m_at = 0;
    int m_line = 1;
    bool m_holdsText = false;
    QString m_failure;
};

// The number of cells of the header when split by a separator; 0 when it cannot be read.
qsizetype headerCells(QStringView text, QChar separator)
{
    RowReader reader(text, separator);
    TableRow header;
    return reader.next(header, 0) ? header.cellCount : 0;
}

QChar findSeparator(QStringView text)
{
    QChar best = Separators[0].character;
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

QString separatorName(QChar separator)
{
    const auto found =
        std::find_if(Separators.begin(), Separators.end(), [separator](const Separator& known) {
            return known.character == separator;
        });
    return found == Separators.end() ? QString(separator) : QString::fromLatin1(found->name);
}

std::optional<DelimitedTable> readDelimitedTable(QByteArrayView bytes, QString* failure)
{
    if (bytes.size() > MaxTableBytes)
        return refuse(failure, fileTooLargeFailure(MaxTableBytes));
    DelimitedTable table;
    const QString text = decodeTable(bytes, table.encoding);
    table.separator = findSeparator(text);
    RowReader reader(text, table.separator);
    TableRow header;
    if (!reader.next(header, MaxTableColumns)) {
        return refuse(failure,
                      reader.failure().isEmpty() ? QStringLiteral("the file has no header line")
                                                 : reader.failure());
    }
    if (header.cellCount > MaxTableColumns)
        return refuse(failure, QStringLiteral("the header has more than %1 columns").arg(MaxTableColumns));
    table.columns = std::move(header.cells);
    TableRow row;
    while (reader.next(row, table.columns.size())) {
        if (table.rows.size() == MaxListFilms)
            return refuse(failure, tooManyFilmsFailure());
        table.rows.append(std::move(row));
    }
    if (!reader.failure().isEmpty())
        return refuse(failure, reader.failure());
    return table;
}

} // namespace reelkeep
