// What an expression does that its author most likely did not mean, found in its program: the
// names that nothing answers, with the known name nearest each, and calls with a count of arguments
// their function does not accept.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace reelkeep {

class BuiltinLibrary;
class EvaluatorHost;

namespace detail {
struct EquationProgram;
} // namespace detail

/// Appends to findings, in words, what a program does that its author most likely did not mean,
/// though evaluating it yields what it yields all the same: what the program found when it was
/// made (operands that could not all be joined), a function name neither the library nor the host
/// knows, a variable name nothing answers, a call with a count of arguments its function does
/// not accept. The library and the host may be null.
void findTemplateMistakes(const detail::EquationProgram& program,
                          BuiltinLibrary* library,
                          EvaluatorHost* host,
                          QStringList& findings);

/// " (did you mean "len"?)" for the name of `known` nearest a written one, when one is near
/// enough; the empty text otherwise. Where case does not matter the names are compared in lower
/// case, and the one suggested is written as `known` has it.
QString didYouMean(const QString& written, const QStringList& known, bool caseMatters);

/// What a template's author is told of a call of `function` with `given` arguments, which takes
/// one of `counts`: "\"left\" takes 2 arguments, not 1".
QString wrongArgumentCount(const QString& function, const std::vector<int>& counts, int given);

} // namespace reelkeep
