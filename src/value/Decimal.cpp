// Decimal arithmetic on a fixed-width wide integer, with half-to-even rounding when a result
// must lose digits to fit 96 bits or 28 decimals.
#include "value/Decimal.h"

#include "value/NumberText.h"
#include "value/RuntimeError.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace reelkeep {
namespace {

// 384 bits: wide enough for a 96-bit magnitude times 10^56, the widest intermediate
// (division scales its dividend up by up to 56 decimal places).
struct Wide
{
    static constexpr int Words = 12;
    std::array<std::uint32_t, Words> w{};

    static Wide of(const Decimal& value)
    {
        Wide result;
        result.w[0] = value.lo;
        result.w[1] = value.mid;
        result.w[2] = value.hi;
        return result;
    }

    bool isZero() const
    {
        for (std::uint32_t word : w)
            if (word != 0)
                return false;
        return true;
    }

    bool fits96() const
    {
        for (int i = 3; i < Words; ++i)
            if (w[i] != 0)
                return false;
        return true;
    }

    bool fitsU64() const
    {
        for (int i = 2; i < Words; ++i)
            if (w[i] != 0)
                return false;
        return true;
    }

    std::uint64_t low64() const { return (std::uint64_t(w[1]) << 32) | w[0]; }

    // Multiplies by a small factor; returns false if the product no longer fits.
    bool multiplySmall(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t& word : w) {
            const std::uint64_t product = std::uint64_t(word) * factor + carry;
            word = std::uint32_t(product);
            carry = product >> 32;
        }
        return carry == 0;
    }

