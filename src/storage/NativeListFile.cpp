// The native list-file layout, written in memory and read through a window on its bytes.
#include "storage/NativeListFile.h"

#include "storage/ByteWindow.h"
#include "storage/FilmTexts.h"
#include "storage/InputLimits.h"
#include "storage/NativeListFields.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace reelkeep {

namespace {

enum class TextEncoding
{
    Windows1252,
    Utf8,
};

constexpr qsizetype MagicLength = 5;

// What a magic says of the file that follows it.
struct Version
{
    QByteArrayView magic;
    TextEncoding encoding;
    /// Parts, each a tag and a length, follow the films.
    bool parts;
};

// const rather than constexpr: g++ does not take the length of a named array as a constant expression
// under the undefined-behaviour sanitizer, which CI builds with.
const std::array<Version, 3> Versions = {{
    {NativeMagicWindows1252, TextEncoding::Windows1252, false},
    {NativeMagicUtf8, TextEncoding::Utf8, false},
    {NativeMagicParts, TextEncoding::Utf8, true},
}};

// The parts after the films of an "rkf03" file. A reader refuses a part it does not know whose tag
// begins with a capital letter, and skips one whose tag begins with a small letter, so that a later
// version can add parts that older ones must understand and parts they may pass over. The end part
// closes the list: what follows it is ignored, as what follows the last film of the older versions.
constexpr QByteArrayView FieldsTag = "FLDS";
constexpr QByteArrayView ValuesTag = "VALS";
constexpr QByteArrayView EndTag = "ENDS";
constexpr qsizetype TagLength = 4;

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
    appendUtf8(out, text);
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
    NativeWriter(const Version& version, qsizetype sizeHint)
        : m_version(version)
        , m_encoding(version.encoding)
    {
        m_bytes.reserve(sizeHint);
    }

    bool unfit = false;
    QString failure;

    void writeMagic() { m_bytes.append(m_version.magic); }

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

    // The extra fields' part, their values' part and the end part.
    bool writeParts(const ListDocument& document)
    {
        const ExtraFields& fields = document.fields;
        const qsizetype fieldsPart = beginPart(FieldsTag);
        appendUInt16(m_bytes, static_cast<quint16>(fields.size()));
        for (const ExtraField& field : fields) {
            const auto name = [&field] {
                return QStringLiteral("the name of the extra field \"%1\"").arg(field.name);
            };
            if (!writeCounted(field.name, name) || !writeCounted(kindFacts(field.kind).key, name))
                return false;
        }
        endPart(fieldsPart);
        const qsizetype valuesPart = beginPart(ValuesTag);
        for (qsizetype position = 0; position < document.films.size(); ++position) {
            const FilmRecord& film = document.films[position];
            for (qsizetype field = 0; field < fields.size(); ++field) {
                const auto value = [&] {
                    return QStringLiteral("the extra field \"%1\" of film %2 (\"%3\")")
                        .arg(fields[field].name)
                        .arg(position + 1)
                        .arg(shownInMessage(film.title()));
                };
                if (!writeCounted(film.extraValue(field), value))
                    return false;
            }
        }
        endPart(valuesPart);
        endPart(beginPart(EndTag));
        return true;
    }

    QByteArray takeBytes() { return std::move(m_bytes); }

private:
    // Starts a part with its tag and room for its length, which endPart() fills in; returns where
    // the part's contents begin.
    qsizetype beginPart(QByteArrayView tag)
    {
        m_bytes.append(tag);
        m_bytes.append(4, '\0');
        return m_bytes.size();
    }

    void endPart(qsizetype contents)
    {
        qToLittleEndian(static_cast<quint32>(m_bytes.size() - contents), m_bytes.data() + contents - 4);
    }

    const Version& m_version;
    TextEncoding m_encoding;
    QByteArray m_bytes;
};

