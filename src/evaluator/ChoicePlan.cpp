// Planning how an evaluation takes the choices of "if" and IIf. The argument a choice does not
// give is still evaluated in full, so its code may only be left out where running it could
// neither raise nor change anything, and then the result is the same without it; the choice
// itself needs no call when its condition is a Boolean or Null.
#include "evaluator/BuiltinLibrary.h"
#include "evaluator/EquationProgram.h"
#include "evaluator/EvaluatorHost.h"

#include <algorithm>

namespace reelkeep::detail {

namespace {

KnownKind kindOfConstant(const Value& value)
{
    switch (value.kind()) {
    case Kind::Empty:
    case Kind::String:
        return KnownKind::Text;
    case Kind::Boolean:
        return KnownKind::Boolean;
    default:
        return KnownKind::Any;
    }
}

bool isComparison(Operation operation)
{
    switch (operation) {
    case Operation::Equal:
    case Operation::NotEqual:
    case Operation::Less:
    case Operation::Greater:
    case Operation::LessOrEqual:
    case Operation::GreaterOrEqual:
        return true;
    default:
        return false;
    }
}

bool isLogical(Operation operation)
{
    switch (operation) {
    case Operation::And:
    case Operation::Or:
    case Operation::Xor:
    case Operation::Eqv:
    case Operation::Imp:
        return true;
    default:
        return false;
    }
}

// What an operator gives; it never raises (a failure is an Error Value). Texts compare to a
// Boolean, and Booleans combine to one; "not" reads its left operand only.
KnownKind appliedKind(Operation operation, KnownKind left, KnownKind right)
{
    if (isComparison(operation))
        return left == KnownKind::Text && right == KnownKind::Text ? KnownKind::Boolean : KnownKind::Any;
    if (operation == Operation::Not)
        return left == KnownKind::Boolean ? KnownKind::Boolean : KnownKind::Any;
    if (isLogical(operation))
        return left == KnownKind::Boolean && right == KnownKind::Boolean ? KnownKind::Boolean
                                                                         : KnownKind::Any;
    return KnownKind::Any;
}

// What each instruction of a program is known to do, for its library and host.
class QuietCode
{
public:
    QuietCode(const EquationProgram& program, const BuiltinLibrary* library, EvaluatorHost* host)
        : m_program(program)
        , m_library(library)
        , m_host(host)
        , m_slotKinds(size_t(program.frameSize), KnownKind::Any)
        , m_quiet(program.instructions.size(), false)
        , m_reads(program.instructions.size(), EvaluatorHost::AskByName)
    {
        for (size_t index = 0; index < program.instructions.size(); ++index)
            study(index);
    }

    /// The library's number for the function an instruction calls, or NotFound.
    int libraryFunction(const Instruction& instruction) const
    {
        return m_library ? m_library->Find_Function(siteName(instruction)) : BuiltinLibrary::NotFound;
    }

    /// Whether the code in `span` can neither raise nor change anything.
    bool isQuiet(CodeSpan span) const
    {
        return std::all_of(
            m_quiet.begin() + span.begin, m_quiet.begin() + span.end, [](bool quiet) { return quiet; });
    }

    /// The host variables the code in `span` reads, each once.
    std::vector<std::int32_t> readsIn(CodeSpan span) const
    {
        std::vector<std::int32_t> reads;
        for (auto index = size_t(span.begin); index < size_t(span.end); ++index) {
            const std::int32_t number = m_reads[index];
            if (number != EvaluatorHost::AskByName &&
                std::find(reads.begin(), reads.end(), number) == reads.end())
                reads.push_back(number);
        }
        return reads;
    }

private:
    const QString& siteName(const Instruction& instruction) const
    {
        return m_program.sites[size_t(instruction.site)].name;
    }

    KnownKind kindOf(ValueRef ref) const
    {
        return ref >= 0 ? m_slotKinds[size_t(ref)] : kindOfConstant(m_program.constants[size_t(-1 - ref)]);
    }

    void study(size_t index)
    {
        const Instruction& instruction = m_program.instructions[index];
        std::optional<KnownKind> made;
        switch (instruction.op) {
        case Instruction::Op::Enter:
            // Only in the code that checks the nesting, which leaves nothing out.
            m_quiet[index] = true;
            return;
        case Instruction::Op::Variable:
            made = variableKind(instruction, m_reads[index]);
            break;
        case Instruction::Op::Call:
            made = callKind(instruction);
            break;
        case Instruction::Op::Apply:
            made = appliedKind(instruction.operation, kindOf(instruction.left), kindOf(instruction.right));
            break;
        case Instruction::Op::Concatenate:
            made = partsKind(instruction);
            break;
        default:
            // A group evaluates a text made at run time; a Raise raises.
            break;
        }
        if (!made)
            return;
        m_quiet[index] = true;
        m_slotKinds[size_t(instruction.target)] = *made;
    }

    // Without a host a variable is Empty.
    std::optional<KnownKind> variableKind(const Instruction& instruction, std::int32_t& read) const
    {
        if (!m_host)
            return KnownKind::Text;
        const int number = m_host->variableNumber(siteName(instruction));
        if (number == EvaluatorHost::AskByName)
            return std::nullopt;
        const std::optional<KnownKind> kind = m_host->quietVariable(number);
        if (kind)
            read = number;
        return kind;
    }

