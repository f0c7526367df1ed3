// Arithmetic functions on Values.
#include "functions/MathFunctions.h"

#include "value/Coercion.h"
#include "value/RuntimeError.h"

#include <bit>
#include <cmath>
#include <limits>

namespace reelkeep {

namespace {

// The whole part of a Decimal, truncated toward zero or rounded down.
Decimal decimalWhole(const Decimal& value, bool roundDown)
{
    const QString text = decimalText(value);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return value;
    const QString whole = text.left(point).remove(QLatin1Char('-'));
    const Decimal truncated = decimalFromDigits(whole.toStdString(), 0, value.negative);
    return roundDown && value.negative ? decimalSubtract(truncated, decimalFromInt(1)) : truncated;
}

Currency currencyWhole(Currency value, bool roundDown)
{
    std::int64_t whole = value.scaled / CurrencyScale;
    if (roundDown && value.scaled % CurrencyScale < 0)
        --whole;
    if (whole > std::numeric_limits<std::int64_t>::max() / CurrencyScale ||
        whole < std::numeric_limits<std::int64_t>::min() / CurrencyScale)
        raise(ErrorNumber::Overflow);
    return Currency{whole * CurrencyScale};
}

// Int and Fix: the same kinds, one rounding direction each.
Value wholePart(const Value& number, bool roundDown)
{
    const auto whole = [roundDown](double x) { return roundDown ? std::floor(x) : std::trunc(x); };
    const ResolvedValue value(number);
    switch (value->kind()) {
    case Kind::Null:
        return Value::makeNull();
    case Kind::Empty:
        return Value::makeInteger(0);
    case Kind::Boolean:
        return Value::makeInteger(toInteger(*value));
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return *value;
    case Kind::Single:
        return Value::makeSingle(static_cast<float>(whole(value->asSingle())));
    case Kind::Currency:
        return Value::makeCurrency(currencyWhole(value->asCurrency(), roundDown));
    case Kind::Decimal:
        return Value::makeDecimal(decimalWhole(value->asDecimal(), roundDown));
    case Kind::Date:
        return Value::makeDate(whole(value->asDate()));
    default:
        return Value::makeDouble(whole(toDouble(*value)));
    }
}

} // namespace

Value abs(const Value& number)
{
    const ResolvedValue value(number);
    switch (value->kind()) {
    case Kind::Null:
        return Value::makeNull();
    case Kind::Empty:
        return Value::makeInteger(0);
    case Kind::Byte:
        return *value;
    case Kind::Boolean:
    case Kind::Integer: {
        const int magnitude = std::abs(int(toInteger(*value)));
        return magnitude > std::numeric_limits<std::int16_t>::max()
                   ? Value::makeLong(magnitude)
                   : Value::makeInteger(std::int16_t(magnitude));
    }
    case Kind::Long: {
        const std::int64_t magnitude = std::abs(std::int64_t(value->asLong()));
        return magnitude > std::numeric_limits<std::int32_t>::max()
                   ? Value::makeDouble(double(magnitude))
                   : Value::makeLong(std::int32_t(magnitude));
    }
    case Kind::Single:
        return Value::makeSingle(std::fabs(value->asSingle()));
    case Kind::Currency: {
        const Currency amount = value->asCurrency();
        if (amount.scaled == std::numeric_limits<std::int64_t>::min())
            raise(ErrorNumber::Overflow);
        return Value::makeCurrency(Currency{amount.scaled < 0 ? -amount.scaled : amount.scaled});
    }
    case Kind::Decimal: {
        Decimal magnitude = value->asDecimal();
        magnitude.negative = false;
        return Value::makeDecimal(magnitude);
    }
    case Kind::Date:
        return Value::makeDate(std::fabs(value->asDate()));
    default:
        return Value::makeDouble(std::fabs(toDouble(*value)));
    }
}

Value intPart(const Value& number)
{
    return wholePart(number, true);
}

Value fix(const Value& number)
{
    return wholePart(number, false);
}

Value atn(double number)
{
    return Value::makeDouble(std::atan(number));
}

Value cos(double number)
{
    return Value::makeDouble(std::cos(number));
}

Value exp(double number)
{
    const double result = std::exp(number);
    if (!std::isfinite(result))
        raise(ErrorNumber::Overflow);
    return Value::makeDouble(result);
}

Value log(double number)
{
    if (number <= 0)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeDouble(std::log(number));
}

Value sgn(double number)
{
    return Value::makeInteger(number < 0 ? -1 : number > 0 ? 1 : 0);
}

Value sqr(double number)
{
    if (number < 0)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeDouble(std::sqrt(number));
}

Value RandomSequence::rnd(const std::optional<Value>& number)
{
    const float seed = number ? toSingle(*number) : 1.0f;
    if (seed == 0)
        return current();
    if (seed < 0) {
        // The seed is the Single's bit pattern with its top byte folded into the low bits.
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(seed);
        m_state = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    advance();
    return current();
}

void RandomSequence::advance()
{
    constexpr std::uint64_t Multiplier = 1140671485; // 0x43FD43FD; only its low 24 bits matter
    constexpr std::uint64_t Increment = 12820163;    // 0xC39EC3
    m_state = static_cast<std::uint32_t>((m_state * Multiplier + Increment) & 0xFFFFFF);
}

Value RandomSequence::current() const
{
    return Value::makeSingle(static_cast<float>(m_state) / 16777216.0f);
}

} // namespace reelkeep
