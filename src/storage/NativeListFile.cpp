// The native list-file layout, written in memory and read through a window on its bytes.
#include "storage/NativeListFile.h"

#include "storage/ByteWindow.h"
#include "storage/FilmTexts.h"
#include "storage/InputLimits.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <array>

namespace reelkeep {

namespace {

enum class TextEncoding
{
    Windows1252,
    Utf8,
};

constexpr qsizetype MagicLength = 5;

void appendUInt16(QByteArray& out, quint16 value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

// Writes the bytes of a text into the buffer; false when a character does not fit the encoding.
bool appendEncoded(QByteArray& out, QStringView text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Windows1252)
        return appendWindows1252(out, text);
    out.append(text.toUtf8());
    return true;
}

QString tooLongFailure(const QString& what)
{
    return QStringLiteral("%1 is longer than 65,535 bytes").arg(what);
}

// Builds the whole file in one buffer. A text that does not fit the encoding sets unfit; one too
// long to count sets failure, naming the text.
class NativeWriter
{
public:
    NativeWriter(TextEncoding encoding, qsizetype sizeHint)
        : m_encoding(encoding)
    {
        m_bytes.reserve(sizeHint);
    }

    bool unfit = false;
    QString failure;

    void writeMagic()
    {
        m_bytes.append(m_encoding == TextEncoding::Windows1252 ? NativeMagicWindows1252 : NativeMagicUtf8,
                       MagicLength);
    }

    // The failure message is built only when needed: most saves write every text.
    template <typename DescribeText> bool writeCounted(QStringView text, DescribeText describe)
    {
        const qsizetype countAt = m_bytes.size();
        appendUInt16(m_bytes, 0);
        if (!appendEncoded(m_bytes, text, m_encoding)) {
            unfit = true;
            return false;
        }
        const qsizetype length = m_bytes.size() - countAt - 2;
        if (length > MaxNativeTextBytes) {
            failure = tooLongFailure(describe());
            return false;
        }
        m_bytes[countAt] = static_cast<char>(length & 0xFF);
        m_bytes[countAt + 1] = static_cast<char>(length >> 8);
        return true;
    }

    void writeLastIndex(int lastIndex)
    {
        appendUInt16(m_bytes, static_cast<quint16>(static_cast<qint16>(lastIndex)));
    }

    bool writeFilm(const FilmRecord& film, qsizetype position)
    {
        for (int i = 0; i < FieldCount; ++i) {
            const Field field = fieldAt(i);
            if (!writeCounted(film[field], [&] { return filmFieldName(film, position, field); }))
                return false;
        }
        return true;
    }

    QByteArray takeBytes() { return std::move(m_bytes); }

private:
    TextEncoding m_encoding;
    QByteArray m_bytes;
};

qsizetype estimatedSize(const ListDocument& document)
{
    qsizetype size = MagicLength + 6 + document.pageTitle.value_or(QString()).size() +
                     document.pageDescription.value_or(QString()).size();
    for (const FilmRecord& film : document.films) {
        size += 2 * FieldCount;
        for (const QString& text : film.fields)
            size += text.size();
    }
    return size;
}

// The file in one encoding, or nothing with writer.unfit or writer.failure set.
std::optional<QByteArray> writeInEncoding(const ListDocument& document, NativeWriter& writer)
{
    writer.writeMagic();
    if (!writer.writeCounted(document.pageTitle.value_or(QString()),
                             [] { return QStringLiteral("the page title"); }) ||
        !writer.writeCounted(document.pageDescription.value_or(QString()),
                             [] { return QStringLiteral("the page description"); }))
        return std::nullopt;
    writer.writeLastIndex(static_cast<int>(document.films.size()) - 1);
    for (qsizetype position = 0; position < document.films.size(); ++position) {
        if (!writer.writeFilm(document.films[position], position))
            return std::nullopt;
    }
    return writer.takeBytes();
}

void setFailure(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
}

std::optional<TextEncoding> encodingOfMagic(QByteArrayView magic)
{
    if (magic == QByteArrayView(NativeMagicWindows1252))
        return TextEncoding::Windows1252;
    if (magic == QByteArrayView(NativeMagicUtf8))
        return TextEncoding::Utf8;
    return std::nullopt;
}

// Reads counted texts and numbers from the bytes of a file, refusing to run past its end.
class NativeReader
{
public:
    explicit NativeReader(ByteWindow& window)
        : m_window(window)
        , m_bytes(window.bytes())
    {}

    std::optional<TextEncoding> readMagic()
    {
        if (!inView(MagicLength))
            return std::nullopt;
        m_position = MagicLength;
        return encodingOfMagic(m_bytes.first(MagicLength));
    }

    bool readUInt16(quint16& value)
    {
        if (!inView(2))
            return false;
        value = static_cast<quint16>(static_cast<unsigned char>(m_bytes[m_position]) |
                                     static_cast<unsigned char>(m_bytes[m_position + 1]) << 8);
        m_position += 2;
        return true;
    }

    bool readCounted(QString& text, TextEncoding encoding)
    {
        QByteArrayView bytes;
        if (!readCountedBytes(bytes))
            return false;
        if (encoding == TextEncoding::Utf8 && invalidUtf8At < 0)
            noteInvalidUtf8(bytes);
        text = decodeText(bytes, encoding);
        return true;
    }

