// The arithmetic operators and "&": kind selection, overflow promotion, Null and Empty rules.
#include "value/Coercion.h"
#include "value/DateSerial.h"
#include "value/Operators.h"
#include "value/Rounding.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace reelkeep {
namespace {

enum class Operation
{
    Add,
    Subtract,
    Multiply,
};

// An arithmetic operand after the common steps: Empty and Boolean become Integers, a String its
// Double; numbers and Dates stay as they are. Null is handled before; an Error raises 13.
Value numericOperand(const Value& value)
{
    switch (value.kind()) {
    case Kind::Empty:
        return Value::makeInteger(0);
    case Kind::Boolean:
        return Value::makeInteger(value.asBoolean() ? -1 : 0);
    case Kind::String:
        return Value::makeDouble(toDouble(value));
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
    case Kind::Decimal:
    case Kind::Date:
        return value;
    default:
        raise(ErrorNumber::TypeMismatch);
    }
}

int precision(Kind kind)
{
    switch (kind) {
    case Kind::Byte:
        return 0;
    case Kind::Integer:
        return 1;
    case Kind::Long:
        return 2;
    case Kind::Single:
        return 3;
    case Kind::Double:
        return 4;
    case Kind::Currency:
        return 5;
    default:
        return 6; // Decimal
    }
}

// The kind in which + - * compute, from the kinds of two numeric operands.
Kind effectiveKind(Kind left, Kind right, Operation operation)
{
    if (left == Kind::Decimal || right == Kind::Decimal)
        return Kind::Decimal; // a Decimal outranks even a Date
    if (left == Kind::Date || right == Kind::Date) {
        if (operation == Operation::Multiply ||
            (left == Kind::Date && right == Kind::Date && operation == Operation::Subtract))
            return Kind::Double;
        return Kind::Date;
    }
    if (left == Kind::Currency || right == Kind::Currency) {
        // Multiplication ranks Currency between Single and Double: Currency times a Double is a
        // Double, times a Single still Currency. Addition ranks Currency above both floats.
        if (operation == Operation::Multiply && (left == Kind::Double || right == Kind::Double))
            return Kind::Double;
        return Kind::Currency;
    }
    if ((left == Kind::Single && right == Kind::Long) || (left == Kind::Long && right == Kind::Single))
        return Kind::Double;
    return precision(left) >= precision(right) ? left : right;
}

std::int64_t integralOf(const Value& value)
{
    return value.kind() == Kind::Byte ? value.asByte() : value.asLong();
}

// An integral result in the first kind from `kind` upward that holds it: Byte, Integer, Long,
// then Double (the overflow promotion of Variants).
Value promotedIntegral(std::int64_t result, Kind kind)
{
    if (kind == Kind::Byte && result >= 0 && result <= 255)
        return Value::makeByte(std::uint8_t(result));
    if (kind != Kind::Long && result >= std::numeric_limits<std::int16_t>::min() &&
        result <= std::numeric_limits<std::int16_t>::max())
        return Value::makeInteger(std::int16_t(result));
    if (result >= std::numeric_limits<std::int32_t>::min() &&
        result <= std::numeric_limits<std::int32_t>::max())
        return Value::makeLong(std::int32_t(result));
    return Value::makeDouble(double(result));
}

double apply(Operation operation, double left, double right)
{
    switch (operation) {
    case Operation::Add:
        return left + right;
    case Operation::Subtract:
        return left - right;
    case Operation::Multiply:
        return left * right;
    }
    return 0;
}

Value checkedDouble(double result)
{
    if (!std::isfinite(result))
        raise(ErrorNumber::Overflow);
    return Value::makeDouble(result);
}

Value computeIntegral(Operation operation, const Value& left, const Value& right, Kind kind)
{
    const std::int64_t a = integralOf(left);
    const std::int64_t b = integralOf(right);
    const std::int64_t result = operation == Operation::Add        ? a + b
                                : operation == Operation::Subtract ? a - b
                                                                   : a * b;
    return promotedIntegral(result, kind);
}

Value computeCurrency(Operation operation, const Value& left, const Value& right)
{
    const Currency a = toCurrency(left);
    const Currency b = toCurrency(right);
    switch (operation) {
    case Operation::Add:
        return Value::makeCurrency(currencyAdd(a, b));
    case Operation::Subtract:
        return Value::makeCurrency(currencySubtract(a, b));
    case Operation::Multiply:
        return Value::makeCurrency(currencyMultiply(a, b));
    }
    return Value();
}

Value computeDecimal(Operation operation, const Value& left, const Value& right)
{
    const Decimal a = toDecimal(left);
    const Decimal b = toDecimal(right);
    switch (operation) {
    case Operation::Add:
        return Value::makeDecimal(decimalAdd(a, b));
    case Operation::Subtract:
        return Value::makeDecimal(decimalSubtract(a, b));
    case Operation::Multiply:
        return Value::makeDecimal(decimalMultiply(a, b));
    }
    return Value();
}

// Date arithmetic works on the serials; a result outside the Date range becomes a Double.
Value computeDate(Operation operation, const Value& left, const Value& right)
{
    const double result = apply(operation, toDouble(left), toDouble(right));
    if (isValidDateSerial(result))
        return Value::makeDate(result);
    return checkedDouble(result);
}

Value computeSingle(Operation operation, const Value& left, const Value& right)
{
    const double exact = apply(operation, toDouble(left), toDouble(right));
    if (!fitsSingle(exact))
        return checkedDouble(exact); // a Single that overflows becomes a Double
    return Value::makeSingle(float(exact));
}

Value arithmetic(Operation operation, const Value& leftOperand, const Value& rightOperand)
{
    const Value left = numericOperand(leftOperand);
    const Value right = numericOperand(rightOperand);
    const Kind kind = effectiveKind(left.kind(), right.kind(), operation);
    switch (kind) {
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        return computeIntegral(operation, left, right, kind);
    case Kind::Single:
        return computeSingle(operation, left, right);
    case Kind::Currency:
        return computeCurrency(operation, left, right);
    case Kind::Decimal:
        return computeDecimal(operation, left, right);
    case Kind::Date:
        return computeDate(operation, left, right);
    default:
        return checkedDouble(apply(operation, toDouble(left), toDouble(right)));
    }
}

// The common first steps of every arithmetic operator, after objects are resolved: Null gives
// Null (false here), an Error Value is a type mismatch.
bool bothPresent(const Value& left, const Value& right)
{
    if (left.isNull() || right.isNull())
        return false;
    if (left.kind() == Kind::Error || right.kind() == Kind::Error)
        raise(ErrorNumber::TypeMismatch);
    return true;
}

// The value of an Integer, a Long or a Double.
std::optional<double> plainNumber(const Value& value)
{
    switch (value.kind()) {
    case Kind::Integer:
        return value.asInteger();
    case Kind::Long:
        return value.asLong();
    case Kind::Double:
        return value.asDouble();
    default:
        return std::nullopt;
    }
}

bool bothDouble(const Value& left, const Value& right)
{
    return left.kind() == Kind::Double && right.kind() == Kind::Double;
}

// The operands' values when the operation is done in Double and nothing but their values counts:
// a Double with an Integer or a Long (two Doubles are checked for first). Every number written in
// an expression is a Double, and a page's counters (list.index, list.count) are Integers and Longs.
std::optional<std::pair<double, double>> doubleWithCounter(const Value& left, const Value& right)
{
    if (left.kind() != Kind::Double && right.kind() != Kind::Double)
        return std::nullopt;
    const std::optional<double> a = plainNumber(left);
    const std::optional<double> b = plainNumber(right);
    if (!a || !b)
        return std::nullopt;
    return std::pair(*a, *b);
}

bool isByteLike(Kind kind)
{
    return kind == Kind::Byte;
}

bool isIntegerLike(Kind kind)
{
    return kind == Kind::Byte || kind == Kind::Integer || kind == Kind::Boolean || kind == Kind::Empty;
}

// "/" gives a Single only when a Single meets another Single or an Integer-like operand; two
// Integer-like operands divide as Doubles, as VarDiv does.
bool isSingleDivision(Kind left, Kind right)
{
    const auto singleOrSmaller = [](Kind kind) { return isIntegerLike(kind) || kind == Kind::Single; };
    return (left == Kind::Single || right == Kind::Single) && singleOrSmaller(left) && singleOrSmaller(right);
}

// The operands of "\" and Mod, rounded to Long, and the kind of the result.
struct IntegralPair
{
    std::int64_t left;
    std::int64_t right;
    Kind kind;
};

IntegralPair integralPair(const Value& left, const Value& right)
{
    IntegralPair pair{toLong(left), toLong(right), Kind::Long};
    if (isByteLike(left.kind()) && isByteLike(right.kind()))
        pair.kind = Kind::Byte;
    else if (isIntegerLike(left.kind()) && isIntegerLike(right.kind()))
        pair.kind = Kind::Integer;
    if (pair.right == 0)
        raise(ErrorNumber::DivisionByZero);
    return pair;
}

// "\" and Mod results: an Integer that overflows becomes a Long; a Long that overflows raises 6.
Value integralResult(std::int64_t result, Kind kind)
{
    if (result > std::numeric_limits<std::int32_t>::max())
        raise(ErrorNumber::Overflow);
    return promotedIntegral(result, kind);
}

} // namespace

