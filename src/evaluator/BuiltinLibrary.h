// The seam through which the evaluator asks the built-in function library before its host.
#pragma once

#include "evaluator/ArgumentList.h"
#include "evaluator/KnownKind.h"

#include <QString>

#include <memory>
#include <optional>
#include <span>

namespace reelkeep {

/// A library of functions that the evaluator knows by itself. The evaluator finds each function
/// name of an expression once and then calls the function by its number.
class BuiltinLibrary
{
public:
    /// The number Find_Function gives a name the library does not know.
    static constexpr int NotFound = -1;

    virtual ~BuiltinLibrary() = default;

    /// The number of the function Function_Name (as written in the expression), or NotFound. A
    /// name always gets the same number.
    virtual int Find_Function(const QString& Function_Name) const = 0;

    /// Computes function number `function` of the arguments. A count of arguments the function
    /// does not accept gives an Error Value; errors the function raises leave it.
    virtual Value Call_Function(int function, const ArgumentList& Parmeters) = 0;

    /// Whether function number `function`, called with `argumentCount` arguments, reads nothing
    /// but its arguments and changes nothing, so that calls may run on several threads at once.
    /// The evaluator and the page generator do not ask: a page is made on one thread.
    virtual bool isPure(int function, int argumentCount) const
    {
        Q_UNUSED(function);
        Q_UNUSED(argumentCount);
        return false;
    }

    /// Whether function number `function`, called with `argumentCount` arguments, gives its second
    /// argument when its first is True and its third when its first is False or Null. The
    /// evaluator does not ask: it evaluates every argument of every call, a choice's included.
    virtual bool choosesByCondition(int function, int argumentCount) const
    {
        Q_UNUSED(function);
        Q_UNUSED(argumentCount);
        return false;
    }

    /// What function number `function` gives for arguments of these kinds, when such a call can
    /// neither raise nor change anything; nothing when it may. The evaluator does not ask.
    virtual std::optional<KnownKind> quietResult(int function, std::span<const KnownKind> arguments) const
    {
        Q_UNUSED(function);
        Q_UNUSED(arguments);
        return std::nullopt;
    }

    /// A library of the same functions under the same numbers, for an evaluator on another
    /// thread; null when the library cannot make one. The page generator does not ask.
    virtual std::unique_ptr<BuiltinLibrary> twin() const { return nullptr; }

    /// Finds and computes the function Function_Name. Sets found to false, and returns Empty, when
    /// the name is not one of the library's; a name it knows leaves found true whatever the result.
    Value Solve_Function(const QString& Function_Name, const ArgumentList& Parmeters, bool& found)
    {
        const int function = Find_Function(Function_Name);
        found = function != NotFound;
        return found ? Call_Function(function, Parmeters) : Value();
    }
};

} // namespace reelkeep
