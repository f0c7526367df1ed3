// The comma-separated list-file form, written in memory and read through a window on its bytes.
#include "storage/CsvListFile.h"

#include "storage/ByteWindow.h"
#include "storage/FilmTexts.h"
#include "storage/InputLimits.h"
#include "storage/Utf8.h"
#include "storage/Windows1252.h"

#include <array>
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

void setFailure(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
}

void appendQuoted(QString& out, const QString& field)
{
    out.append(Quote);
    if (field.contains(Quote))
        out.append(QString(field).replace(Quote, QStringLiteral("\"\"")));
    else
        out.append(field);
    out.append(Quote);
}

bool isBlank(int byte)
{
    return byte == ' ' || byte == '\t';
}

bool isLineEnd(int byte)
{
    return byte == CarriageReturnByte || byte == LineFeedByte;
}

bool endsField(int byte)
{
    return byte == CommaByte || isLineEnd(byte);
}

// Reads fields one after another as Input # does, with a doubled quote inside a quoted field read
// as one quote. Each field's bytes are decoded straight into its own text. The bytes come through
// a window: a field that runs past the bytes in view while more are to come is cut short, and
// read again once more are in view.
class FieldReader
{
public:
    explicit FieldReader(ByteWindow& window)
        : m_window(window)
        , m_bytes(window.bytes())
    {
        m_utf8 = startsWithMark();
        if (m_utf8)
            m_position = Utf8ByteOrderMark.size();
    }

    bool isUtf8() const { return m_utf8; }

    bool atEnd()
    {
        while (m_position >= m_bytes.size()) {
            if (m_window.atDataEnd())
                return true;
            moveOnFrom(m_position);
        }
        return false;
    }

    /// True when nothing but line ends is left, as after the last film of a file that an editor
    /// saved with an extra line end.
    bool onlyLineEndsLeft()
    {
        for (;;) {
            qsizetype i = m_position;
            while (i < m_bytes.size() && isLineEnd(m_bytes[i]))
                ++i;
            if (i < m_bytes.size())
                return false;
            if (m_window.atDataEnd())
                return true;
            moveOnFrom(m_position);
        }
    }

    /// Reads the next field, field number `number` of a film, into `field` through `texts`.
    /// False for a field of more than MaxCsvFieldBytes, which is read no further.
    bool readField(FilmTexts& texts, int number, QString& field)
    {
        m_texts = &texts;
        m_fieldNumber = number;
        m_field = &field;
        for (;;) {
            const qsizetype start = m_position;
            m_cutShort = false;
            readFieldInView();
            const qsizetype taken = (m_cutShort ? m_bytes.size() : m_position) - start;
            if (taken > MaxCsvFieldBytes) {
                m_position = start; // where the field begins, for the failure
                return false;
            }
            if (!m_cutShort)
                return true;
            moveOnFrom(start);
        }
    }

    /// Where in the file the first bytes that are not UTF-8 are, in a UTF-8 file, or -1.
    qsizetype invalidUtf8At() const { return m_invalidUtf8At; }

    qsizetype bytesRead() const { return m_window.offset() + m_position; }
    qsizetype expectedSize() const { return m_window.expectedSize(); }

private:
    // Whether the bytes begin with the UTF-8 mark, which makes them UTF-8.
    bool startsWithMark()
    {
        while (m_bytes.size() < Utf8ByteOrderMark.size() && !m_window.atDataEnd())
            moveOnFrom(0);
        return m_bytes.startsWith(Utf8ByteOrderMark);
    }

    // Drops the bytes before from and brings more into view; reading goes on from there.
    void moveOnFrom(qsizetype from)
    {
        m_window.moveOn(from);
        m_bytes = m_window.bytes();
        m_position = 0;
    }

