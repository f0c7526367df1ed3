// UTF-8 decoding that keeps a leading U+FEFF, with the ASCII that most list texts are widened
// directly.
#include "text/Utf8.h"

#include <QStringDecoder>
#include <QStringEncoder>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace reelkeep {

namespace {

// Widens the ASCII bytes at the start of bytes into out and says how many there were. With SSE2
// the bytes go sixteen at a time, and the count may stop short of the first byte of 80 or above.
qsizetype widenAsciiStart(QByteArrayView bytes, QChar* out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        if (_mm_movemask_epi8(block) != 0)
            return i;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(block, zero));
    }
#endif
    for (; i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80; ++i)
        out[i] = QChar(static_cast<char16_t>(bytes[i]));
    return i;
}

// How many bytes at the start of bytes are ASCII; with SSE2 sixteen are looked at a time.
qsizetype asciiLength(QByteArrayView bytes)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    while (i + 16 <= bytes.size() &&
           _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i))) == 0)
        i += 16;
#endif
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

} // namespace

void appendUtf8(QByteArray& out, QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const qsizetype start = out.size();
    out.resize(start + encoder.requiredSpace(text.size()));
    const char* end = encoder.appendToBuffer(out.data() + start, text);
    out.truncate(end - out.constData());
}

qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > bytes.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

namespace {

// "WHAT, the first at byte 12" (counting from 1), with ", line 3" when a line is given.
QString firstOfThemAt(const QString& what, qsizetype position, int line)
{
    QString warning = what + QStringLiteral(", the first at byte %1").arg(position + 1);
    if (line > 0)
        warning += QStringLiteral(", line %1").arg(line);
    return warning;
}

} // namespace

// Most texts are mostly ASCII, which the searches below skip in blocks.
qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    for (qsizetype at = asciiLength(bytes); at < bytes.size(); at += asciiLength(bytes.sliced(at))) {
        const qsizetype length = utf8SequenceLength(bytes, at);
        if (length == 0)
            return at;
        at += length;
    }
    return -1;
}

qsizetype firstUtf8Sequence(QByteArrayView bytes)
{
    for (qsizetype at = asciiLength(bytes); at < bytes.size(); at += 1 + asciiLength(bytes.sliced(at + 1))) {
        if (utf8SequenceLength(bytes, at) > 1)
            return at;
    }
    return -1;
}

QString invalidUtf8Warning(qsizetype position, int line)
{
    return firstOfThemAt(QStringLiteral("bytes that are not UTF-8 (read as U+FFFD)"), position, line);
}

qsizetype textFindingsPosition(const TextFindings& findings)
{
    return findings.invalidUtf8At >= 0 ? findings.invalidUtf8At : findings.utf8At;
}

QString textFindingsWarning(const TextFindings& findings, int line)
{
    if (findings.invalidUtf8At >= 0)
        return invalidUtf8Warning(findings.invalidUtf8At, line);
    if (findings.utf8At >= 0)
        return firstOfThemAt(QStringLiteral("UTF-8 text among Windows-1252 text, all read as Windows-1252"),
                             findings.utf8At,
                             line);
    return QString();
}

QString decodeUtf8(QByteArrayView bytes, bool* malformed)
{
    if (malformed)
        *malformed = false;
    if (bytes.isEmpty())
        return QString();
    // A text never has more characters than bytes, so one allocation holds it.
    QString text(bytes.size(), Qt::Uninitialized);
    const qsizetype ascii = widenAsciiStart(bytes, text.data());
    if (ascii == bytes.size())
        return text;
    // The rest begins at a character's first byte. QString::fromUtf8 would drop a U+FEFF at the
    // start of a text, losing its first character; the decoder keeps it when told to, and being
    // stateless turns a sequence cut short at the end into U+FFFD as QString::fromUtf8 does.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QChar* end = decoder.appendToBuffer(text.data() + ascii, bytes.sliced(ascii));
    text.truncate(end - text.constData());
    if (malformed)
        *malformed = decoder.hasError();
    return text;
}

} // namespace reelkeep