    bool multiplyPow10(int exponent)
    {
        for (; exponent >= 9; exponent -= 9)
            if (!multiplySmall(1'000'000'000u))
                return false;
        static constexpr std::uint32_t Powers[] = {
            1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
        return multiplySmall(Powers[exponent]);
    }

    void addSmall(std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint32_t& word : w) {
            if (carry == 0)
                return;
            const std::uint64_t sum = std::uint64_t(word) + carry;
            word = std::uint32_t(sum);
            carry = sum >> 32;
        }
    }

    std::uint32_t divideSmall(std::uint32_t divisor)
    {
        std::uint64_t remainder = 0;
        for (int i = Words - 1; i >= 0; --i) {
            const std::uint64_t current = (remainder << 32) | w[i];
            w[i] = std::uint32_t(current / divisor);
            remainder = current % divisor;
        }
        return std::uint32_t(remainder);
    }

    void add(const Wide& other)
    {
        std::uint64_t carry = 0;
        for (int i = 0; i < Words; ++i) {
            const std::uint64_t sum = std::uint64_t(w[i]) + other.w[i] + carry;
            w[i] = std::uint32_t(sum);
            carry = sum >> 32;
        }
    }

    // Requires *this >= other.
    void subtract(const Wide& other)
    {
        std::int64_t borrow = 0;
        for (int i = 0; i < Words; ++i) {
            std::int64_t difference = std::int64_t(w[i]) - other.w[i] - borrow;
            borrow = difference < 0 ? 1 : 0;
            if (difference < 0)
                difference += std::int64_t(1) << 32;
            w[i] = std::uint32_t(difference);
        }
    }

    int compare(const Wide& other) const
    {
        for (int i = Words - 1; i >= 0; --i)
            if (w[i] != other.w[i])
                return w[i] < other.w[i] ? -1 : 1;
        return 0;
    }

    int bitLength() const
    {
        for (int i = Words - 1; i >= 0; --i)
            if (w[i] != 0)
                return i * 32 + (32 - __builtin_clz(w[i]));
        return 0;
    }

    bool bit(int index) const { return (w[index / 32] >> (index % 32)) & 1u; }

    void shiftLeftOne()
    {
        for (int i = Words - 1; i > 0; --i)
            w[i] = (w[i] << 1) | (w[i - 1] >> 31);
        w[0] <<= 1;
    }

    // Schoolbook long division; the divisor is non-zero.
    Wide divide(const Wide& divisor, Wide& remainder) const
    {
        Wide quotient;
        remainder = Wide();
        for (int i = bitLength() - 1; i >= 0; --i) {
            remainder.shiftLeftOne();
            remainder.w[0] |= bit(i) ? 1u : 0u;
            if (remainder.compare(divisor) >= 0) {
                remainder.subtract(divisor);
                quotient.w[i / 32] |= 1u << (i % 32);
            }
        }
        return quotient;
    }

    std::string digits() const
    {
        Wide copy = *this;
        std::string text;
        do
            text.insert(text.begin(), char('0' + copy.divideSmall(10)));
        while (!copy.isZero());
        return text;
    }
};

// What was cut off below the last kept digit, relative to half a unit of that digit.
enum class Cut
{
    Nothing,
    BelowHalf,
    Half,
    AboveHalf,
};

Cut cutAfterDigit(std::uint32_t digit, Cut below)
{
    if (digit > 5 || (digit == 5 && below != Cut::Nothing))
        return Cut::AboveHalf;
    if (digit == 5)
        return Cut::Half;
    return digit == 0 && below == Cut::Nothing ? Cut::Nothing : Cut::BelowHalf;
}

void roundHalfEven(Wide& magnitude, Cut cut)
{
    if (cut == Cut::AboveHalf || (cut == Cut::Half && (magnitude.w[0] & 1u)))
        magnitude.addSmall(1);
}

// Drops decimals (rounding half to even) until the magnitude fits 96 bits and the scale 28.
Decimal fit(Wide magnitude, int scale, bool negative, Cut below = Cut::Nothing)
{
    for (;;) {
        while (scale > DecimalMaxScale || !magnitude.fits96()) {
            if (scale == 0)
                raise(ErrorNumber::Overflow);
            below = cutAfterDigit(magnitude.divideSmall(10), below);
            --scale;
        }
        roundHalfEven(magnitude, below);
        below = Cut::Nothing;
        if (magnitude.fits96())
            break;
    }
    Decimal result;
    result.lo = magnitude.w[0];
    result.mid = magnitude.w[1];
    result.hi = magnitude.w[2];
    result.scale = std::uint8_t(scale);
    result.negative = negative && !result.isZero();
    return result;
}

// Both magnitudes brought to the larger of the two scales.
int align(const Decimal& left, const Decimal& right, Wide& leftWide, Wide& rightWide)
{
    leftWide = Wide::of(left);
    rightWide = Wide::of(right);
    const int scale = std::max(left.scale, right.scale);
    leftWide.multiplyPow10(scale - left.scale);
    rightWide.multiplyPow10(scale - right.scale);
    return scale;
}

Decimal removeTrailingZeros(Decimal value)
{
    Wide magnitude = Wide::of(value);
    int scale = value.scale;
    while (scale > 0) {
        Wide trial = magnitude;
        if (trial.divideSmall(10) != 0)
            break;
        magnitude = trial;
        --scale;
    }
    return fit(magnitude, scale, value.negative);
}

} // namespace

Decimal decimalFromInt(std::int64_t value)
{
    Decimal result;
    const std::uint64_t magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
    result.lo = std::uint32_t(magnitude);
    result.mid = std::uint32_t(magnitude >> 32);
    result.negative = value < 0;
    return result;
}

Decimal decimalFromCurrency(std::int64_t scaled)
{
    Decimal result = decimalFromInt(scaled);
    result.scale = 4;
    return result;
}

Decimal decimalFromDouble(double value, int significantDigits)
{
    if (!std::isfinite(value))
        raise(ErrorNumber::Overflow);
    if (value == 0)
        return Decimal();
    const auto [digits, exponent] = significantDigitsOf(value, significantDigits);
    return decimalFromDigits(digits, exponent - (significantDigits - 1), value < 0);
}

Decimal decimalFromDigits(std::string_view digits, int exponent, bool negative)
{
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos)
        return Decimal();
    digits.remove_prefix(first);
    // Keep 40 digits, more than a Decimal can hold; the rest only decides the rounding.
    Cut below = Cut::Nothing;
    if (digits.size() > 40) {
        const std::string_view rest = digits.substr(41);
        const Cut restCut =
            rest.find_first_not_of('0') == std::string_view::npos ? Cut::Nothing : Cut::BelowHalf;
        below = cutAfterDigit(std::uint32_t(digits[40] - '0'), restCut);
        exponent += int(digits.size() - 40);
        digits = digits.substr(0, 40);
    }
    const int scale = -exponent;
    if (scale < 0 && int(digits.size()) - scale > 29) // at least 10^29
        raise(ErrorNumber::Overflow);
    if (scale > DecimalMaxScale + 40)
        return Decimal(); // far below the smallest step of 1E-28
    Wide magnitude;
    for (char c : digits) {
        magnitude.multiplySmall(10);
        magnitude.addSmall(std::uint32_t(c - '0'));
    }
    if (scale < 0) {
        if (!magnitude.multiplyPow10(-scale))
            raise(ErrorNumber::Overflow);
        return fit(magnitude, 0, negative, below);
    }
    return fit(magnitude, scale, negative, below);
}

double decimalToDouble(const Decimal& value)
{
    std::string text = Wide::of(value).digits();
    text += 'e';
    text += std::to_string(-int(value.scale));
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return value.negative ? -result : result;
}