Value add(const Value& left, const Value& right)
{
    if (bothDouble(left, right))
        return checkedDouble(left.asDouble() + right.asDouble());
    if (const auto numbers = doubleWithCounter(left, right))
        return checkedDouble(numbers->first + numbers->second);
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    // Empty + x is x unchanged, but for a Boolean, where Empty takes part as Integer 0 and the sum
    // is an Integer.
    if (a.isEmpty() && b.kind() != Kind::Boolean)
        return b.isEmpty() ? Value::makeInteger(0) : b;
    if (b.isEmpty() && a.kind() != Kind::Boolean)
        return a;
    if (a.kind() == Kind::String && b.kind() == Kind::String)
        return Value::makeString(a.asString() + b.asString());
    return arithmetic(Operation::Add, a, b);
}

Value subtract(const Value& left, const Value& right)
{
    if (bothDouble(left, right))
        return checkedDouble(left.asDouble() - right.asDouble());
    if (const auto numbers = doubleWithCounter(left, right))
        return checkedDouble(numbers->first - numbers->second);
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    return arithmetic(Operation::Subtract, a, b);
}

Value multiply(const Value& left, const Value& right)
{
    if (bothDouble(left, right))
        return checkedDouble(left.asDouble() * right.asDouble());
    if (const auto numbers = doubleWithCounter(left, right))
        return checkedDouble(numbers->first * numbers->second);
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    return arithmetic(Operation::Multiply, a, b);
}

