// Currency: a 64-bit integer counting units of 1/10,000.
#pragma once

#include <QString>

#include <cstdint>

namespace reelkeep {

/// A Currency amount: `scaled` / 10,000, from -922,337,203,685,477.5808 to 922,337,203,685,477.5807.
struct Currency
{
    std::int64_t scaled = 0;

    friend bool operator==(Currency, Currency) = default;
};

inline constexpr std::int64_t CurrencyScale = 10000;

/// Rounds half to even to four decimals; raises Overflow (6) outside the range or for infinities.
Currency currencyFromDouble(double value);
double currencyToDouble(Currency value);
/// Rounds half to even to an integer; raises Overflow (6) outside [min, max].
std::int64_t currencyToInt(Currency value, std::int64_t min, std::int64_t max);

/// Sum, difference and product; each raises Overflow (6) beyond the range (a Currency result
/// is never promoted to another kind).
Currency currencyAdd(Currency left, Currency right);
Currency currencySubtract(Currency left, Currency right);
/// The product rounded half to even to four decimals.
Currency currencyMultiply(Currency left, Currency right);

/// Up to four decimals, trailing zeros dropped, never an exponent: "1.5", "-0.0001".
QString currencyText(Currency value);

} // namespace reelkeep
