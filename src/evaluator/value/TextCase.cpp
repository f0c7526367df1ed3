// LCase and UCase on Values.
#include "evaluator/value/TextCase.h"

#include "evaluator/value/TextForm.h"

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
