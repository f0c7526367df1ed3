// Windows-1252 both ways, with the undefined bytes kept as the characters of the same number.
#include "storage/Windows1252.h"

#include <array>
#include <cstring>

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

// Whether one of the eight bytes of a word lies in 80-9F, that is has 100 as its top three bits:
// masked to those bits and flipped at the top one, such a byte becomes zero, which the borrow of
// the subtraction then shows in its top bit.
constexpr bool holdsHighControlByte(quint64 word)
{
    constexpr quint64 Ones = 0x0101010101010101;
    constexpr quint64 Tops = Ones * 0x80;
    const quint64 zeroWhereControl = (word & (Ones * 0xE0)) ^ Tops;
    return ((zeroWhereControl - Ones) & ~zeroWhereControl & Tops) != 0;
}

// The position of the first byte in 80-9F, or the size when there is none. Most texts have none,
// so the bytes are tested eight at a time.
qsizetype firstHighControlByte(QByteArrayView bytes)
{
    qsizetype position = 0;
    for (; position + 8 <= bytes.size(); position += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + position, sizeof word);
        if (holdsHighControlByte(word))
            break;
    }
    for (; position < bytes.size(); ++position) {
        if (isHighControlByte(static_cast<unsigned char>(bytes[position])))
            return position;
    }
    return bytes.size();
}

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

QString decodeWindows1252(QByteArrayView bytes)
{
    // Outside 80-9F the code page is Latin-1, which Qt widens quickly; the few characters of
    // 80-9F are put right afterwards.
    const qsizetype first = firstHighControlByte(bytes);
    QString text = QString::fromLatin1(bytes);
    if (first == bytes.size())
        return text;
    QChar* characters = text.data();
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t value = characters[i].unicode();
        if (isHighControlByte(value))
            characters[i] = QChar(HighControls[value - 0x80]);
    }
    return text;
}

bool appendWindows1252(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* bytes = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = windows1252Byte(text[i].unicode());
        if (byte < 0) {
            out.truncate(start + i);
            return false;
        }
        bytes[i] = static_cast<char>(byte);
    }
    return true;
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
