// The seam through which the evaluator asks the built-in function library before its host.
#pragma once

#include "evaluator/ArgumentList.h"

#include <QString>

namespace reelkeep {

/// A library of functions that the evaluator knows by itself.
class BuiltinLibrary
{
public:
    virtual ~BuiltinLibrary() = default;

    /// Computes the function Function_Name (as written in the expression) of the arguments.
    /// Sets found to false, and returns Empty, when the name is not one of the library's; a name
    /// it knows leaves found true whatever the result. Errors the function raises leave it.
    virtual Value
    Solve_Function(const QString& Function_Name, const ArgumentList& Parmeters, bool& found) = 0;
};

} // namespace reelkeep
