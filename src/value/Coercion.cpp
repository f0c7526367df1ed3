// Let-coercion rules of every source kind into every target kind.
#include "value/Coercion.h"

#include "value/DateSerial.h"
#include "value/DateText.h"
#include "value/NumberText.h"
#include "value/Rounding.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <cmath>
#include <limits>

namespace reelkeep {
namespace {

// The Value a Let-coercion works on: objects resolved, Null and Error Values refused.
class LetSource : public ResolvedValue
{
public:
    explicit LetSource(const Value& value)
        : ResolvedValue(value)
    {
        if ((*this)->kind() == Kind::Null)
            raise(ErrorNumber::InvalidUseOfNull);
        if ((*this)->kind() == Kind::Error)
            raise(ErrorNumber::TypeMismatch);
    }
};

NumberText numberOf(const QString& text)
{
    const std::optional<NumberText> number = parseNumberText(text);
    if (!number)
        raise(ErrorNumber::TypeMismatch);
    return *number;
}

std::int64_t roundedInRange(double value, std::int64_t min, std::int64_t max)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= double(min) && rounded <= double(max)))
        raise(ErrorNumber::Overflow);
    return std::int64_t(rounded);
}

std::int64_t inRange(std::int64_t value, std::int64_t min, std::int64_t max)
{
    if (value < min || value > max)
        raise(ErrorNumber::Overflow);
    return value;
}

// Let-coercion into an integral range. True is -1 here as everywhere, so it overflows a Byte.
std::int64_t toIntegral(const Value& value, std::int64_t min, std::int64_t max)
{
    const LetSource resolved(value);
    const Value& source = *resolved;
    switch (source.kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Boolean:
        return source.asBoolean() ? inRange(-1, min, max) : 0;
    case Kind::Byte:
        return inRange(source.asByte(), min, max);
    case Kind::Integer:
    case Kind::Long:
        return inRange(source.asLong(), min, max);
    case Kind::Single:
        return roundedInRange(double(source.asSingle()), min, max);
    case Kind::Double:
        return roundedInRange(source.asDouble(), min, max);
    case Kind::Date:
        return roundedInRange(source.asDate(), min, max);
    case Kind::Currency:
        return currencyToInt(source.asCurrency(), min, max);
    case Kind::Decimal:
        return decimalToInt(source.asDecimal(), min, max);
    case Kind::String: {
        const NumberText number = numberOf(source.asString());
        if (number.radix && !number.radixOverflow)
            return inRange(number.radixValue, min, max);
        return roundedInRange(numberTextToDouble(number), min, max);
    }
    default:
        raise(ErrorNumber::TypeMismatch);
    }
}

// The number an explicit numeric conversion starts from: an Error Value's number, else the Value.
Value explicitSource(const Value& value)
{
    const Value resolved = resolveObject(value);
    if (resolved.kind() == Kind::Error)
        return Value::makeLong(resolved.errorNumber());
    return resolved;
}

} // namespace

double toDouble(const Value& value)
{
    const LetSource resolved(value);
    const Value& source = *resolved;
    switch (source.kind()) {
    case Kind::Empty:
        return 0;
    case Kind::Boolean:
        return source.asBoolean() ? -1 : 0;
    case Kind::Byte:
        return source.asByte();
    case Kind::Integer:
    case Kind::Long:
        return source.asLong();
    case Kind::Single:
        return double(source.asSingle());
    case Kind::Double:
        return source.asDouble();
    case Kind::Date:
        return source.asDate();
    case Kind::Currency:
        return currencyToDouble(source.asCurrency());
    case Kind::Decimal:
        return decimalToDouble(source.asDecimal());
    case Kind::String:
        return numberTextToDouble(numberOf(source.asString()));
    default:
        raise(ErrorNumber::TypeMismatch);
    }
}

float toSingle(const Value& value)
{
    const double number = toDouble(value);
    if (!fitsSingle(number))
        raise(ErrorNumber::Overflow);
    return float(number);
}

