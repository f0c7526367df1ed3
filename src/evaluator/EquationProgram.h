// An expression text made into straight-line code once: what depends on the text alone (its
// tokens, which of them are operands, the arguments each operand takes and the order of the
// reduction) is worked out when the code is made, so evaluating the text again only runs it.
//
// The steps, one line each (ORDER Instruction): what a step reads, what it writes, and whom it
// calls. Before a call the evaluation sets its nesting depth to the step's, for the handler.
//
//   step           reads                     writes          calls
//   CheckDepth     depth                     -               - (Out of stack space, 28, past the limit)
//   ReadVariable   sites[name]               frame[target]   the host's uGetVarable, if there is a host
//   CallFunction   sites[name], arguments    frame[target]   the library, else the host's uSolveFunctions
//   EvaluateGroup  values                    frame[target]   the evaluator, on the text of the one value
//   ApplyOperator  left, right               frame[target]   - (a failing operator writes an Error Value)
//   JoinTexts      parts                     frame[target]   - (or, as the value, its parts into the page)
//   RaiseError     causes[cause]             -               - (always raises its error)
#pragma once

#include "evaluator/OperatorTable.h"
#include "value/RuntimeError.h"
#include "value/Value.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <variant>
#include <vector>

namespace reelkeep::detail {

/// Where an instruction finds a Value: a slot of the evaluation's frame (0 and up), or a
/// constant of the code (-1 for the first, -2 for the second, ...).
using ValueRef = std::int32_t;

inline constexpr ValueRef constantRef(std::int32_t constant)
{
    return -1 - constant;
}

/// The refs [first, first + count) of a program: a call's arguments, a group's Values, the parts
/// of a chain of "&".
struct RefRange
{
    std::int32_t first = 0;
    std::int32_t count = 0;
};

/// A name of an expression as written, and what the library and host that the program was made
/// for found it to be (EquationProgram::binding).
struct NameSite
{
    QString name;
    /// The library's number for a function's name, or -1 (BuiltinLibrary::NotFound).
    int libraryFunction = -1;
    /// The host's number for a name the library does not answer, or -1 (EvaluatorHost::AskByName).
    int hostNumber = -1;
};

/// The instructions of a program, one kind of step each. `target` is the frame slot a step
/// writes; `depth` is how deeply the text a step belongs to is nested (1 for the outermost one),
/// which is how deeply the library or host it asks are nested.
namespace step {

/// Out of stack space (28) when a text nested `depth` deep is beyond the limit, given how
/// deeply the evaluations around this one nest. Written only where the code enters a text deeper
/// than every one before it: the first text to go beyond the limit is always such a one.
struct CheckDepth
{
    std::uint16_t depth = 1;
};

/// The host's answer for the variable named at sites[name].
struct ReadVariable
{
    std::int32_t target = 0;
    std::int32_t name = 0;
    std::uint16_t depth = 1;
};

/// The function named at sites[name] of the Values of `arguments`.
struct CallFunction
{
    std::int32_t target = 0;
    std::int32_t name = 0;
    RefRange arguments;
    std::uint16_t depth = 1;
};

/// A group's one Value turned into text and evaluated again; Empty for any other count.
struct EvaluateGroup
{
    std::int32_t target = 0;
    RefRange values;
    std::uint16_t depth = 1;
};

/// `operation` of the Values at `left` and `right`.
struct ApplyOperator
{
    std::int32_t target = 0;
    Operation operation = Operation::Power;
    ValueRef left = 0;
    ValueRef right = 0;
};

/// The Values of `parts` joined by "&", in order.
struct JoinTexts
{
    std::int32_t target = 0;
    RefRange parts;
};

/// A run-time error the text always raises when the evaluation reaches it: an operator with
/// nothing on its right (9), a number beyond the Double range (6).
struct RaiseError
{
    ErrorNumber error = ErrorNumber::None;
    /// What the text did to raise it, in words: the program's causes[cause], or none for -1.
    std::int32_t cause = -1;
};

} // namespace step

// ORDER Instruction
using Instruction = std::variant<step::CheckDepth,
                                 step::ReadVariable,
                                 step::CallFunction,
                                 step::EvaluateGroup,
                                 step::ApplyOperator,
                                 step::JoinTexts,
                                 step::RaiseError>;

/// The code of one expression text, its argument texts included, trimmed of its spaces. Nothing
/// in it changes once it is made, so one program may be evaluated by several evaluations at once.
struct EquationProgram
{
    std::vector<Value> constants;
    std::vector<NameSite> sites;
    std::vector<ValueRef> refs;
    /// Every instruction in the order the evaluation takes them.
    std::vector<Instruction> instructions;
    /// The frame slots the code writes, each exactly once, in increasing order.
    std::int32_t frameSize = 0;
    /// The deepest nesting of its texts.
    int depth = 1;
    ValueRef result = constantRef(0);
    /// A text that is too long is refused with Overflow (6) before it is evaluated.
    bool tooLong = false;
    /// The causes in words of the errors its RaiseError steps raise.
    std::vector<QString> causes;
    /// What the text does that its author most likely did not mean, though it yields what it
    /// yields all the same: texts whose operands could not all be joined. The library and host
    /// add theirs when the program is prepared for them with its findings asked for.
    std::vector<QString> findings;
    /// The library and host whose numbers the sites hold (Equation_Evaluater's binding); 0 for
    /// none: an evaluator with another binding finds the names itself.
    std::uint64_t binding = 0;
};

/// Makes the code of a trimmed expression text. Texts nested deeper than `maxDepth` raise Out of
/// stack space (28) when the evaluation reaches them.
EquationProgram compileEquation(QStringView text, const OperatorTable& operators, int maxDepth);

/// The names of the constants ("true", "null", ...), as they must be written.
QStringList constantNames();

/// The text without its leading and trailing spaces (U+0020 only, the one token separator).
QStringView trimSpaces(QStringView text);

} // namespace reelkeep::detail
