// Like on arbitrary texts and patterns: only Invalid pattern string (93) is raised, "*" matches
// everything, and a text matches itself once its special characters are put in brackets.
#include "FuzzProperties.h"
#include "evaluator/value/Compare.h"
#include "evaluator/value/RuntimeError.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

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

static QString fromBytes(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString text = fromBytes(provider.ConsumeRandomLengthString());
    const QString pattern = fromBytes(provider.ConsumeRemainingBytesAsString());
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