    // The byte at a position, or -1 past the bytes in view, where the field is cut short if more
    // bytes are to come.
    int byteAt(qsizetype at)
    {
        if (at < m_bytes.size())
            return static_cast<unsigned char>(m_bytes[at]);
        if (!m_window.atDataEnd())
            m_cutShort = true;
        return -1;
    }

    bool insideField(qsizetype at)
    {
        const int byte = byteAt(at);
        return byte >= 0 && !endsField(byte);
    }

    void decode(QByteArrayView bytes)
    {
        if (m_cutShort)
            return;
        if (m_texts->read(m_fieldNumber, bytes, *m_field) && m_invalidUtf8At < 0)
            noteInvalidUtf8(bytes);
    }

    // Notes the file position of the field's first byte that is not UTF-8: exact for the field's
    // bytes in view, the field's start for its quotes made one.
    void noteInvalidUtf8(QByteArrayView bytes)
    {
        const qsizetype at = firstInvalidUtf8(bytes);
        if (at < 0)
            return;
        const bool inView = bytes.data() >= m_bytes.data() && bytes.data() < m_bytes.data() + m_bytes.size();
        m_invalidUtf8At = m_window.offset() + (inView ? bytes.data() - m_bytes.data() + at : m_fieldStart);
    }

    void readFieldInView()
    {
        m_fieldStart = m_position;
        while (isBlank(byteAt(m_position)))
            ++m_position;
        const int first = byteAt(m_position);
        if (first < 0)
            *m_field = QString();
        else if (first == QuoteByte)
            readQuoted();
        else
            readUnquoted();
    }

    // The position of the next quote from a position on, or the end of the bytes in view.
    qsizetype nextQuote(qsizetype from) const
    {
        const void* found = std::memchr(m_bytes.data() + from, QuoteByte, size_t(m_bytes.size() - from));
        return found ? static_cast<const char*>(found) - m_bytes.data() : m_bytes.size();
    }

    // Whether a quote is at a position and another follows it.
    bool quoteIsDoubled(qsizetype at) { return byteAt(at) == QuoteByte && byteAt(at + 1) == QuoteByte; }

    // A quoted field runs to the next lone quote, across commas and line breaks; whatever follows
    // it up to the next comma or line end is skipped. A quote left open runs to the end of the file.
    void readQuoted()
    {
        const qsizetype start = m_position + 1;
        m_position = nextQuote(start);
        const QByteArrayView bytes =
            quoteIsDoubled(m_position) ? undoubleQuotes(start) : m_bytes.sliced(start, m_position - start);
        if (byteAt(m_position) >= 0)
            ++m_position; // the closing quote
        while (insideField(m_position))
            ++m_position;
        skipDelimiter();
        decode(bytes);
    }

    // The bytes of a quoted field that holds doubled quotes, each pair made one, gathered in a
    // buffer that serves every such field. Starts at the first doubled quote and ends at the
    // closing quote or the end of the bytes.
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
    void readUnquoted()
    {
        const qsizetype start = m_position;
        while (insideField(m_position))
            ++m_position;
        qsizetype end = m_position;
        while (end > start && isBlank(m_bytes[end - 1]))
            --end;
        skipDelimiter();
        decode(m_bytes.sliced(start, end - start));
    }

    // Consumes one comma or one line end: CR LF, a lone CR or a lone LF.
    void skipDelimiter()
    {
        const int delimiter = byteAt(m_position);
        if (delimiter < 0)
            return;
        ++m_position;
        if (delimiter == CarriageReturnByte && byteAt(m_position) == LineFeedByte)
            ++m_position;
    }

    ByteWindow& m_window;
    QByteArrayView m_bytes;
    bool m_utf8 = false;
    qsizetype m_position = 0;
    qsizetype m_fieldStart = 0;
    qsizetype m_invalidUtf8At = -1;
    bool m_cutShort = false;
    QByteArray m_undoubled;
    FilmTexts* m_texts = nullptr;
    int m_fieldNumber = 0;
    QString* m_field = nullptr;
};

