// Choice and error functions on Values.
#include "functions/ChoiceFunctions.h"

#include "value/Coercion.h"
#include "value/RuntimeError.h"

namespace reelkeep {

Value ifChoice(const Value& condition, const Value& whenTrue, const Value* whenFalse)
{
    const ResolvedValue resolved(condition);
    if (!resolved->isNull() && toBoolean(*resolved))
        return whenTrue;
    return whenFalse ? *whenFalse : Value::makeEmpty();
}

Value iif(const Value& condition, const Value& whenTrue, const Value& whenFalse)
{
    const ResolvedValue resolved(condition);
    return !resolved->isNull() && toBoolean(*resolved) ? whenTrue : whenFalse;
}

Value cvar(const Value& value)
{
    return value;
}

Value error(const Value& number)
{
    const std::int32_t code = toLong(number);
    if (code < 0 || code > 65535)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeString(errorMessage(code));
}

} // namespace reelkeep
