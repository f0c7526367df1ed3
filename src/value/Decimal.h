// Decimal: a 96-bit unsigned integer with a sign and a power-of-ten scale of 0 to 28.
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

namespace reelkeep {

/// A Decimal number: (-1)^negative * magnitude / 10^scale, the magnitude below 2^96.
/// Zero is never negative. Arithmetic raises Overflow (6) when a result does not fit.
struct Decimal
{
    std::uint32_t lo = 0;
    std::uint32_t mid = 0;
    std::uint32_t hi = 0;
    std::uint8_t scale = 0;
    bool negative = false;

    bool isZero() const { return lo == 0 && mid == 0 && hi == 0; }
};

inline constexpr int DecimalMaxScale = 28;

/// The Decimal holding an integer exactly.
Decimal decimalFromInt(std::int64_t value);
/// A Currency's scaled integer (units of 1/10,000) as a Decimal, exactly.
Decimal decimalFromCurrency(std::int64_t scaled);
/// A float rounded to `significantDigits` (15 for Double, 7 for Single) and then stored exactly,
/// so that CDec(0.1) is 0.1. Raises Overflow (6) beyond the Decimal range or for infinities.
Decimal decimalFromDouble(double value, int significantDigits);
/// The Decimal of `digits` (ASCII digits, no sign) times 10^exponent, rounded half to even to
/// fit; raises Overflow (6) when it cannot fit.
Decimal decimalFromDigits(std::string_view digits, int exponent, bool negative);

/// The nearest Double.
double decimalToDouble(const Decimal& value);
/// Rounds half to even to an integer; raises Overflow (6) outside [min, max].
std::int64_t decimalToInt(const Decimal& value, std::int64_t min, std::int64_t max);
/// Rounds half to even to four decimals; raises Overflow (6) outside the Currency range.
std::int64_t decimalToCurrency(const Decimal& value);

Decimal decimalAdd(const Decimal& left, const Decimal& right);
Decimal decimalSubtract(const Decimal& left, const Decimal& right);
Decimal decimalMultiply(const Decimal& left, const Decimal& right);
/// Division to 28 decimals at most, trailing zeros removed; raises Division by zero (11).
Decimal decimalDivide(const Decimal& left, const Decimal& right);
/// -1, 0 or 1, comparing values (1.0 equals 1.00).
int decimalCompare(const Decimal& left, const Decimal& right);
Decimal decimalNegate(const Decimal& value);

/// All significant digits, "-" for negatives, "." before the fraction, trailing fractional zeros
/// dropped, never an exponent: "1.5", "-0.0001", "79228162514264337593543950335".
QString decimalText(const Decimal& value);

} // namespace reelkeep