// The films a file seems to hold, judged by the bytes its first films took, with an eighth to
// spare, so that the list is seldom moved as it grows. No more than those read when the size of
// the file is not known.
qsizetype projectedFilmCount(const FieldReader& reader, qsizetype filmsRead)
{
    if (reader.expectedSize() < 0)
        return filmsRead;
    const qsizetype projected = filmsRead * reader.expectedSize() / qMax<qsizetype>(reader.bytesRead(), 1);
    return qMin<qsizetype>(projected + projected / 8, MaxListFilms);
}

// The film lines as text, for a file in UTF-8.
QString linesText(const QList<FilmRecord>& films)
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
    return text;
}

// Appends a field in quotes, each quote in it doubled, in Windows-1252; false when a character
// has no byte in the code page.
bool appendQuotedWindows1252(QByteArray& out, QStringView field)
{
    out.append(QuoteByte);
    for (qsizetype quote = field.indexOf(Quote); quote >= 0; quote = field.indexOf(Quote)) {
        if (!appendWindows1252(out, field.first(quote + 1)))
            return false;
        out.append(QuoteByte);
        field = field.sliced(quote + 1);
    }
    if (!appendWindows1252(out, field))
        return false;
    out.append(QuoteByte);
    return true;
}

// The film lines written straight into Windows-1252 bytes, or nothing when a character has no
// byte in the code page.
std::optional<QByteArray> windows1252Lines(const QList<FilmRecord>& films)
{
    qsizetype size = 0;
    for (const FilmRecord& film : films) {
        for (const QString& field : film.fields)
            size += field.size() + 3; // two quotes and a comma or a line end's first byte
        size += 1;
    }
    QByteArray bytes;
    bytes.reserve(size);
    for (const FilmRecord& film : films) {
        for (int i = 0; i < FieldCount; ++i) {
            if (i > 0)
                bytes.append(CommaByte);
            if (!appendQuotedWindows1252(bytes, film.fields[static_cast<size_t>(i)]))
                return std::nullopt;
        }
        bytes.append("\r\n");
    }
    return bytes;
}

} // namespace

QByteArray writeCsvList(const QList<FilmRecord>& films)
{
    if (std::optional<QByteArray> bytes = windows1252Lines(films))
        return *std::move(bytes);
    return Utf8ByteOrderMark.toByteArray() + linesText(films).toUtf8();
}

std::optional<QList<FilmRecord>> readCsvList(QByteArrayView bytes, QString* failure)
{
    ByteWindow window(bytes);
    return readCsvList(window, failure);
}

std::optional<QList<FilmRecord>> readCsvList(ByteWindow& window, QString* failure, qsizetype* invalidUtf8At)
{
    constexpr qsizetype FilmsBeforeReserving = 64;
    FieldReader reader(window);
    FilmTexts texts(reader.isUtf8());
    QList<FilmRecord> films;
    while (!reader.onlyLineEndsLeft()) {
        if (films.size() == MaxListFilms) {
            setFailure(failure, tooManyFilmsFailure());
            return std::nullopt;
        }
        if (films.size() == FilmsBeforeReserving)
            films.reserve(projectedFilmCount(reader, films.size()));
        FilmRecord& film = films.emplace_back();
        for (int i = 0; i < FieldCount && !reader.atEnd(); ++i) {
            if (!reader.readField(texts, i, film.fields[static_cast<size_t>(i)])) {
                setFailure(failure,
                           QStringLiteral("film %1 has a field of more than %2 at byte %3")
                               .arg(films.size())
                               .arg(megabytes(MaxCsvFieldBytes))
                               .arg(reader.bytesRead() + 1));
                return std::nullopt;
            }
        }
    }
    if (!window.failure().isEmpty()) {
        setFailure(failure, window.failure());
        return std::nullopt;
    }
    if (invalidUtf8At)
        *invalidUtf8At = reader.invalidUtf8At();
    return films;
}

} // namespace reelkeep
