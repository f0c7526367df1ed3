// Not, And, Or, Xor, Eqv and Imp: bitwise on integers, logical on Booleans, three-valued with Null.
#include "value/Coercion.h"
#include "value/Operators.h"
#include "value/RuntimeError.h"

namespace reelkeep {
namespace {

enum class Gate
{
    And,
    Or,
    Xor,
    Eqv,
    Imp,
};

// An operand of a logical operator: its bits and the kind it asks for.
struct Bits
{
    Kind kind; // Boolean, Byte, Integer or Long
    std::int32_t bits;
};

Bits bitsOf(const Value& value)
{
    switch (value.kind()) {
    case Kind::Boolean:
        return {Kind::Boolean, value.asBoolean() ? -1 : 0};
    case Kind::Byte:
        return {Kind::Byte, value.asByte()};
    case Kind::Integer:
        return {Kind::Integer, value.asInteger()};
    case Kind::Empty:
        return {Kind::Integer, 0};
    case Kind::Error:
        raise(ErrorNumber::TypeMismatch);
    case Kind::String: {
        const QStringView text = QStringView(value.asString()).trimmed();
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            return {Kind::Long, -1};
        if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            return {Kind::Long, 0};
        return {Kind::Long, toLong(value)};
    }
    default:
        return {Kind::Long, toLong(value)};
    }
}

// Boolean with Boolean stays Boolean, Byte with Byte stays Byte; any Long-class operand makes a
// Long; the other mixes (Empty counting as Integer) make an Integer.
Kind resultKind(Kind left, Kind right)
{
    if (left == right)
        return left;
    if (left == Kind::Long || right == Kind::Long)
        return Kind::Long;
    return Kind::Integer;
}

std::int32_t allBits(Kind kind)
{
    return kind == Kind::Byte ? 0xFF : -1;
}

Value fromBits(Kind kind, std::int32_t bits)
{
    switch (kind) {
    case Kind::Boolean:
        return Value::makeBoolean(bits != 0);
    case Kind::Byte:
        return Value::makeByte(std::uint8_t(bits & 0xFF));
    case Kind::Integer:
        return Value::makeInteger(std::int16_t(bits));
    default:
        return Value::makeLong(bits);
    }
}

std::int32_t combine(Gate gate, std::int32_t a, std::int32_t b)
{
    switch (gate) {
    case Gate::And:
        return a & b;
    case Gate::Or:
        return a | b;
    case Gate::Xor:
        return a ^ b;
    case Gate::Eqv:
        return ~(a ^ b);
    case Gate::Imp:
        return ~a | b;
    }
    return 0;
}

// One operand Null, the other known: the result is known only where the known operand decides
// it alone (False And x, True Or x, and the same through Imp); elsewhere it is Null.
Value withNull(Gate gate, const Bits& known, bool knownIsLeft)
{
    const std::int32_t full = allBits(known.kind);
    switch (gate) {
    case Gate::And:
        return known.bits == 0 ? fromBits(known.kind, 0) : Value::makeNull();
    case Gate::Or:
        return known.bits == full ? fromBits(known.kind, full) : Value::makeNull();
    case Gate::Imp:
        if (knownIsLeft) // Not a Or Null: known only when Not a has every bit set
            return known.bits == 0 ? fromBits(known.kind, full) : Value::makeNull();
        return known.bits == full ? fromBits(known.kind, full) : Value::makeNull(); // Null Or b
    default:
        return Value::makeNull();
    }
}

Value logical(Gate gate, const Value& leftOperand, const Value& rightOperand)
{
    const Value left = resolveObject(leftOperand);
    const Value right = resolveObject(rightOperand);
    if (left.isNull() && right.isNull())
        return Value::makeNull();
    if (left.isNull())
        return withNull(gate, bitsOf(right), false);
    if (right.isNull())
        return withNull(gate, bitsOf(left), true);
    const Bits a = bitsOf(left);
    const Bits b = bitsOf(right);
    return fromBits(resultKind(a.kind, b.kind), combine(gate, a.bits, b.bits));
}

} // namespace

Value notOperator(const Value& operand)
{
    const Value value = resolveObject(operand);
    if (value.isNull())
        return Value::makeNull();
    const Bits bits = bitsOf(value);
    return fromBits(bits.kind, ~bits.bits);
}

Value andOperator(const Value& left, const Value& right)
{
    return logical(Gate::And, left, right);
}

Value orOperator(const Value& left, const Value& right)
{
    return logical(Gate::Or, left, right);
}

Value xorOperator(const Value& left, const Value& right)
{
    return logical(Gate::Xor, left, right);
}

Value eqvOperator(const Value& left, const Value& right)
{
    return logical(Gate::Eqv, left, right);
}

Value impOperator(const Value& left, const Value& right)
{
    return logical(Gate::Imp, left, right);
}

} // namespace reelkeep
