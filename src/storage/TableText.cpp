// Finding the encoding of a file to import, and turning UTF-16 and UTF-32 into UTF-8, telling each
// place where the text had to change.
#include "storage/TableText.h"

#include "text/Utf8.h"

#include <QStringDecoder>

#include <optional>

namespace reelkeep {

namespace {

using Encoding = QStringConverter::Encoding;

// The places read as U+FFFD that are told one by one; the others are counted.
constexpr qsizetype ToldReplacements = 20;

// The bytes looked at for the NUL bytes of UTF-16.
constexpr qsizetype Utf16Sample = 4096;

// The line a reader is on as it goes through a text a character or a unit at a time: a line ends
// in CR LF, a lone CR or a lone LF.
class LineCounter
{
public:
    void pass(char32_t unit)
    {
        if (unit == U'\r' || (unit == U'\n' && !m_afterCarriageReturn))
            ++m_line;
        m_afterCarriageReturn = unit == U'\r';
    }

    int line() const { return m_line; }

private:
    int m_line = 1;
    bool m_afterCarriageReturn = false;
};

// "byte 17 is" or "bytes 17-18 are", counting from 1.
QString bytesAre(qsizetype first, qsizetype count)
{
    return count == 1 ? QStringLiteral("byte %1 is").arg(first + 1)
                      : QStringLiteral("bytes %1-%2 are").arg(first + 1).arg(first + count);
}

// The places where decoding reads U+FFFD, the first ToldReplacements of them one by one.
class Replacements
{
public:
    explicit Replacements(const QString& encoding)
        : m_encoding(encoding)
    {}

    void add(int line, qsizetype first, qsizetype count)
    {
        if (m_told.size() == ToldReplacements) {
            ++m_more;
            return;
        }
        m_told.append(QStringLiteral("line %1: %2 not %3, read as U+FFFD")
                          .arg(line)
                          .arg(bytesAre(first, count), m_encoding));
    }