std::int64_t decimalToInt(const Decimal& value, std::int64_t min, std::int64_t max)
{
    Wide magnitude = Wide::of(value);
    Cut cut = Cut::Nothing;
    for (int i = 0; i < value.scale; ++i)
        cut = cutAfterDigit(magnitude.divideSmall(10), cut);
    roundHalfEven(magnitude, cut);
    if (!magnitude.fitsU64() || magnitude.low64() > (std::uint64_t(1) << 63))
        raise(ErrorNumber::Overflow);
    const std::uint64_t bits = magnitude.low64();
    if (!value.negative && bits == (std::uint64_t(1) << 63))
        raise(ErrorNumber::Overflow);
    const std::int64_t result = value.negative ? std::int64_t(0 - bits) : std::int64_t(bits);
    if (result < min || result > max)
        raise(ErrorNumber::Overflow);
    return result;
}

std::int64_t decimalToCurrency(const Decimal& value)
{
    Wide magnitude = Wide::of(value);
    Cut cut = Cut::Nothing;
    for (int i = 4; i < value.scale; ++i)
        cut = cutAfterDigit(magnitude.divideSmall(10), cut);
    if (value.scale < 4)
        magnitude.multiplyPow10(4 - value.scale);
    roundHalfEven(magnitude, cut);
    const std::uint64_t limit = value.negative ? (std::uint64_t(1) << 63) : (std::uint64_t(1) << 63) - 1;
    if (!magnitude.fitsU64() || magnitude.low64() > limit)
        raise(ErrorNumber::Overflow);
    const std::uint64_t bits = magnitude.low64();
    return value.negative ? std::int64_t(0 - bits) : std::int64_t(bits);
}

Decimal decimalNegate(const Decimal& value)
{
    Decimal result = value;
    result.negative = !value.negative && !value.isZero();
    return result;
}

Decimal decimalAdd(const Decimal& left, const Decimal& right)
{
    Wide a;
    Wide b;
    const int scale = align(left, right, a, b);
    if (left.negative == right.negative) {
        a.add(b);
        return fit(a, scale, left.negative);
    }
    if (a.compare(b) >= 0) {
        a.subtract(b);
        return fit(a, scale, left.negative);
    }
    b.subtract(a);
    return fit(b, scale, right.negative);
}

Decimal decimalSubtract(const Decimal& left, const Decimal& right)
{
    return decimalAdd(left, decimalNegate(right));
}

Decimal decimalMultiply(const Decimal& left, const Decimal& right)
{
    const std::uint32_t a[3] = {left.lo, left.mid, left.hi};
    const std::uint32_t b[3] = {right.lo, right.mid, right.hi};
    Wide product;
    for (int i = 0; i < 3; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; j < 3; ++j) {
            const std::uint64_t cell = std::uint64_t(a[i]) * b[j] + product.w[i + j] + carry;
            product.w[i + j] = std::uint32_t(cell);
            carry = cell >> 32;
        }
        product.w[i + 3] = std::uint32_t(carry);
    }
    return fit(product, left.scale + right.scale, left.negative != right.negative);
}

Decimal decimalDivide(const Decimal& left, const Decimal& right)
{
    if (right.isZero())
        raise(ErrorNumber::DivisionByZero);
    // Scale the dividend so that the quotient comes out with 28 decimals, then let fit() drop
    // the decimals that do not fit, rounding with the remainder in mind.
    const int shift = DecimalMaxScale - left.scale + right.scale;
    Wide dividend = Wide::of(left);
    dividend.multiplyPow10(shift);
    const Wide divisor = Wide::of(right);
    Wide remainder;
    const Wide quotient = dividend.divide(divisor, remainder);
    Cut cut = Cut::Nothing;
    if (!remainder.isZero()) {
        Wide twice = remainder;
        twice.shiftLeftOne();
        const int order = twice.compare(divisor);
        cut = order < 0 ? Cut::BelowHalf : order == 0 ? Cut::Half : Cut::AboveHalf;
    }
    // With only the integer digits kept, a quotient too large for 96 bits is an overflow.
    return removeTrailingZeros(fit(quotient, DecimalMaxScale, left.negative != right.negative, cut));
}

int decimalCompare(const Decimal& left, const Decimal& right)
{
    if (left.isZero() && right.isZero())
        return 0;
    if (left.negative != right.negative)
        return left.negative ? -1 : 1;
    Wide a;
    Wide b;
    align(left, right, a, b);
    const int order = a.compare(b);
    return left.negative ? -order : order;
}

QString decimalText(const Decimal& value)
{
    std::string digits = Wide::of(value).digits();
    if (int(digits.size()) <= value.scale)
        digits.insert(0, std::size_t(value.scale + 1 - int(digits.size())), '0');
    const std::size_t pointAt = digits.size() - value.scale;
    std::string text = digits.substr(0, pointAt);
    std::string fraction = digits.substr(pointAt);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += '.' + fraction;
    if (value.negative && !value.isZero())
        text.insert(text.begin(), '-');
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace reelkeep
