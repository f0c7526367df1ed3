// LCase and UCase on Values.
#include "value/TextCase.h"

#include "value/TextForm.h"

namespace reelkeep {

Value lcase(const Value& value)
{
    const ResolvedValue resolved(value);
    if (resolved->isNull())
        return Value::makeNull();
    return Value::makeString(toStringLet(*resolved).toLower());
}

Value ucase(const Value& value)
{
    const ResolvedValue resolved(value);
    if (resolved->isNull())
        return Value::makeNull();
    return Value::makeString(toStringLet(*resolved).toUpper());
}

} // namespace reelkeep
