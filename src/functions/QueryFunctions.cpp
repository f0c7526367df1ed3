// Functions that ask about a Value: its kind, and whether it is a date, a number, Empty, Null...
#include "functions/QueryFunctions.h"

#include "value/DateText.h"
#include "value/NumberText.h"

namespace reelkeep {

namespace {

// Nothing has no default value to inspect; it is neither a date nor a number.
bool isNothing(const Value& value)
{
    return value.kind() == Kind::Object && !value.asObject();
}

} // namespace

Value isArray(const Value&)
{
    return Value::makeBoolean(false);
}

Value isDate(const Value& value)
{
    if (isNothing(value))
        return Value::makeBoolean(false);
    const ResolvedValue resolved(value);
    if (resolved->kind() == Kind::Date)
        return Value::makeBoolean(true);
    if (resolved->kind() == Kind::String)
        return Value::makeBoolean(parseDateText(resolved->asString()).has_value());
    return Value::makeBoolean(false);
}

Value isEmpty(const Value& value)
{
    return Value::makeBoolean(value.kind() == Kind::Empty);
}

Value isError(const Value& value)
{
    return Value::makeBoolean(value.kind() == Kind::Error);
}

Value isNull(const Value& value)
{
    return Value::makeBoolean(value.kind() == Kind::Null);
}

Value isMissing(const Value&)
{
    return Value::makeBoolean(false);
}

Value isNumeric(const Value& value)
{
    if (isNothing(value))
        return Value::makeBoolean(false);
    const ResolvedValue resolved(value);
    const Kind kind = resolved->kind();
    if (kind == Kind::String)
        return Value::makeBoolean(parseNumberText(resolved->asString()).has_value());
    return Value::makeBoolean(isNumericKind(kind) || kind == Kind::Boolean || kind == Kind::Empty);
}

Value isObject(const Value& value)
{
    return Value::makeBoolean(value.kind() == Kind::Object);
}

Value typeNameOf(const Value& value)
{
    return Value::makeString(typeName(value));
}

Value varType(const Value& value)
{
    if (value.kind() == Kind::Object && !isNothing(value))
        return Value::makeLong(static_cast<std::int32_t>(resolveObject(value).kind()));
    return Value::makeLong(static_cast<std::int32_t>(value.kind()));
}

} // namespace reelkeep