Value divide(const Value& left, const Value& right)
{
    if (const auto numbers = doubleWithCounter(left, right)) {
        if (numbers->second == 0)
            raise(numbers->first == 0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
        return checkedDouble(numbers->first / numbers->second);
    }
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    const Value dividend = numericOperand(a);
    const Value divisor = numericOperand(b);
    if (dividend.kind() == Kind::Decimal || divisor.kind() == Kind::Decimal) {
        const Decimal numerator = toDecimal(dividend);
        const Decimal denominator = toDecimal(divisor);
        if (denominator.isZero())
            raise(numerator.isZero() ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
        return Value::makeDecimal(decimalDivide(numerator, denominator));
    }
    const double numerator = toDouble(dividend);
    const double denominator = toDouble(divisor);
    if (denominator == 0)
        raise(numerator == 0 ? ErrorNumber::Overflow : ErrorNumber::DivisionByZero);
    const double quotient = numerator / denominator;
    if (isSingleDivision(a.kind(), b.kind()) && fitsSingle(quotient))
        return Value::makeSingle(float(quotient));
    return checkedDouble(quotient);
}

Value integerDivide(const Value& left, const Value& right)
{
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    const IntegralPair pair = integralPair(a, b);
    return integralResult(pair.left / pair.right, pair.kind);
}

Value modulo(const Value& left, const Value& right)
{
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    const IntegralPair pair = integralPair(a, b);
    return integralResult(pair.left % pair.right, pair.kind);
}

Value power(const Value& left, const Value& right)
{
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (!bothPresent(a, b))
        return Value::makeNull();
    const double base = toDouble(a);
    const double exponent = toDouble(b);
    if ((base < 0 && exponent != std::trunc(exponent)) || (base == 0 && exponent < 0))
        raise(ErrorNumber::InvalidProcedureCall);
    const double result = std::pow(base, exponent);
    if (std::isnan(result))
        raise(ErrorNumber::InvalidProcedureCall);
    return checkedDouble(result);
}

Value concatenate(const Value& left, const Value& right)
{
    const ResolvedValue resolvedLeft(left);
    const ResolvedValue resolvedRight(right);
    const Value& a = *resolvedLeft;
    const Value& b = *resolvedRight;
    if (a.isNull() && b.isNull())
        return Value::makeNull();
    return Value::makeString((a.isNull() ? QString() : toStringLet(a)) +
                             (b.isNull() ? QString() : toStringLet(b)));
}

} // namespace reelkeep
