// An expression text made into straight-line code once: what depends on the text alone (its
// tokens, which of them are operands, the arguments each operand takes and the order of the
// reduction) is worked out when the code is made, so evaluating the text again only runs it.
#pragma once

#include "evaluator/OperatorTable.h"
#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/Value.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace reelkeep {} // namespace reelkeep

namespace reelkeep::detail {

/// Where an instruction finds a Value: a slot of the evaluation's frame (0 and up), or a
/// constant of the code (-1 for the first, -2 for the second, ...).
using ValueRef = std::int32_t;

inline constexpr ValueRef constantRef(std::int32_t constant)
{
    return -1 - constant;
}

/// What a name of an expression was found to be, remembered where it is written. The numbers
/// hold only for the library and host that gave them, which `binding` identifies.
struct NameSite
{
    QString name;
    mutable std::uint64_t binding = 0;
    mutable int libraryFunction = -1;
    mutable int hostNumber = -1;
};

struct Instruction
{
    enum class Op : std::uint8_t
    {
        Enter,       // a text (the outermost one or an argument's) begins: count its nesting
        Variable,    // target := the host's answer for the name of `site`
        Call,        // target := the function of `site` of the Values at refs[first, first + count)
        Group,       // target := the group's one Value, turned into text and evaluated again
        Apply,       // target := `operation` of the Values at `left` and `right`
        Concatenate, // target := the Values at refs[first, first + count) joined by "&", in order,
                     // in the text of joinBuffers[site] when it is free
        Raise,       // the run-time error `error`: an operator with nothing on its right (9),
                     // a number beyond the Double range (6)
    };

    Op op;
    Operation operation = Operation::Power;
    /// How deeply the text this instruction belongs to is nested: 1 for the outermost one.
    std::uint16_t depth = 1;
    std::int32_t target = 0;
    /// Apply: the operands. Call, Group and Concatenate: the range of refs.
    std::int32_t first = 0;
    std::int32_t count = 0;
    ValueRef left = 0;
    ValueRef right = 0;
    std::int32_t site = 0;
    ErrorNumber error = ErrorNumber::None;
};

/// The code of one expression text, its argument texts included, trimmed of its spaces.
struct EquationProgram
{
    std::vector<Value> constants;
    std::vector<NameSite> sites;
    std::vector<ValueRef> refs;
    /// Every instruction in the order the evaluation takes them.
    std::vector<Instruction> instructions;
    /// The same without the Enter instructions, for evaluations that cannot nest too deeply.
    std::vector<Instruction> unchecked;
    /// Each "&" chain's last text: when no Value holds it any more, the next evaluation joins its
    /// text there instead of allocating a new one.
    mutable std::vector<QString> joinBuffers;
    /// The frame slots the code writes, each exactly once, in increasing order.
    std::int32_t frameSize = 0;
    /// The deepest nesting of its texts.
    int depth = 1;
    ValueRef result = constantRef(0);
    /// A text that is too long is refused with Overflow (6) before it is evaluated.
    bool tooLong = false;
};

/// Makes the code of a trimmed expression text. Texts nested deeper than `maxDepth` raise Out of
/// stack space (28) when the evaluation reaches them.
EquationProgram compileEquation(QStringView text, const OperatorTable& operators, int maxDepth);

/// The text without its leading and trailing spaces (U+0020 only, the one token separator).
QStringView trimSpaces(QStringView text);

} // namespace reelkeep::detail
