// Encoding page text: in UTF-8 runs of ASCII are copied eight code units at a time, in
// Windows-1252 runs of characters with a byte of their own sixteen at a time; everything else
// one character at a time.
#include "pagegen/PageEncoding.h"

#include "text/Windows1252.h"
#include "value/TextForm.h"
#include "value/Value.h"

#include <charconv>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace reelkeep {

namespace {

// Copies the leading run of ASCII code units as bytes; returns how many it copied.
qsizetype copyAscii(char* out, const char16_t* text, qsizetype length)
{
    qsizetype done = 0;
#ifdef __SSE2__
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; done + 8 <= length; done += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + done));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, highBits), zero)) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + done), _mm_packus_epi16(units, units));
    }
#endif
    for (; done < length && text[done] < 0x80; ++done)
        out[done] = static_cast<char>(text[done]);
    return done;
}

char* writeReference(char* out, char32_t codePoint)
{
    *out++ = '&';
    *out++ = '#';
    out = std::to_chars(out, out + 7, static_cast<std::uint32_t>(codePoint)).ptr;
    *out++ = ';';
    return out;
}

bool isPair(QStringView text)
{
    return text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
}

// Writes the character at the start of text (one unit, or two for a surrogate pair); returns the
// units used.
qsizetype writeUtf8Character(char*& out, QStringView text)
{
    const char16_t unit = text[0].unicode();
    if (unit < 0x800) {
        *out++ = static_cast<char>(0xC0 | (unit >> 6));
        *out++ = static_cast<char>(0x80 | (unit & 0x3F));
        return 1;
    }
    if (!QChar::isSurrogate(unit)) {
        *out++ = static_cast<char>(0xE0 | (unit >> 12));
        *out++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (unit & 0x3F));
        return 1;
    }
    if (!isPair(text)) {
        out = writeReference(out, unit);
        return 1;
    }
    const char32_t codePoint = QChar::surrogateToUcs4(unit, text[1].unicode());
    *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 2;
}

} // namespace

QString pageTextOf(const Value& value)
{
    if (value.kind() == Kind::String)
        return value.asString();
    return value.isEmpty() ? QString() : cstrText(value);
}

char* writeUtf8Page(char* out, QStringView text)
{
    while (!text.isEmpty()) {
        const qsizetype ascii = copyAscii(out, text.utf16(), text.size());
        out += ascii;
        text = text.sliced(ascii);
        if (!text.isEmpty())
            text = text.sliced(writeUtf8Character(out, text));
    }
    return out;
}

char* writeWindows1252Page(char* out, QStringView text)
{
    while (!text.isEmpty()) {
        const qsizetype written = writeWindows1252(text, out);
        out += written;
        text = text.sliced(written);
        if (text.isEmpty())
            break;
        // A character without a byte: its reference, a surrogate pair's as one character.
        const bool pair = isPair(text);
        out = writeReference(out, pair ? QChar::surrogateToUcs4(text[0], text[1]) : text[0].unicode());
        text = text.sliced(pair ? 2 : 1);
    }
    return out;
}

} // namespace reelkeep
