// Currency arithmetic with 128-bit intermediates and half-to-even rounding.
#include "value/Currency.h"

#include "value/Rounding.h"
#include "value/RuntimeError.h"

#include <cmath>
#include <limits>

namespace reelkeep {
namespace {

Currency checked(__int128 scaled)
{
    if (scaled < std::numeric_limits<std::int64_t>::min() ||
        scaled > std::numeric_limits<std::int64_t>::max())
        raise(ErrorNumber::Overflow);
    return Currency{std::int64_t(scaled)};
}

// Divides by a positive divisor, rounding half to even.
__int128 divideHalfEven(__int128 dividend, __int128 divisor)
{
    __int128 quotient = dividend / divisor;
    const __int128 remainder = dividend % divisor;
    const __int128 twice = (remainder < 0 ? -remainder : remainder) * 2;
    if (twice > divisor || (twice == divisor && quotient % 2 != 0))
        quotient += dividend < 0 ? -1 : 1;
    return quotient;
}

} // namespace

Currency currencyFromDouble(double value)
{
    const double scaled = roundHalfEven(value * double(CurrencyScale));
    // 2^63 is exactly representable; the valid scaled values lie in [-2^63, 2^63).
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0))
        raise(ErrorNumber::Overflow);
    return Currency{std::int64_t(scaled)};
}

double currencyToDouble(Currency value)
{
    return double(value.scaled) / double(CurrencyScale);
}

std::int64_t currencyToInt(Currency value, std::int64_t min, std::int64_t max)
{
    const std::int64_t result = std::int64_t(divideHalfEven(value.scaled, CurrencyScale));
    if (result < min || result > max)
        raise(ErrorNumber::Overflow);
    return result;
}

Currency currencyAdd(Currency left, Currency right)
{
    return checked(__int128(left.scaled) + right.scaled);
}

Currency currencySubtract(Currency left, Currency right)
{
    return checked(__int128(left.scaled) - right.scaled);
}

Currency currencyMultiply(Currency left, Currency right)
{
    return checked(divideHalfEven(__int128(left.scaled) * right.scaled, CurrencyScale));
}

QString currencyText(Currency value)
{
    const bool negative = value.scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(value.scaled) : std::uint64_t(value.scaled);
    QString text = QString::number(magnitude / CurrencyScale);
    std::uint64_t fraction = magnitude % CurrencyScale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}

} // namespace reelkeep