    // Reads a film's fields through `texts`.
    bool readFilm(FilmRecord& film, FilmTexts& texts)
    {
        for (int i = 0; i < FieldCount; ++i) {
            QByteArrayView bytes;
            if (!readCountedBytes(bytes))
                return false;
            if (texts.read(i, bytes, film.fields[size_t(i)]) && invalidUtf8At < 0)
                noteInvalidUtf8(bytes);
        }
        return true;
    }

    /// Where in the file the first bytes that are not UTF-8 are, or -1.
    qsizetype invalidUtf8At = -1;

    void noteInvalidUtf8(QByteArrayView bytes)
    {
        const qsizetype at = firstInvalidUtf8(bytes);
        if (at >= 0)
            invalidUtf8At = m_window.offset() + (bytes.data() - m_bytes.data()) + at;
    }

private:
    static QString decodeText(QByteArrayView bytes, TextEncoding encoding)
    {
        return encoding == TextEncoding::Windows1252 ? decodeWindows1252(bytes) : decodeUtf8(bytes);
    }

    // The bytes of a counted text, valid until the next read.
    bool readCountedBytes(QByteArrayView& bytes)
    {
        quint16 length = 0;
        if (!readUInt16(length) || !inView(length))
            return false;
        bytes = m_bytes.sliced(m_position, length);
        m_position += length;
        return true;
    }

    // Whether count bytes from the position on are in view, moving the window on until they are
    // or the file ends.
    bool inView(qsizetype count)
    {
        while (m_bytes.size() - m_position < count) {
            if (m_window.atDataEnd())
                return false;
            m_window.moveOn(m_position);
            m_bytes = m_window.bytes();
            m_position = 0;
        }
        return true;
    }

    ByteWindow& m_window;
    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

// Nothing, for the reason given, or for the device's failure when it could not be read.
std::optional<ListDocument> refuse(const ByteWindow& window, QString* failure, const QString& reason)
{
    setFailure(failure, window.failure().isEmpty() ? reason : window.failure());
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> writeNativeList(const ListDocument& document, QString* failure)
{
    if (document.films.size() > MaxListFilms) {
        setFailure(failure, tooManyFilmsToSaveFailure());
        return std::nullopt;
    }
    // Windows-1252 under "rkf01" while every text fits and the list was not read as UTF-8; UTF-8 under
    // "rkf02" otherwise.
    const bool utf8 = document.encoding != ListEncoding::Windows1252;
    for (const TextEncoding encoding :
         {utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252, TextEncoding::Utf8}) {
        NativeWriter writer(encoding, estimatedSize(document));
        if (auto bytes = writeInEncoding(document, writer))
            return bytes;
        if (!writer.unfit) {
            setFailure(failure, writer.failure);
            return std::nullopt;
        }
    }
    return std::nullopt; // UTF-8 holds every text, so the loop has returned
}

std::optional<ListDocument> readNativeList(QByteArrayView bytes, QString* failure)
{
    ByteWindow window(bytes);
    return readNativeList(window, failure);
}

std::optional<ListDocument> readNativeList(ByteWindow& window, QString* failure, TextFindings* findings)
{
    const QString endsEarly = QStringLiteral("the file ends before its last film");
    NativeReader reader(window);
    const std::optional<TextEncoding> encoding = reader.readMagic();
    if (!encoding)
        return refuse(window, failure, QStringLiteral("the file is not a Reelkeep list file"));
    ListDocument document;
    document.encoding =
        *encoding == TextEncoding::Utf8 ? ListEncoding::Utf8WithMark : ListEncoding::Windows1252;
    document.pageTitle.emplace();
    document.pageDescription.emplace();
    quint16 storedLastIndex = 0;
    if (!reader.readCounted(*document.pageTitle, *encoding) ||
        !reader.readCounted(*document.pageDescription, *encoding) || !reader.readUInt16(storedLastIndex))
        return refuse(window, failure, endsEarly);
    const int lastIndex = static_cast<qint16>(storedLastIndex);
    if (lastIndex < -1 || lastIndex > MaxListFilms - 1)
        return refuse(window,
                      failure,
                      QStringLiteral("the file's last index %1 is outside -1 to 32,766").arg(lastIndex));
    // Each film needs at least its seventeen counts, so a bogus last index cannot reserve much.
    const qsizetype size = window.expectedSize();
    if (size >= 0 && (lastIndex + 1) * qsizetype(2 * FieldCount) > size)
        return refuse(window, failure, endsEarly);
    document.films.resize(lastIndex + 1);
    FilmTexts texts(*encoding == TextEncoding::Utf8);
    for (FilmRecord& film : document.films) {
        if (!reader.readFilm(film, texts))
            return refuse(window, failure, endsEarly);
    }
    if (findings)
        findings->invalidUtf8At = reader.invalidUtf8At;
    window.readToEnd(); // bytes after the last film are ignored, but must be readable
    if (!window.failure().isEmpty()) {
        setFailure(failure, window.failure());
        return std::nullopt;
    }
    return document;
}

} // namespace reelkeep
