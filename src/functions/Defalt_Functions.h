// Defalt_Functions: the 71 functions the evaluator knows by itself, found by name before the host.
#pragma once

#include "evaluator/BuiltinLibrary.h"
#include "functions/MathFunctions.h"

#include <QDateTime>

#include <functional>

namespace reelkeep {

/// The built-in function library. Find_Function lower-cases the name and numbers it by its place
/// in the function table; Call_Function checks the argument count against the accepted counts of
/// that function (any other count is the Error Value 450), prepares the arguments (Let-coercions,
/// values for absent arguments) and computes the function. The only state is Rnd's sequence and
/// the clock behind date, now and time.
class Defalt_Functions : public BuiltinLibrary
{
public:
    /// `clock` gives the current local date and time; by default the system clock.
    explicit Defalt_Functions(std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); });

    int Find_Function(const QString& Function_Name) const override;
    Value Call_Function(int function, const ArgumentList& Parmeters) override;
    std::vector<int> acceptedCounts(int function) const override;
    QStringList knownNames() const override { return functionNames(); }

    /// The 71 lower-case names, in the order of the function table.
    static QStringList functionNames();

private:
    std::function<QDateTime()> m_clock;
    RandomSequence m_random;
};

} // namespace reelkeep
