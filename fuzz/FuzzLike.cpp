// Like on arbitrary texts and patterns: only Invalid pattern string (93) is raised, "*" matches
// everything, and a text matches itself once its special characters are put in brackets.
#include "FuzzProperties.h"
#include "value/Compare.h"
#include "value/RuntimeError.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
using namespace reelkeep;

// The pattern that matches exactly the text: each of ? * # [ stands alone in a list.
static QString literalPattern(const QString& text)
{
    QString pattern;
    for (const QChar c : text) {
        if (c == QLatin1Char('?') || c == QLatin1Char('*') || c == QLatin1Char('#') ||
            c == QLatin1Char('[')) {
            pattern += QLatin1Char('[');
            pattern += c;
            pattern += QLatin1Char(']');
        } else {
            pattern += c;
        }
    }
    return pattern;
}

static QString fromBytes(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The text, a zero byte, the pattern; without a zero byte all of it is the pattern.
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t textSize = zero ? std::size_t(zero - data) : 0;
    const std::size_t patternStart = zero ? textSize + 1 : 0;
    const QString text = fromBytes(data, textSize);
    const QString pattern = fromBytes(data + patternStart, size - patternStart);
    try {
        const bool matches = like(text, pattern);
        // A trailing "*" can only widen what matches.
        FUZZ_REQUIRE(!matches || like(text, pattern + QLatin1Char('*')), pattern);
    } catch (const RuntimeError& error) {
        FUZZ_REQUIRE(error.errorNumber() == ErrorNumber::InvalidPatternString,
                     QString::number(error.number()));
    }
    FUZZ_REQUIRE(like(text, QStringLiteral("*")), text);
    FUZZ_REQUIRE(like(text, literalPattern(text)), literalPattern(text));
    FUZZ_REQUIRE(like(text, QLatin1Char('*') + literalPattern(text)), text);
    FUZZ_REQUIRE(text.isEmpty() || !like(text + text, literalPattern(text)), text);
    return 0;
}
