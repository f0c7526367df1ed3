// The seam through which the evaluator asks the built-in function library before its host.
#pragma once

#include "evaluator/ArgumentList.h"

#include <QString>
#include <QStringList>

#include <vector>

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

    /// The counts of arguments function number `function` accepts, in increasing order; none when
    /// the library does not say.
    virtual std::vector<int> acceptedCounts(int function) const
    {
        Q_UNUSED(function);
        return {};
    }
    /// Every function name the library knows, for suggesting one in place of a misspelt name.
    virtual QStringList knownNames() const { return {}; }

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
