// The comma-separated list-file form, written in memory and read through a window on its bytes.
#include "storage/CsvListFile.h"

#include "storage/ByteWindow.h"
#include "storage/FilmTexts.h"
#include "storage/InputLimits.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace reelkeep {

namespace {

constexpr QChar Quote = u'"';

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

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar character) { return character.unicode() < 0x80; });
}

// Turns each field's bytes into its text. A file that begins with the UTF-8 mark is UTF-8. Without
// the mark, bytes below 128 read the same in UTF-8 and in Windows-1252, so the file is read as UTF-8
// from the first field whose other bytes form UTF-8 until a field's bytes do not: the file is then
// Windows-1252 after all, and the texts read so far are turned back into the UTF-8 bytes they were
// read from and read again, so that a pipe, which cannot be read twice, loads as a file does.
class CsvTexts
{
public:
    CsvTexts(bool marked, QList<FilmRecord>& films)
        : m_state(marked ? State::Marked : State::Ascii)
        , m_films(films)
    {}

    ListEncoding encoding() const
    {
        switch (m_state) {
        case State::Marked:
            return ListEncoding::Utf8WithMark;
        case State::Utf8:
            return ListEncoding::Utf8;
        case State::Ascii:
        case State::Windows1252:
            break;
        }
        return ListEncoding::Windows1252;
    }

    TextFindings findings;

    /// Reads the bytes of field number `field` into text; at(i) is the position in the file of
    /// bytes[i].
    template <typename Position> void read(int field, QByteArrayView bytes, QString& text, Position at)
    {
        const bool malformed = m_texts.read(field, bytes, text);
        switch (m_state) {
        case State::Marked:
            if (malformed && findings.invalidUtf8At < 0)
                findings.invalidUtf8At = at(firstInvalidUtf8(bytes));
            return;
        case State::Ascii:
            // A text of as many characters as bytes, well-formed, is ASCII.
            if (!malformed && text.size() != bytes.size()) {
                m_state = State::Utf8;
                m_firstUtf8At = at(firstUtf8Sequence(bytes));
            }
            break;
        case State::Utf8:
            if (malformed)
                findings.utf8At = m_firstUtf8At;
            break;
        case State::Windows1252:
            // A field in UTF-8 among them is well-formed UTF-8 and not ASCII alone, as a file in
            // UTF-8 is: two letters of Windows-1252 that happen to form UTF-8 do not make one.
            if (findings.utf8At < 0 && firstInvalidUtf8(bytes) < 0)
                findings.utf8At = at(firstUtf8Sequence(bytes));
            return;
        }
        if (malformed) {
            readAgainAsWindows1252();
            read(field, bytes, text, at);
        }
    }

private:
    enum class State
    {
        Marked,
        Ascii,
        Utf8,
        Windows1252,
    };

    void readAgainAsWindows1252()
    {
        m_state = State::Windows1252;
        m_texts = FilmTexts(false);
        for (FilmRecord& film : m_films) {
            for (QString& text : film.fields) {
                if (!isAscii(text))
                    text = decodeWindows1252(text.toUtf8());
            }
        }
    }

