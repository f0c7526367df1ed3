// The comma-separated list-file form, written and read in memory.
#include "storage/CsvListFile.h"

#include "catalogue/Catalogue.h"
#include "storage/Utf8.h"
#include "storage/Windows1252.h"

namespace reelkeep {

namespace {

constexpr QChar Quote = u'"';
constexpr QChar Comma = u',';
constexpr QChar CarriageReturn = u'\r';
constexpr QChar LineFeed = u'\n';

void appendQuoted(QString& out, const QString& field)
{
    out.append(Quote);
    if (field.contains(Quote))
        out.append(QString(field).replace(Quote, QStringLiteral("\"\"")));
    else
        out.append(field);
    out.append(Quote);
}

bool isBlank(QChar character)
{
    return character == u' ' || character == u'\t';
}

bool isLineEnd(QChar character)
{
    return character == CarriageReturn || character == LineFeed;
}

// Reads fields one after another as Input # does, with a doubled quote inside a quoted field read
// as one quote.
class FieldReader
{
public:
    explicit FieldReader(QStringView text)
        : m_text(text)
    {}

    bool atEnd() const { return m_position >= m_text.size(); }

    /// True when nothing but line ends is left, as after the last film of a file that an editor
    /// saved with an extra line end.
    bool onlyLineEndsLeft() const
    {
        for (qsizetype i = m_position; i < m_text.size(); ++i) {
            if (!isLineEnd(m_text[i]))
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
        if (current() == Quote)
            return readQuoted();
        return readUnquoted();
    }

private:
    QChar current() const { return m_text[m_position]; }

    // A quoted field runs to the next lone quote, across commas and line breaks; whatever follows
    // it up to the next comma or line end is skipped.
    QString readQuoted()
    {
        ++m_position;
        QString field;
        while (!atEnd()) {
            const qsizetype quoteAt = m_text.indexOf(Quote, m_position);
            const qsizetype end = quoteAt < 0 ? m_text.size() : quoteAt;
            field.append(m_text.sliced(m_position, end - m_position));
            m_position = end;
            if (atEnd())
                break;
            const bool doubled = m_position + 1 < m_text.size() && m_text[m_position + 1] == Quote;
            m_position += doubled ? 2 : 1;
            if (!doubled)
                break;
            field.append(Quote);
        }
        while (!atEnd() && current() != Comma && !isLineEnd(current()))
            ++m_position;
        skipDelimiter();
        return field;
    }

    // An unquoted field runs to the next comma or line end, trailing blanks trimmed.
    QString readUnquoted()
    {
        const qsizetype start = m_position;
        while (!atEnd() && current() != Comma && !isLineEnd(current()))
            ++m_position;
        qsizetype end = m_position;
        while (end > start && isBlank(m_text[end - 1]))
            --end;
        skipDelimiter();
        return m_text.sliced(start, end - start).toString();
    }

    // Consumes one comma or one line end: CR LF, a lone CR or a lone LF.
    void skipDelimiter()
    {
        if (atEnd())
            return;
        const QChar delimiter = current();
        ++m_position;
        if (delimiter == CarriageReturn && !atEnd() && current() == LineFeed)
            ++m_position;
    }

    QStringView m_text;
    qsizetype m_position = 0;
};

QString decodeCsv(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8ByteOrderMark))
        return decodeUtf8(bytes.sliced(Utf8ByteOrderMark.size()));
    return decodeWindows1252(bytes);
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
    const QString text = decodeCsv(bytes);
    FieldReader reader(text);
    QList<FilmRecord> films;
    while (!reader.onlyLineEndsLeft()) {
        if (films.size() == Catalogue::MaxEntries) {
            if (failure)
                *failure = QStringLiteral("the file holds more than 32,767 films");
            return std::nullopt;
        }
        FilmRecord& film = films.emplace_back();
        for (int i = 0; i < FieldCount && !reader.atEnd(); ++i)
            film.fields[static_cast<size_t>(i)] = reader.readField();
    }
    return films;
}

} // namespace reelkeep