    QStringList lines() const
    {
        if (m_more == 0)
            return m_told;
        return m_told + QStringList{QStringLiteral("and %1 more places read as U+FFFD").arg(m_more)};
    }

private:
    QString m_encoding;
    QStringList m_told;
    qsizetype m_more = 0;
};

QString encodingName(Encoding encoding)
{
    return QString::fromLatin1(QStringConverter::nameForEncoding(encoding));
}

// UTF-16 without a byte-order mark shows by its NUL bytes: at least a quarter of the sample, more
// of them odd bytes in little-endian, the high byte of each pair coming second.
std::optional<Encoding> unmarkedUtf16(QByteArrayView bytes)
{
    const QByteArrayView sample = bytes.first(qMin(bytes.size(), Utf16Sample));
    qsizetype even = 0;
    qsizetype odd = 0;
    for (qsizetype i = 0; i < sample.size(); ++i) {
        if (sample[i] == 0)
            ++(i % 2 == 0 ? even : odd);
    }
    if (sample.isEmpty() || (even + odd) * 4 < sample.size())
        return std::nullopt;
    return odd > even ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
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

// A UTF-8 text after its mark, telling every byte that is not UTF-8.
TableText markedUtf8(QByteArray bytes)
{
    TableText text;
    text.start = Utf8ByteOrderMark.size();
    text.encoding = QStringLiteral("UTF-8 with a byte-order mark");
    Replacements replacements(QStringLiteral("UTF-8"));
    if (firstInvalidUtf8(QByteArrayView(bytes).sliced(text.start)) >= 0) {
        LineCounter lines;
        for (qsizetype at = text.start; at < bytes.size();) {
            lines.pass(static_cast<unsigned char>(bytes[at]));
            const qsizetype length = utf8SequenceLength(bytes, at);
            if (length == 0)
                replacements.add(lines.line(), at, 1);
            at += qMax<qsizetype>(length, 1);
        }
    }
    text.changes = replacements.lines();
    text.bytes = std::move(bytes);
    return text;
}

// The code units of UTF-16 or UTF-32 text: their size, their byte order, and each one's value.
struct Units
{
    QByteArrayView bytes;
    qsizetype size;
    bool bigEndian;

    char32_t at(qsizetype position) const
    {
        char32_t value = 0;
        for (qsizetype i = 0; i < size; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[position + (bigEndian ? i : size - 1 - i)]);
        return value;
    }

    // Whether the unit at a position is read as U+FFFD; the low half of a pair moves position on.
    bool replaced(qsizetype& position) const
    {
        const char32_t unit = at(position);
        if (size == 4)
            return unit > 0x10FFFF || QChar::isSurrogate(unit);
        if (QChar::isHighSurrogate(unit) && position + 2 * size <= bytes.size() &&
            QChar::isLowSurrogate(at(position + size))) {
            position += size;
            return false;
        }
        return QChar::isSurrogate(unit);
    }
};

// UTF-16 or UTF-32 text, marked or not, turned into UTF-8. Bytes at the end that make no whole
// unit are left out, and told.
TableText fromUnits(const QByteArray& bytes, Encoding encoding, bool marked)
{
    const bool utf16 = encoding == QStringConverter::Utf16LE || encoding == QStringConverter::Utf16BE;
    const bool bigEndian = encoding == QStringConverter::Utf16BE || encoding == QStringConverter::Utf32BE;
    const qsizetype size = utf16 ? 2 : 4;
    const qsizetype start = marked ? size : 0;
    const qsizetype whole = start + (bytes.size() - start) / size * size;
    const Units units{QByteArrayView(bytes).first(whole), size, bigEndian};
    const QString name = encodingName(encoding);
    Replacements replacements(name);
    LineCounter lines;
    for (qsizetype position = start; position < whole; position += units.size) {
        lines.pass(units.at(position));
        const qsizetype first = position;
        if (units.replaced(position))
            replacements.add(lines.line(), first, units.size);
    }
    TableText text;
    text.encoding = marked ? name + QStringLiteral(" with a byte-order mark") : name;
    text.changes = replacements.lines();
    if (whole < bytes.size())
        text.changes.append(
            QStringLiteral("line %1: %2 not a whole %3 character at the end of the file, left out")
                .arg(lines.line())
                .arg(bytesAre(whole, bytes.size() - whole), name));
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless); // drops the mark
    text.bytes = withoutLoneSurrogates(decoder(QByteArrayView(bytes).first(whole))).toUtf8();
    return text;
}

// The length of the line break at `at`: CR LF, a lone CR or a lone LF; 0 for no line break.
qsizetype lineBreakAt(QByteArrayView bytes, qsizetype at)
{
    if (bytes[at] == '\n')
        return 1;
    if (bytes[at] != '\r')
        return 0;
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
}

// In a text read as Windows-1252 because some of its bytes are not UTF-8, where the first line in
// UTF-8 is (well-formed and not ASCII alone), told as loading a comma-separated list tells it: most
// likely two programs wrote to the file. None when no line is.
QStringList utf8AmongWindows1252(QByteArrayView bytes)
{
    int line = 1;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = start;
        while (end < bytes.size() && lineBreakAt(bytes, end) == 0)
            ++end;
        const QByteArrayView text = bytes.sliced(start, end - start);
        if (const qsizetype first = firstUtf8Sequence(text); first >= 0 && firstInvalidUtf8(text) < 0)
            return {textFindingsWarning(TextFindings{-1, start + first}, line)};
        start = end < bytes.size() ? end + lineBreakAt(bytes, end) : end;
        ++line;
    }
    return {};
}

} // namespace

TableText readTableText(QByteArray bytes)
{
    if (const std::optional<Encoding> marked = QStringConverter::encodingForData(bytes)) {
        if (*marked == QStringConverter::Utf8)
            return markedUtf8(std::move(bytes));
        return fromUnits(bytes, *marked, true);
    }
    if (const std::optional<Encoding> utf16 = unmarkedUtf16(bytes))
        return fromUnits(bytes, *utf16, false);
    TableText text;
    text.utf8 = firstInvalidUtf8(bytes) < 0;
    text.encoding = text.utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
    if (!text.utf8)
        text.changes = utf8AmongWindows1252(bytes);
    text.bytes = std::move(bytes);
    return text;
}

} // namespace reelkeep
