// Windows-1252 both ways, with the undefined bytes kept as the characters of the same number.
#include "text/Windows1252.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace reelkeep {

namespace {

// The characters of bytes 80 to 9F; the rest of the code page equals the first 256 characters.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr bool isHighControlByte(unsigned value)
{
    return value >= 0x80 && value < 0xA0;
}

// The character of every byte.
constexpr std::array<char16_t, 256> Characters = [] {
    std::array<char16_t, 256> characters{};
    for (unsigned byte = 0; byte < characters.size(); ++byte)
        characters[byte] = isHighControlByte(byte) ? HighControls[byte - 0x80] : char16_t(byte);
    return characters;
}();

void widenEach(const char* bytes, qsizetype count, QChar* out)
{
    for (qsizetype i = 0; i < count; ++i)
        out[i] = QChar(Characters[static_cast<unsigned char>(bytes[i])]);
}

#if defined(__SSE2__)
// Outside 80-9F the code page is Latin-1: a block of bytes is widened as Latin-1 at once and only
// a block that holds a byte in 80-9F is then decoded byte by byte.
void widenBlock(const char* bytes, qsizetype count, QChar* out, __m128i block)
{
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
    if (count == 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
    const __m128i topThreeBits = _mm_and_si128(block, _mm_set1_epi8(static_cast<char>(0xE0)));
    const int controls =
        _mm_movemask_epi8(_mm_cmpeq_epi8(topThreeBits, _mm_set1_epi8(static_cast<char>(0x80))));
    if ((controls & ((1 << count) - 1)) != 0)
        widenEach(bytes, count, out);
}

void widenSixteen(const char* bytes, QChar* out)
{
    widenBlock(bytes, 16, out, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
}

void widenEight(const char* bytes, QChar* out)
{
    widenBlock(bytes, 8, out, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)));
}
#endif

// Writes the characters of count bytes to out. With SSE2, sixteen or eight bytes at a time; the
// last block may overlap the one before it, which writes the same characters again.
void widen(const char* bytes, qsizetype count, QChar* out)
{
#if defined(__SSE2__)
    if (count >= 16) {
        for (qsizetype i = 0; i + 16 <= count; i += 16)
            widenSixteen(bytes + i, out + i);
        if (count % 16 != 0)
            widenSixteen(bytes + count - 16, out + count - 16);
        return;
    }
    if (count >= 8) {
        widenEight(bytes, out);
        widenEight(bytes + count - 8, out + count - 8);
        return;
    }
#endif
    widenEach(bytes, count, out);
}

#if defined(__SSE2__)
// Whether each of eight characters lies below 80 or from A0 to FF, and so is its own byte.
bool areOwnBytes(__m128i characters)
{
    const __m128i highBits = _mm_and_si128(characters, _mm_set1_epi16(static_cast<short>(0xFF00)));
    const __m128i latin1 = _mm_cmpeq_epi16(highBits, _mm_setzero_si128());
    const __m128i topBits = _mm_and_si128(characters, _mm_set1_epi16(static_cast<short>(0xFFE0)));
    const __m128i highControl = _mm_cmpeq_epi16(topBits, _mm_set1_epi16(0x0080));
    return _mm_movemask_epi8(_mm_andnot_si128(highControl, latin1)) == 0xFFFF;
}
#endif

} // namespace

int windows1252Byte(char16_t character)
{
    if (character < 0x100 && !isHighControlByte(character))
        return character;
    for (size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == character)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

// With SSE2, sixteen characters that are all their own bytes are narrowed at once.
qsizetype writeWindows1252(QStringView text, char* out)
{
    const QChar* characters = text.data();
    qsizetype i = 0;
    while (i < text.size()) {
#if defined(__SSE2__)
        if (i + 16 <= text.size()) {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(characters + i));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(characters + i + 8));
            if (areOwnBytes(low) && areOwnBytes(high)) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
                i += 16;
                continue;
            }
        }
#endif
        const int byte = windows1252Byte(characters[i].unicode());
        if (byte < 0)
            return i;
        out[i++] = static_cast<char>(byte);
    }
    return i;
}

QString decodeWindows1252(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    QString text(bytes.size(), Qt::Uninitialized);
    widen(bytes.data(), bytes.size(), text.data());
    return text;
}

bool appendWindows1252(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    const qsizetype written = writeWindows1252(text, out.data() + start);
    if (written == text.size())
        return true;
    out.truncate(start + written);
    return false;
}

bool fitsWindows1252(QStringView text)
{
    for (const QChar character : text) {
        if (windows1252Byte(character.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace reelkeep