qsizetype estimatedSize(const ListDocument& document)
{
    qsizetype size = MagicLength + 6 + document.pageTitle.value_or(QString()).size() +
                     document.pageDescription.value_or(QString()).size();
    for (const FilmRecord& film : document.films) {
        size += 2 * (FieldCount + document.fields.size());
        for (const QString& text : film.fields)
            size += text.size();
        for (const QString& text : film.extra)
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
    if (!document.fields.isEmpty() && !writer.writeParts(document))
        return std::nullopt;
    return writer.takeBytes();
}

void setFailure(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
}

const Version& versionOf(TextEncoding encoding, bool parts)
{
    return *std::find_if(Versions.begin(), Versions.end(), [&](const Version& version) {
        return version.encoding == encoding && version.parts == parts;
    });
}

const Version* versionOfMagic(QByteArrayView magic)
{
    for (const Version& version : Versions) {
        if (magic == version.magic)
            return &version;
    }
    return nullptr;
}

// Reads counted texts and numbers from the bytes of a file, refusing to run past its end.
class NativeReader
{
public:
    explicit NativeReader(ByteWindow& window)
        : m_window(window)
        , m_bytes(window.bytes())
    {}

    const Version* readMagic()
    {
        if (!inView(MagicLength))
            return nullptr;
        m_position = MagicLength;
        return versionOfMagic(m_bytes.first(MagicLength));
    }

    bool readUInt32(quint32& value)
    {
        if (!inView(4))
            return false;
        value = qFromLittleEndian<quint32>(m_bytes.data() + m_position);
        m_position += 4;
        return true;
    }

    bool readTag(QByteArray& tag)
    {
        if (!inView(TagLength))
            return false;
        tag = m_bytes.sliced(m_position, TagLength).toByteArray();
        m_position += TagLength;
        return true;
    }

    // Passes over count bytes, however many windows they take.
    bool skip(qint64 count)
    {
        while (m_bytes.size() - m_position < count) {
            count -= m_bytes.size() - m_position;
            m_position = m_bytes.size();
            if (!inView(1))
                return false;
        }
        m_position += count;
        return true;
    }

    /// How many bytes of the file have been read.
    qint64 bytesRead() const { return m_window.offset() + m_position; }

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

private:
    static QString decodeText(QByteArrayView bytes, TextEncoding encoding)
    {
        return encoding == TextEncoding::Windows1252 ? decodeWindows1252(bytes) : decodeUtf8(bytes);
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

const QString PartsEndEarly = QStringLiteral("the file ends before its end part");

bool isSmallLetter(char byte)
{
    return byte >= 'a' && byte <= 'z';
}

QString partName(QByteArrayView tag)
{
    const bool readable =
        std::all_of(tag.begin(), tag.end(), [](char byte) { return byte > ' ' && byte < 127; });
    return readable ? QStringLiteral("\"%1\"").arg(QString::fromLatin1(tag))
                    : QStringLiteral("of unreadable name");
}

// Reads the extra fields' part into fields; the reason it is refused, or the empty text.
QString readFieldsPart(NativeReader& reader, ExtraFields& fields)
{
    quint16 count = 0;
    if (!reader.readUInt16(count))
        return PartsEndEarly;
    if (count > MaxExtraFields)
        return tooManyFieldsFailure(count);
    for (int i = 0; i < count; ++i) {
        QString name;
        QString key;
        if (!reader.readCounted(name, TextEncoding::Utf8) || !reader.readCounted(key, TextEncoding::Utf8))
            return PartsEndEarly;
        if (const QString problem = extraFieldNameProblem(fields, name); !problem.isEmpty())
            return fieldNameFailure(name, problem);
        const std::optional<ExtraKind> kind = kindOfKey(key);
        if (!kind) {
            return QStringLiteral("the extra field \"%1\" is of a kind this version does not know (\"%2\")")
                .arg(name, shownInMessage(key));
        }
        fields.append({name, *kind});
    }
    return QString();
}

// Reads the values' part into the films; the reason it is refused, or the empty text. A value that
// recurs in a field (ratings, yes and no, dates) is decoded and checked once.
QString readValuesPart(NativeReader& reader, ListDocument& document)
{
    const ExtraFields& fields = document.fields;
    std::vector<RepeatedTexts> repeated(size_t(fields.size()));
    QList<QString> values(fields.size());
    for (qsizetype position = 0; position < document.films.size(); ++position) {
        FilmRecord& film = document.films[position];
        qsizetype held = 0;
        for (qsizetype field = 0; field < fields.size(); ++field) {
            QByteArrayView bytes;
            if (!reader.readCountedBytes(bytes))
                return PartsEndEarly;
            bool valid = true;
            values[field] = repeated[size_t(field)].text(bytes, [&](QByteArrayView unseen) {
                bool malformed = false;
                QString value = decodeUtf8(unseen, &malformed);
                if (malformed && reader.invalidUtf8At < 0)
                    reader.noteInvalidUtf8(unseen);
                valid = isCanonicalValue(fields[field].kind, value);
                return value;
            });
            if (!valid) // a text once refused ends the reading, so it is never found again
                return valueFailure(film, position, fields[field], values[field]);
            if (!values[field].isEmpty())
                held = field + 1;
        }
        if (held > 0)
            film.extra = values.first(held);
    }
    return QString();
}

// Reads the parts after the films up to the end part; the reason they are refused, or the empty
// text.
QString readParts(NativeReader& reader, ListDocument& document)
{
    bool fieldsRead = false;
    bool valuesRead = false;
    for (;;) {
        QByteArray tag;
        quint32 length = 0;
        if (!reader.readTag(tag) || !reader.readUInt32(length))
            return PartsEndEarly;
        const QString name = partName(tag);
        const qint64 end = reader.bytesRead() + length;
        QString problem;
        // The end part holds nothing: a length would say it holds what this version cannot read.
        if (tag == EndTag && length != 0)
            return QStringLiteral("the end part has a length of %1 where it holds nothing").arg(length);
        if (tag == EndTag)
            break;
        if (tag == FieldsTag && (fieldsRead || valuesRead))
            problem = QStringLiteral("the extra fields' part comes twice or after their values");
        else if (tag == FieldsTag)
            problem = readFieldsPart(reader, document.fields);
        else if (tag == ValuesTag && valuesRead)
            problem = QStringLiteral("the extra values' part comes twice");
        else if (tag == ValuesTag)
            problem = readValuesPart(reader, document);
        else if (!isSmallLetter(tag.front()))
            problem = QStringLiteral("the file holds a part %1 that this version cannot read").arg(name);
        else if (!reader.skip(length))
            problem = PartsEndEarly;
        fieldsRead = fieldsRead || tag == FieldsTag;
        valuesRead = valuesRead || tag == ValuesTag;
        if (problem.isEmpty() && reader.bytesRead() != end)
            problem = QStringLiteral("the part %1 does not end where its length says").arg(name);
        if (!problem.isEmpty())
            return problem;
    }
    if (!document.fields.isEmpty() && !valuesRead)
        return QStringLiteral("the file has extra fields but no part with their values");
    return QString();
}

// Nothing, for the reason given, or for the device's failure when it could not be read.
std::optional<ListDocument> refuse(const ByteWindow& window, QString* failure, const QString& reason)
{
    setFailure(failure, window.failure().isEmpty() ? reason : window.failure());
    return std::nullopt;
}

} // namespace

bool startsWithNativeMagic(QByteArrayView bytes)
{
    return bytes.size() >= MagicLength && versionOfMagic(bytes.first(MagicLength));
}

std::optional<QByteArray> writeNativeList(const ListDocument& document, QString* failure)
{
    if (document.films.size() > MaxListFilms) {
        setFailure(failure, tooManyFilmsToSaveFailure());
        return std::nullopt;
    }
    // Extra fields take "rkf03", in UTF-8. Otherwise Windows-1252 under "rkf01" while every text fits,
    // whatever version the list was read from, so that every program that reads "rkf01" reads it;
    // UTF-8 under "rkf02" otherwise.
    if (const QString problem = extraFieldsProblem(document); !problem.isEmpty()) {
        setFailure(failure, problem);
        return std::nullopt;
    }
    const bool parts = !document.fields.isEmpty();
    const Version& utf8 = versionOf(TextEncoding::Utf8, parts);
    for (const Version* version : {parts ? &utf8 : &versionOf(TextEncoding::Windows1252, false), &utf8}) {
        NativeWriter writer(*version, estimatedSize(document));
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
    const Version* version = reader.readMagic();
    if (!version)
        return refuse(window, failure, QStringLiteral("the file is not a Reelkeep list file"));
    const TextEncoding* encoding = &version->encoding;
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
    if (version->parts) {
        if (const QString problem = readParts(reader, document); !problem.isEmpty())
            return refuse(window, failure, problem);
    }
    if (findings)
        findings->invalidUtf8At = reader.invalidUtf8At;
    window.readToEnd(); // bytes after the last film or the end part are ignored, but must be readable
    if (!window.failure().isEmpty()) {
        setFailure(failure, window.failure());
        return std::nullopt;
    }
    return document;
}

} // namespace reelkeep
