// Construction and identity of Values.
#include "value/Value.h"

#include "value/RuntimeError.h"

namespace reelkeep {

Value Value::makeCurrency(Currency value)
{
    Value result(Kind::Currency);
    result.m_payload.integer = value.scaled;
    return result;
}

Value Value::makeDate(double serial)
{
    Value result(Kind::Date);
    result.m_payload.real = serial;
    return result;
}

Value Value::makeObject(std::shared_ptr<ValueObject> object)
{
    Value result(Kind::Object);
    new (&result.m_payload.object) std::shared_ptr<ValueObject>(std::move(object));
    return result;
}

const QString& Value::noText()
{
    static const QString empty;
    return empty;
}

const std::shared_ptr<ValueObject>& Value::noObject()
{
    static const std::shared_ptr<ValueObject> none;
    return none;
}

Value Value::makeDecimal(Decimal value)
{
    Value result(Kind::Decimal);
    result.m_payload.decimal = value;
    return result;
}

Value Value::makeByte(std::uint8_t value)
{
    Value result(Kind::Byte);
    result.m_payload.integer = value;
    return result;
}

bool operator==(const Value& left, const Value& right)
{
    if (left.m_kind != right.m_kind)
        return false;
    switch (left.m_kind) {
    case Kind::Empty:
    case Kind::Null:
        return true;
    case Kind::Single:
        return left.m_payload.single == right.m_payload.single;
    case Kind::Double:
    case Kind::Date:
        return left.m_payload.real == right.m_payload.real;
    case Kind::String:
        return left.m_payload.text == right.m_payload.text;
    case Kind::Object:
        return left.m_payload.object == right.m_payload.object;
    case Kind::Decimal: {
        const Decimal& a = left.m_payload.decimal;
        const Decimal& b = right.m_payload.decimal;
        return a.lo == b.lo && a.mid == b.mid && a.hi == b.hi && a.scale == b.scale &&
               a.negative == b.negative;
    }
    default:
        return left.m_payload.integer == right.m_payload.integer;
    }
}

QString typeName(const Value& value)
{
    if (value.kind() != Kind::Object)
        return typeName(value.kind()).toString();
    return value.asObject() ? value.asObject()->className() : QStringLiteral("Nothing");
}

Value resolveObject(const Value& value)
{
    if (value.kind() != Kind::Object)
        return value;
    // An object whose default value is an object is followed a bounded number of times, so that
    // two objects naming each other cannot hang the evaluation.
    Value current = value;
    for (int depth = 0; depth < 64 && current.kind() == Kind::Object; ++depth) {
        if (!current.asObject())
            raise(ErrorNumber::ObjectVariableNotSet);
        current = current.asObject()->defaultValue();
    }
    if (current.kind() == Kind::Object)
        raise(ErrorNumber::OutOfStackSpace);
    return current;
}

ResolvedValue::ResolvedValue(const Value& value)
    : m_value(&value)
{
    if (value.kind() == Kind::Object) {
        m_storage = resolveObject(value);
        m_value = &m_storage;
    }
}

} // namespace reelkeep