    // Only library functions are known; the host's may do anything.
    std::optional<KnownKind> callKind(const Instruction& instruction) const
    {
        const int function = libraryFunction(instruction);
        if (function == BuiltinLibrary::NotFound)
            return std::nullopt;
        std::vector<KnownKind> arguments;
        for (std::int32_t k = 0; k < instruction.count; ++k)
            arguments.push_back(kindOf(m_program.refs[size_t(instruction.first + k)]));
        return m_library->quietResult(function, arguments);
    }

    // Texts join to a text; anything else takes the operator, which never raises.
    KnownKind partsKind(const Instruction& instruction) const
    {
        for (std::int32_t k = 0; k < instruction.count; ++k) {
            if (kindOf(m_program.refs[size_t(instruction.first + k)]) != KnownKind::Text)
                return KnownKind::Any;
        }
        return KnownKind::Text;
    }

    const EquationProgram& m_program;
    const BuiltinLibrary* m_library;
    EvaluatorHost* m_host;
    std::vector<KnownKind> m_slotKinds;
    std::vector<bool> m_quiet;
    /// The host variable each Variable instruction reads, when it is known to be quiet.
    std::vector<std::int32_t> m_reads;
};

// One argument's code that may be left out, before it is placed in the unchecked code.
struct LeftOut
{
    CodeSpan code;
    Instruction instruction;
};

// The slots that the instructions in `span` write: one each, in increasing order.
std::pair<std::int32_t, std::int32_t> slotsWritten(const EquationProgram& program, CodeSpan span)
{
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (auto index = size_t(span.begin); index < size_t(span.end); ++index) {
        const Instruction& instruction = program.instructions[index];
        if (instruction.op == Instruction::Op::Enter)
            continue;
        if (first < 0)
            first = instruction.target;
        last = instruction.target;
    }
    return {first, last + 1};
}

// The instructions without their Enter ones, the choice calls marked Choose, and each LeaveOut
// before the code it leaves out, its jump taken to where that code ends.
std::vector<Instruction>
uncheckedCode(const EquationProgram& program, const std::vector<bool>& chooses, std::vector<LeftOut> leftOut)
{
    // Each argument's code begins with its own text's Enter, so no two begin at one place.
    std::sort(leftOut.begin(), leftOut.end(), [](const LeftOut& a, const LeftOut& b) {
        return a.code.begin < b.code.begin;
    });
    // Where each instruction lands in the unchecked code, a LeaveOut placed before it included.
    std::vector<std::int32_t> position(program.instructions.size() + 1);
    std::vector<Instruction> unchecked;
    auto next = leftOut.begin();
    for (size_t index = 0; index < program.instructions.size(); ++index) {
        position[index] = std::int32_t(unchecked.size());
        if (next != leftOut.end() && size_t(next->code.begin) == index)
            unchecked.push_back((next++)->instruction);
        Instruction instruction = program.instructions[index];
        if (chooses[index])
            instruction.op = Instruction::Op::Choose;
        if (instruction.op != Instruction::Op::Enter)
            unchecked.push_back(instruction);
    }
    position.back() = std::int32_t(unchecked.size());
    next = leftOut.begin();
    for (Instruction& instruction : unchecked) {
        if (instruction.op == Instruction::Op::LeaveOutUnlessTrue ||
            instruction.op == Instruction::Op::LeaveOutUnlessFalse)
            instruction.site = position[size_t((next++)->code.end)];
    }
    return unchecked;
}

} // namespace

void planChoices(EquationProgram& program,
                 const BuiltinLibrary* library,
                 EvaluatorHost* host,
                 std::uint64_t binding)
{
    if (!library)
        return;
    const QuietCode quiet(program, library, host);
    std::vector<LeftOut> leftOut;
    std::vector<bool> chooses(program.instructions.size(), false);
    for (size_t index = 0; index < program.instructions.size(); ++index) {
        const Instruction& call = program.instructions[index];
        if (call.op != Instruction::Op::Call || call.count < 2)
            continue;
        const int function = quiet.libraryFunction(call);
        if (function == BuiltinLibrary::NotFound || !library->choosesByCondition(function, call.count))
            continue;
        chooses[index] = true;
        const ValueRef condition = program.refs[size_t(call.first)];
        // The second argument is given only when the condition is True, the third only when not.
        for (std::int32_t k = 1; k < std::min(call.count, 3); ++k) {
            const CodeSpan code = program.argumentCode[size_t(call.first + k)];
            const auto [firstSlot, endSlot] = slotsWritten(program, code);
            if (firstSlot < 0 || !quiet.isQuiet(code))
                continue;
            const std::vector<std::int32_t> reads = quiet.readsIn(code);
            const auto firstRead = std::int32_t(program.leftOutReads.size());
            program.leftOutReads.insert(program.leftOutReads.end(), reads.begin(), reads.end());
            leftOut.push_back(
                {code,
                 {.op = k == 1 ? Instruction::Op::LeaveOutUnlessTrue : Instruction::Op::LeaveOutUnlessFalse,
                  .target = firstSlot,
                  .first = firstRead,
                  .count = std::int32_t(reads.size()),
                  .left = condition,
                  .right = endSlot}});
        }
    }
    if (std::find(chooses.begin(), chooses.end(), true) == chooses.end())
        return;
    program.unchecked = uncheckedCode(program, chooses, std::move(leftOut));
    program.choicesBinding = binding;
}

} // namespace reelkeep::detail