std::int32_t toLong(const Value& value)
{
    return std::int32_t(toIntegral(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int16_t toInteger(const Value& value)
{
    return std::int16_t(toIntegral(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::uint8_t toByte(const Value& value)
{
    return std::uint8_t(toIntegral(value, 0, 255));
}

bool toBoolean(const Value& value)
{
    // Conditions are mostly comparisons already: Booleans.
    if (value.kind() == Kind::Boolean)
        return value.asBoolean();
    const LetSource resolved(value);
    const Value& source = *resolved;
    switch (source.kind()) {
    case Kind::Empty:
        return false;
    case Kind::Boolean:
        return source.asBoolean();
    case Kind::Currency:
        return source.asCurrency().scaled != 0;
    case Kind::Decimal:
        return !source.asDecimal().isZero();
    case Kind::String: {
        const QStringView text = QStringView(source.asString()).trimmed();
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        return numberTextToDouble(numberOf(source.asString())) != 0;
    }
    default:
        return toDouble(source) != 0;
    }
}

Currency toCurrency(const Value& value)
{
    const LetSource resolved(value);
    const Value& source = *resolved;
    switch (source.kind()) {
    case Kind::Empty:
        return Currency{};
    case Kind::Boolean:
        return Currency{source.asBoolean() ? -CurrencyScale : 0};
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return Currency{std::int64_t(toLong(source)) * CurrencyScale};
    case Kind::Currency:
        return source.asCurrency();
    case Kind::Decimal:
        return Currency{decimalToCurrency(source.asDecimal())};
    case Kind::String: {
        const NumberText number = numberOf(source.asString());
        if (number.radix)
            return currencyFromDouble(numberTextToDouble(number));
        return Currency{
            decimalToCurrency(decimalFromDigits(number.digits, number.exponent, number.negative))};
    }
    default:
        return currencyFromDouble(toDouble(source));
    }
}

Decimal toDecimal(const Value& value)
{
    const LetSource resolved(value);
    const Value& source = *resolved;
    switch (source.kind()) {
    case Kind::Empty:
        return Decimal{};
    case Kind::Boolean:
        return decimalFromInt(source.asBoolean() ? -1 : 0);
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return decimalFromInt(toLong(source));
    case Kind::Single:
        return decimalFromDouble(double(source.asSingle()), 7);
    case Kind::Double:
        return decimalFromDouble(source.asDouble(), 15);
    case Kind::Date:
        return decimalFromDouble(source.asDate(), 15);
    case Kind::Currency:
        return decimalFromCurrency(source.asCurrency().scaled);
    case Kind::Decimal:
        return source.asDecimal();
    case Kind::String: {
        const NumberText number = numberOf(source.asString());
        if (number.radix)
            return decimalFromInt(std::int64_t(numberTextToDouble(number)));
        return decimalFromDigits(number.digits, number.exponent, number.negative);
    }
    default:
        raise(ErrorNumber::TypeMismatch);
    }
}

double toDate(const Value& value)
{
    const LetSource resolved(value);
    const Value& source = *resolved;
    if (source.kind() == Kind::Date)
        return source.asDate();
    if (source.kind() == Kind::String) {
        const std::optional<double> serial = parseDateText(source.asString());
        if (!serial)
            raise(ErrorNumber::TypeMismatch);
        return *serial;
    }
    const double serial = toDouble(source);
    if (!isValidDateSerial(serial))
        raise(ErrorNumber::Overflow);
    return serial;
}

Value cbool(const Value& value)
{
    return Value::makeBoolean(toBoolean(value));
}

Value cbyte(const Value& value)
{
    return Value::makeByte(toByte(explicitSource(value)));
}

Value ccur(const Value& value)
{
    return Value::makeCurrency(toCurrency(explicitSource(value)));
}

Value cdate(const Value& value)
{
    return Value::makeDate(toDate(value));
}

Value cdbl(const Value& value)
{
    return Value::makeDouble(toDouble(explicitSource(value)));
}

Value cdec(const Value& value)
{
    return Value::makeDecimal(toDecimal(explicitSource(value)));
}

Value cint(const Value& value)
{
    return Value::makeInteger(toInteger(explicitSource(value)));
}

Value clng(const Value& value)
{
    return Value::makeLong(toLong(explicitSource(value)));
}

Value csng(const Value& value)
{
    return Value::makeSingle(toSingle(explicitSource(value)));
}

Value cstr(const Value& value)
{
    return Value::makeString(cstrText(value));
}

Value cvErr(const Value& value)
{
    const std::int32_t number = toLong(explicitSource(value));
    if (number < 0 || number > 65535)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeError(number);
}

} // namespace reelkeep
