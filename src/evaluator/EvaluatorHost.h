// The evaluator's two events, answered by the program that holds it.
#pragma once

#include "evaluator/ArgumentList.h"

#include <QString>

namespace reelkeep {

/// What the program holding an evaluator supplies: the variables and functions the evaluator does
/// not know. Handlers run inside the evaluation, may evaluate further expressions on the same
/// evaluator, and let run-time errors leave them to abandon the evaluation.
class EvaluatorHost
{
public:
    virtual ~EvaluatorHost() = default;

    /// Asked for a name that is not a constant, as written. ReturnValue is Empty on entry; what
    /// the handler leaves in it is the variable's value.
    virtual void uGetVarable(const QString& Variable_Name, Value& ReturnValue) = 0;

    /// Asked for a function the built-in library does not know, as written, with its arguments
    /// evaluated in written order. ReturnValue holds the library's answer (Empty) on entry.
    /// Changes to Parmeters have no effect on the evaluation.
    virtual void
    uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) = 0;
};

} // namespace reelkeep