    State m_state;
    QList<FilmRecord>& m_films;
    FilmTexts m_texts{true};
    qsizetype m_firstUtf8At = -1;
};

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
        m_marked = startsWithMark();
        if (m_marked)
            m_position = Utf8ByteOrderMark.size();
    }

    bool isMarked() const { return m_marked; }

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
    /// False for a field longer than MaxCsvFieldBytes, which is read no further.
    bool readField(CsvTexts& texts, int number, QString& field)
    {
        m_texts = &texts;
        m_fieldNumber = number;
        m_field = &field;
        for (;;) {
            const qsizetype start = m_position;
            m_cutShort = false;
            readFieldInView();
            // A field takes the bytes between the delimiters around it, as the writer counts them.
            if (m_fieldEnd - start > MaxCsvFieldBytes) {
                m_position = start; // where the field begins, for the failure
                return false;
            }
            if (!m_cutShort)
                return true;
            moveOnFrom(start);
        }
    }

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
        m_texts->read(m_fieldNumber, bytes, *m_field, [&](qsizetype at) { return filePosition(bytes, at); });
    }

    // The position in the file of bytes[at]: exact for the field's bytes in view, the field's start
    // for its quotes made one; -1 for an `at` of -1.
    qsizetype filePosition(QByteArrayView bytes, qsizetype at) const
    {
        if (at < 0)
            return -1;
        const bool inView = bytes.data() >= m_bytes.data() && bytes.data() < m_bytes.data() + m_bytes.size();
        return m_window.offset() + (inView ? bytes.data() - m_bytes.data() + at : m_fieldStart);
    }

    void readFieldInView()
    {
        m_fieldStart = m_position;
        while (isBlank(byteAt(m_position)))
            ++m_position;
        const int first = byteAt(m_position);
        m_fieldEnd = m_position;
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
        m_fieldEnd = m_position;
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
        m_fieldEnd = m_position;
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
    bool m_marked = false;
    qsizetype m_position = 0;
    qsizetype m_fieldStart = 0;
    qsizetype m_fieldEnd = 0;
    bool m_cutShort = false;
    QByteArray m_undoubled;
    CsvTexts* m_texts = nullptr;
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

// Writes the film lines in one encoding. A text that does not fit it sets unfit; a field too long
// for loading to read sets failure, naming the field.
class CsvWriter
{
public:
    CsvWriter(ListEncoding encoding, qsizetype sizeHint)
        : m_utf8(encoding != ListEncoding::Windows1252)
    {
        m_bytes.reserve(sizeHint);
        if (encoding == ListEncoding::Utf8WithMark)
            m_bytes.append(Utf8ByteOrderMark);
    }

    bool unfit = false;
    QString failure;

    bool writeFilm(const FilmRecord& film, qsizetype position)
    {
        for (int i = 0; i < FieldCount; ++i) {
            if (i > 0)
                m_bytes.append(CommaByte);
            const qsizetype start = m_bytes.size();
            if (!appendQuoted(film.fields[static_cast<size_t>(i)]))
                return false;
            if (m_bytes.size() - start > MaxCsvFieldBytes) {
                failure = QStringLiteral("%1 takes more than %2 in a comma-separated file")
                              .arg(filmFieldName(film, position, fieldAt(i)), megabytes(MaxCsvFieldBytes));
                return false;
            }
        }
        m_bytes.append("\r\n");
        return true;
    }

    QByteArray takeBytes() { return std::move(m_bytes); }

private:
    // Appends a field in quotes, each quote in it doubled.
    bool appendQuoted(QStringView field)
    {
        m_bytes.append(QuoteByte);
        for (qsizetype quote = field.indexOf(Quote); quote >= 0; quote = field.indexOf(Quote)) {
            if (!appendText(field.first(quote + 1)))
                return false;
            m_bytes.append(QuoteByte);
            field = field.sliced(quote + 1);
        }
        if (!appendText(field))
            return false;
        m_bytes.append(QuoteByte);
        return true;
    }

    bool appendText(QStringView text)
    {
        if (!m_utf8) {
            unfit = !appendWindows1252(m_bytes, text);
            return !unfit;
        }
        appendUtf8(m_bytes, text);
        return true;
    }

    bool m_utf8;
    QByteArray m_bytes;
};

qsizetype estimatedSize(const QList<FilmRecord>& films)
{
    qsizetype size = 0;
    for (const FilmRecord& film : films) {
        for (const QString& field : film.fields)
            size += field.size() + 3; // two quotes and a comma or a line end's first byte
        size += 1;
    }
    return size;
}

} // namespace

std::optional<QByteArray>
writeCsvList(const QList<FilmRecord>& films, ListEncoding encoding, QString* failure)
{
    if (films.size() > MaxListFilms) {
        setFailure(failure, tooManyFilmsToSaveFailure());
        return std::nullopt;
    }
    // The encoding asked for while every text fits it; UTF-8 after a mark, which holds every text,
    // when one does not.
    for (const ListEncoding written : {encoding, ListEncoding::Utf8WithMark}) {
        CsvWriter writer(written, estimatedSize(films));
        qsizetype position = 0;
        while (position < films.size() && writer.writeFilm(films[position], position))
            ++position;
        if (position == films.size())
            return writer.takeBytes();
        if (!writer.unfit) {
            setFailure(failure, writer.failure);
            return std::nullopt;
        }
    }
    return std::nullopt; // UTF-8 holds every text, so the loop has returned
}

std::optional<ListDocument> readCsvList(QByteArrayView bytes, QString* failure)
{
    ByteWindow window(bytes);
    return readCsvList(window, failure);
}

std::optional<ListDocument> readCsvList(ByteWindow& window, QString* failure, TextFindings* findings)
{
    constexpr qsizetype FilmsBeforeReserving = 64;
    FieldReader reader(window);
    ListDocument document;
    QList<FilmRecord>& films = document.films;
    CsvTexts texts(reader.isMarked(), films);
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
    document.encoding = texts.encoding();
    if (findings)
        *findings = texts.findings;
    return document;
}

} // namespace reelkeep
