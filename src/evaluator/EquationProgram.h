// An expression text made into a program once: its operands in written order and its reduction
// planned, so that evaluating the text again only makes the operands and applies the plan.
#pragma once

#include "evaluator/OperatorTable.h"
#include "evaluator/value/Value.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace reelkeep::detail {

struct EquationProgram;

/// What a name of an expression was found to be, remembered at the place where it is written.
/// The numbers hold only for the library and host that gave them, which `binding` identifies.
struct NameBinding
{
    std::uint64_t binding = 0;
    int libraryFunction = -1;
    int hostNumber = -1;
};

/// One operand, made when its token ends, in written order.
struct OperandCode
{
    enum class Kind : std::uint8_t
    {
        Constant, // a number, a text literal or one of the six constants
        Variable, // a name asked of the host
        Call,     // a function, asked of the library and then of the host
        Group,    // a parenthesised group: its one value evaluated again as text
    };

    Kind kind = Kind::Constant;
    Value constant;
    /// The variable's or function's name as written.
    QString name;
    /// Argument texts evaluated before this operand whose values a later group dropped, in the
    /// order in which they were evaluated.
    std::vector<EquationProgram> dropped;
    /// The arguments of a call or a group, evaluated in written order after `dropped`.
    std::vector<EquationProgram> arguments;
    mutable NameBinding found;
};

/// One application of the reduction: operand slot `left` becomes `left` operation `right`.
/// `run` counts the steps from this one on that concatenate into the same slot one after
/// another, so that a chain of "&" can be joined at once.
struct ReductionStep
{
    Operation operation;
    std::uint16_t run;
    std::int32_t left;
    std::int32_t right;
};

/// One expression text, trimmed of its spaces.
struct EquationProgram
{
    /// A run-time error raised when the program is evaluated, before anything else: 0 for none,
    /// Out of stack space (28) for a text nested deeper than the evaluator allows.
    int error = 0;
    std::vector<OperandCode> operands;
    /// Arguments left over at the end (a call the text ends in), evaluated after the operands.
    std::vector<EquationProgram> trailing;
    std::vector<ReductionStep> steps;
    /// The reduction reaches an operator with no operand on its right after `steps`.
    bool missingOperand = false;
    /// The operand slot that holds the result, or -1 when the result is Empty.
    std::int32_t result = -1;
    /// One operand and nothing else: its value is the result.
    bool single = false;
};

/// Makes the program of a trimmed expression text. `depth` is the nesting of the text within the
/// outermost one (1 for the outermost); texts nested deeper than `maxDepth` raise 28.
EquationProgram compileEquation(QStringView text, const OperatorTable& operators, int depth, int maxDepth);

/// The text without its leading and trailing spaces (U+0020 only, the one token separator).
QStringView trimSpaces(QStringView text);

} // namespace reelkeep::detail
