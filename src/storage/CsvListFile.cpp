// The comma-separated list-file form, written and read in memory.
#include "storage/CsvListFile.h"

#include "catalogue/Catalogue.h"
#include "storage/Utf8.h"
#include "storage/Windows1252.h"

#include <cstring>

namespace reelkeep {

namespace {

constexpr QChar Quote = u'"';
constexpr QChar Comma = u',';

// The delimiters as bytes. Each is an ASCII byte, which neither Windows-1252 nor UTF-8 uses inside
// another character, so fields are found in the bytes of either and each is decoded on its own.
constexpr char QuoteByte = '"';
constexpr char CommaByte = ',';
constexpr char CarriageReturnByte = '\r';
constexpr char LineFeedByte = '\n';

void appendQuoted(QString& out, const QString& field)
{
    out.append(Quote);
    if (field.contains(Quote))
        out.append(QString(field).replace(Quote, QStringLiteral("\"\"")));
    else
        out.append(field);
    out.append(Quote);
}

bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

bool isLineEnd(char byte)
{
    return byte == CarriageReturnByte || byte == LineFeedByte;
}

bool endsField(char byte)
{
    return byte == CommaByte || isLineEnd(byte);
}

// Reads fields one after another as Input # does, with a doubled quote inside a quoted field read
// as one quote. Each field's bytes are decoded straight into its own text.
class FieldReader
{
public:
    FieldReader(QByteArrayView bytes, bool utf8)
        : m_bytes(bytes)
        , m_utf8(utf8)
    {}

    bool atEnd() const { return m_position >= m_bytes.size(); }

    qsizetype bytesRead() const { return m_position; }
    qsizetype size() const { return m_bytes.size(); }

    /// True when nothing but line ends is left, as after the last film of a file that an editor
    /// saved with an extra line end.
    bool onlyLineEndsLeft() const
    {
        for (qsizetype i = m_position; i < m_bytes.size(); ++i) {
            if (!isLineEnd(m_bytes[i]))
                return false;
        }
        return true;
    }

    QString readField()
    {
        while (!atEnd() && isBlank(current()))
            ++m_position;
        if (atEnd())
            return {};
        if (current() == QuoteByte)
            return readQuoted();
        return readUnquoted();
    }

private:
    char current() const { return m_bytes[m_position]; }

    QString decode(QByteArrayView bytes) const
    {
        return m_utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
    }

    // The position of the next quote from a position on, or the size when none is left.
    qsizetype nextQuote(qsizetype from) const
    {
        const void* found = std::memchr(m_bytes.data() + from, QuoteByte, size_t(m_bytes.size() - from));
        return found ? static_cast<const char*>(found) - m_bytes.data() : m_bytes.size();
    }

    // Whether the quote at a position is the first of a doubled pair.
    bool quoteIsDoubled(qsizetype at) const
    {
        return at + 1 < m_bytes.size() && m_bytes[at + 1] == QuoteByte;
    }

    // A quoted field runs to the next lone quote, across commas and line breaks; whatever follows
    // it up to the next comma or line end is skipped. A quote left open runs to the end of the file.
    QString readQuoted()
    {
        const qsizetype start = m_position + 1;
        m_position = nextQuote(start);
        QString field = quoteIsDoubled(m_position) ? decode(undoubleQuotes(start))
                                                   : decode(m_bytes.sliced(start, m_position - start));
        if (!atEnd())
            ++m_position; // the closing quote
        while (!atEnd() && !endsField(current()))
            ++m_position;
        skipDelimiter();
        return field;
    }

    // The bytes of a quoted field that holds doubled quotes, each pair made one, gathered in a
    // buffer that serves every such field. Starts at the first doubled quote and ends at the
    // closing quote or the end of the file.
    QByteArrayView undoubleQuotes(qsizetype start)
    {
        m_undoubled.clear();
        while (quoteIsDoubled(m_position)) {
            m_undoubled.append(m_bytes.sliced(start, m_position + 1 - start));
            start = m_position + 2;
            m_position = nextQuote(start);
        }
        m_undoubled.append(m_bytes.sliced(start, m_position - start));
        return m_undoubled;
    }

    // An unquoted field runs to the next comma or line end, trailing blanks trimmed.
    QString readUnquoted()
    {
        const qsizetype start = m_position;
        while (!atEnd() && !endsField(current()))
            ++m_position;
        qsizetype end = m_position;
        while (end > start && isBlank(m_bytes[end - 1]))
            --end;
        skipDelimiter();
        return decode(m_bytes.sliced(start, end - start));
    }

    // Consumes one comma or one line end: CR LF, a lone CR or a lone LF.
    void skipDelimiter()
    {
        if (atEnd())
            return;
        const char delimiter = current();
        ++m_position;
        if (delimiter == CarriageReturnByte && !atEnd() && current() == LineFeedByte)
            ++m_position;
    }

    QByteArrayView m_bytes;
    bool m_utf8;
    qsizetype m_position = 0;
    QByteArray m_undoubled;
};

// The films a file seems to hold, judged by the bytes its first films took, with an eighth to
// spare, so that the list is seldom moved as it grows.
qsizetype projectedFilmCount(const FieldReader& reader, qsizetype filmsRead)
{
    const qsizetype projected = filmsRead * reader.size() / qMax<qsizetype>(reader.bytesRead(), 1);
    return qMin<qsizetype>(projected + projected / 8, Catalogue::MaxEntries);
}

} // namespace

QByteArray writeCsvList(const QList<FilmRecord>& films)
{
    QString text;
    for (const FilmRecord& film : films) {
        for (int i = 0; i < FieldCount; ++i) {
            if (i > 0)
                text.append(Comma);
            appendQuoted(text, film.fields[static_cast<size_t>(i)]);
        }
        text.append(QStringLiteral("\r\n"));
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    if (appendWindows1252(bytes, text))
        return bytes;
    return Utf8ByteOrderMark.toByteArray() + text.toUtf8();
}

std::optional<QList<FilmRecord>> readCsvList(QByteArrayView bytes, QString* failure)
{
    const bool utf8 = bytes.startsWith(Utf8ByteOrderMark);
    FieldReader reader(utf8 ? bytes.sliced(Utf8ByteOrderMark.size()) : bytes, utf8);
    constexpr qsizetype FilmsBeforeReserving = 64;
    QList<FilmRecord> films;
    while (!reader.onlyLineEndsLeft()) {
        if (films.size() == Catalogue::MaxEntries) {
            if (failure)
                *failure = QStringLiteral("the file holds more than 32,767 films");
            return std::nullopt;
        }
        if (films.size() == FilmsBeforeReserving)
            films.reserve(projectedFilmCount(reader, films.size()));
        FilmRecord& film = films.emplace_back();
        for (int i = 0; i < FieldCount && !reader.atEnd(); ++i)
            film.fields[static_cast<size_t>(i)] = reader.readField();
    }
    return films;
}

} // namespace reelkeep
