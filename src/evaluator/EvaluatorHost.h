// The evaluator's two events, answered by the program that holds it.
#pragma once

#include "evaluator/ArgumentList.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace reelkeep {

/// What the program holding an evaluator supplies: the variables and functions the evaluator does
/// not know. Handlers run inside the evaluation, may evaluate further expressions on the same
/// evaluator, and let run-time errors leave them to abandon the evaluation.
///
/// A host may also number the names it answers, so that an expression evaluated many times asks
/// by number instead of by name: the evaluator asks for a name's number once and then calls the
/// numbered handler, which must answer exactly as the named one would.
class EvaluatorHost
{
public:
    /// The number a host gives a name it wants to be asked for by name.
    static constexpr int AskByName = -1;

    virtual ~EvaluatorHost() = default;

    /// Asked for a name that is not a constant, as written. ReturnValue is Empty on entry; what
    /// the handler leaves in it is the variable's value.
    virtual void uGetVarable(const QString& Variable_Name, Value& ReturnValue) = 0;

    /// Asked for a function the built-in library does not know, as written, with its arguments
    /// evaluated in written order. ReturnValue holds the library's answer (Empty) on entry.
    /// Changes to Parmeters have no effect on the evaluation.
    virtual void
    uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) = 0;

    /// Whether the host answers a variable name (or a function name, when isFunction) as written:
    /// asked only to tell a template's author of names nothing answers. A host that does not say
    /// answers every name.
    virtual bool answers(const QString& name, bool isFunction)
    {
        Q_UNUSED(name);
        Q_UNUSED(isFunction);
        return true;
    }
    /// The counts of arguments the host's function Function_Name takes, in increasing order; none
    /// when the host does not say. Asked only to tell a template's author of a call with another
    /// count.
    virtual std::vector<int> acceptedCounts(const QString& Function_Name) const
    {
        Q_UNUSED(Function_Name);
        return {};
    }
    /// What a template's author is told of a call of the host's function Function_Name whose
    /// argument at `position` (from 1) is the constant `argument`, such as a field name the list
    /// does not have; the empty text when the host sees nothing wrong. Asked only to tell an author
    /// of mistakes.
    virtual QString constantArgumentProblem(const QString& Function_Name, int position, const Value& argument)
    {
        Q_UNUSED(Function_Name);
        Q_UNUSED(position);
        Q_UNUSED(argument);
        return {};
    }
    /// The variable names (or function names) the host answers, for suggesting one in place of a
    /// misspelt name.
    virtual QStringList knownNames(bool isFunction) const
    {
        Q_UNUSED(isFunction);
        return {};
    }

    /// The number of a variable name (as written), or AskByName. A name always gets the same number.
    virtual int variableNumber(const QString& Variable_Name)
    {
        Q_UNUSED(Variable_Name);
        return AskByName;
    }
    /// uGetVarable for the name that variableNumber() numbered.
    virtual void getNumberedVariable(int number, Value& ReturnValue)
    {
        Q_UNUSED(number);
        Q_UNUSED(ReturnValue);
    }

    /// The number of a function name (as written), or AskByName. A name always gets the same number.
    virtual int functionNumber(const QString& Function_Name)
    {
        Q_UNUSED(Function_Name);
        return AskByName;
    }
    /// uSolveFunctions for the name that functionNumber() numbered.
    virtual void solveNumberedFunction(int number, ArgumentList& Parmeters, Value& ReturnValue)
    {
        Q_UNUSED(number);
        Q_UNUSED(Parmeters);
        Q_UNUSED(ReturnValue);
    }
};

} // namespace reelkeep
