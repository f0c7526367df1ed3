// Windows-1252 both ways, with the undefined bytes kept as the characters of the same number.
#include "storage/Windows1252.h"

#include <array>

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
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(isHighControlByte(value) ? HighControls[value - 0x80] : char16_t(value));
    }
    return text;
}

bool appendWindows1252(QByteArray& out, QStringView text)
{
    for (const QChar character : text) {
        const int byte = windows1252Byte(character.unicode());
        if (byte < 0)
            return false;
        out.append(static_cast<char>(byte));
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
