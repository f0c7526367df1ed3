// UTF-8 decoding that keeps a leading U+FEFF, with the ASCII that most list texts are widened
// directly.
#include "storage/Utf8.h"

#include <QStringDecoder>

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

} // namespace

QString decodeUtf8(QByteArrayView bytes)
{
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
    return text;
}

} // namespace reelkeep
