// The comparison operators, "like" and "is".
#include "value/Coercion.h"
#include "value/Compare.h"
#include "value/Operators.h"
#include "value/Rounding.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <cmath>
#include <optional>

namespace reelkeep {
namespace {

int sign(double difference)
{
    return difference < 0 ? -1 : difference > 0 ? 1 : 0;
}

int compareDoubles(double left, double right)
{
    return left < right ? -1 : left > right ? 1 : 0;
}

bool isFloatKind(Kind kind)
{
    return kind == Kind::Single || kind == Kind::Double || kind == Kind::Date;
}

// Two numbers (Boolean and Date included) compared in the more precise of their kinds: a Decimal
// takes the other into Decimal, a Currency into Currency, a Single rounds a Double to Single.
int compareNumbers(const Value& left, const Value& right)
{
    const Kind a = left.kind();
    const Kind b = right.kind();
    const double leftNumber = toDouble(left);
    const double rightNumber = toDouble(right);
    // A float compared with a Decimal becomes a Decimal; beyond its range that overflows (6).
    if (a == Kind::Decimal || b == Kind::Decimal)
        return decimalCompare(toDecimal(left), toDecimal(right));
    if (a == Kind::Currency || b == Kind::Currency) {
        if (std::fabs(leftNumber) < 9.2e14 && std::fabs(rightNumber) < 9.2e14) {
            const Currency x = toCurrency(left);
            const Currency y = toCurrency(right);
            return x.scaled < y.scaled ? -1 : x.scaled > y.scaled ? 1 : 0;
        }
        return compareDoubles(leftNumber, rightNumber);
    }
    // A Double beyond the Single range cannot be rounded to a Single; it compares as it is.
    if (((a == Kind::Single && isFloatKind(b)) || (b == Kind::Single && isFloatKind(a))) &&
        fitsSingle(leftNumber) && fitsSingle(rightNumber))
        return sign(double(float(leftNumber)) - double(float(rightNumber)));
    return compareDoubles(leftNumber, rightNumber);
}

bool isString(const Value& value)
{
    return value.kind() == Kind::String;
}

bool bothStrings(const Value& left, const Value& right)
{
    return isString(left) && isString(right);
}

// -1, 0 or 1, or empty when either operand is Null.
std::optional<int> compareValues(const Value& leftOperand, const Value& rightOperand)
{
    if (leftOperand.kind() == Kind::Double && rightOperand.kind() == Kind::Double)
        return compareDoubles(leftOperand.asDouble(), rightOperand.asDouble());
    if (bothStrings(leftOperand, rightOperand))
        return compareStrings(leftOperand.asString(), rightOperand.asString(), CompareMode::Binary);
    const ResolvedValue resolvedLeft(leftOperand);
    const ResolvedValue resolvedRight(rightOperand);
    const Value& left = *resolvedLeft;
    const Value& right = *resolvedRight;
    if (left.isNull() || right.isNull())
        return std::nullopt;
    if (left.kind() == Kind::Error || right.kind() == Kind::Error)
        raise(ErrorNumber::TypeMismatch);
    if (left.isEmpty() && right.isEmpty())
        return 0;
    if (isString(left) || isString(right)) {
        if (isString(left) && isString(right))
            return compareStrings(left.asString(), right.asString(), CompareMode::Binary);
        // Empty against a String is "" against it; a number is less than any String.
        if (left.isEmpty() || right.isEmpty())
            return compareStrings(toStringLet(left), toStringLet(right), CompareMode::Binary);
        return isString(left) ? 1 : -1;
    }
    return compareNumbers(left, right);
}

template <typename Test> Value comparison(const Value& left, const Value& right, Test test)
{
    const std::optional<int> order = compareValues(left, right);
    if (!order)
        return Value::makeNull();
    return Value::makeBoolean(test(*order));
}

} // namespace

// Two Strings, the most common operands of "=" and "<>" in templates, are equal exactly when
// their code units are.
Value equal(const Value& left, const Value& right)
{
    if (bothStrings(left, right))
        return Value::makeBoolean(left.asString() == right.asString());
    return comparison(left, right, [](int order) { return order == 0; });
}

Value notEqual(const Value& left, const Value& right)
{
    if (bothStrings(left, right))
        return Value::makeBoolean(left.asString() != right.asString());
    return comparison(left, right, [](int order) { return order != 0; });
}

Value less(const Value& left, const Value& right)
{
    return comparison(left, right, [](int order) { return order < 0; });
}

Value greater(const Value& left, const Value& right)
{
    return comparison(left, right, [](int order) { return order > 0; });
}

Value lessOrEqual(const Value& left, const Value& right)
{
    return comparison(left, right, [](int order) { return order <= 0; });
}

Value greaterOrEqual(const Value& left, const Value& right)
{
    return comparison(left, right, [](int order) { return order >= 0; });
}

Value likeOperator(const Value& text, const Value& pattern)
{
    const Value subject = resolveObject(text);
    const Value form = resolveObject(pattern);
    if (subject.isNull() || form.isNull())
        return Value::makeNull();
    return Value::makeBoolean(like(toStringLet(subject), toStringLet(form)));
}

Value isOperator(const Value& left, const Value& right)
{
    if (left.kind() != Kind::Object || right.kind() != Kind::Object)
        raise(ErrorNumber::ObjectRequired);
    return Value::makeBoolean(left.asObject() == right.asObject());
}

} // namespace reelkeep
