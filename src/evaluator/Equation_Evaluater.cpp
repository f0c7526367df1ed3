// Evaluating expression programs: making operands, asking the library and the host, reducing,
// and applying operators.
#include "evaluator/Equation_Evaluater.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/EquationProgram.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/Operators.h"
#include "evaluator/value/TextForm.h"

#include <QVarLengthArray>

#include <atomic>

namespace reelkeep {

namespace {

using detail::EquationProgram;
using detail::NameBinding;
using detail::OperandCode;
using detail::ReductionStep;

std::uint64_t newBinding()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// Counts one evaluation in progress for as long as it lasts, and refuses one too many.
class DepthGuard
{
public:
    explicit DepthGuard(int& depth)
        : m_depth(depth)
    {
        if (m_depth >= Equation_Evaluater::MaxDepth)
            raise(ErrorNumber::OutOfStackSpace);
        ++m_depth;
    }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

// The operand values of one program while it is reduced: each slot refers to a constant of the
// program or to a Value made for it.
class OperandSlots
{
public:
    explicit OperandSlots(qsizetype count)
        : m_values(count)
        , m_made(count)
    {}

    const Value& operator[](std::int32_t slot) const { return *m_values[slot]; }
    bool isMade(std::int32_t slot) const { return m_values[slot] == &m_made[slot]; }

    void refer(std::int32_t slot, const Value& value) { m_values[slot] = &value; }
    /// The slot's own Value, which the slot then refers to.
    Value& made(std::int32_t slot)
    {
        m_values[slot] = &m_made[slot];
        return m_made[slot];
    }

private:
    QVarLengthArray<const Value*, 8> m_values;
    QVarLengthArray<Value, 8> m_made;
};

bool isText(const Value& value)
{
    return value.kind() == Kind::String || value.kind() == Kind::Empty;
}

} // namespace

// One evaluation of a program and of the programs inside it: arguments, groups, dropped and
// trailing arguments.
class Equation_Evaluater::Evaluation
{
public:
    explicit Evaluation(Equation_Evaluater& evaluator)
        : m_evaluator(evaluator)
    {}

    /// The value of a program: a constant of the program itself, or `scratch`.
    const Value& run(const Program& program, Value& scratch)
    {
        const DepthGuard depth(m_evaluator.m_depth);
        if (program.error != 0)
            raise(static_cast<ErrorNumber>(program.error));
        if (program.single)
            return operand(program.operands.front(), scratch);
        return runInFull(program, scratch);
    }

private:
    // Operands are made in written order, before any operator is applied.
    const Value& runInFull(const Program& program, Value& scratch)
    {
        const auto operandCount = static_cast<std::int32_t>(program.operands.size());
        OperandSlots values(operandCount);
        for (std::int32_t slot = 0; slot < operandCount; ++slot) {
            Value& made = values.made(slot);
            const Value& value = operand(program.operands[size_t(slot)], made);
            if (&value != &made)
                values.refer(slot, value);
        }
        dropAll(program.trailing);
        reduce(program.steps, values);
        if (program.missingOperand)
            raise(ErrorNumber::SubscriptOutOfRange);
        if (program.result < 0) {
            scratch = Value();
            return scratch;
        }
        if (!values.isMade(program.result))
            return values[program.result];
        scratch = std::move(values.made(program.result));
        return scratch;
    }

    const Value& operand(const OperandCode& code, Value& scratch)
    {
        dropAll(code.dropped);
        switch (code.kind) {
        case OperandCode::Kind::Constant:
            return code.constant;
        case OperandCode::Kind::Variable:
            variable(code, scratch);
            return scratch;
        case OperandCode::Kind::Call:
            call(code, scratch);
            return scratch;
        case OperandCode::Kind::Group:
            group(code, scratch);
            return scratch;
        }
        return scratch;
    }

    void dropAll(const std::vector<Program>& programs)
    {
        for (const Program& program : programs) {
            Value dropped;
            run(program, dropped);
        }
    }

    // Arguments are evaluated in written order; a constant is passed without copying it.
    void evaluateArguments(const std::vector<Program>& programs, ArgumentList& arguments)
    {
        for (const Program& program : programs) {
            Value scratch;
            const Value& value = run(program, scratch);
            if (&value == &scratch)
                arguments.append(std::move(scratch));
            else
                arguments.appendShared(value);
        }
    }

    const NameBinding& bindingOf(const OperandCode& code, bool isFunction)
    {
        NameBinding& found = code.found;
        if (found.binding == m_evaluator.m_binding)
            return found;
        BuiltinLibrary* library = m_evaluator.m_library;
        EvaluatorHost* host = m_evaluator.m_host;
        found.libraryFunction =
            isFunction && library ? library->Find_Function(code.name) : BuiltinLibrary::NotFound;
        found.hostNumber = EvaluatorHost::AskByName;
        if (host && found.libraryFunction == BuiltinLibrary::NotFound)
            found.hostNumber = isFunction ? host->functionNumber(code.name) : host->variableNumber(code.name);
        found.binding = m_evaluator.m_binding;
        return found;
    }

    // A name that is not a constant is asked of the host; nobody answering leaves it Empty.
    void variable(const OperandCode& code, Value& result)
    {
        EvaluatorHost* host = m_evaluator.m_host;
        if (!host)
            return;
        const NameBinding& found = bindingOf(code, false);
        if (found.hostNumber != EvaluatorHost::AskByName)
            host->getNumberedVariable(found.hostNumber, result);
        else
            host->uGetVarable(code.name, result);
    }

    // Built-in functions come first; the host is asked only for names the library does not know,
    // with the library's answer (Empty) as the result it may leave untouched.
    void call(const OperandCode& code, Value& result)
    {
        ArgumentList arguments;
        evaluateArguments(code.arguments, arguments);
        const NameBinding& found = bindingOf(code, true);
        if (found.libraryFunction != BuiltinLibrary::NotFound) {
            result = m_evaluator.m_library->Call_Function(found.libraryFunction, arguments);
            return;
        }
        EvaluatorHost* host = m_evaluator.m_host;
        if (!host)
            return;
        if (found.hostNumber != EvaluatorHost::AskByName)
            host->solveNumberedFunction(found.hostNumber, arguments, result);
        else
            host->uSolveFunctions(code.name, arguments, result);
    }

    // A plain group's value is turned into text and evaluated once more; two or more values are
    // Empty.
    void group(const OperandCode& code, Value& result)
    {
        ArgumentList arguments;
        evaluateArguments(code.arguments, arguments);
        if (arguments.count() != 1)
            return;
        const QString text = toStringLet(arguments.item(1));
        const QStringView trimmed = detail::trimSpaces(text);
        if (trimmed.size() > MaxEquationLength)
            raise(ErrorNumber::Overflow);
        // Held for the whole run: evaluations inside it may empty the store of programs.
        const std::shared_ptr<const Program> program = m_evaluator.programOf(trimmed);
        const Value& value = run(*program, result);
        if (&value != &result)
            result = value;
    }

    void reduce(const std::vector<ReductionStep>& steps, OperandSlots& values)
    {
        for (size_t i = 0; i < steps.size(); i += steps[i].run) {
            const ReductionStep& step = steps[i];
            if (step.run > 1) {
                concatenateRun(&step, values);
                continue;
            }
            Value result = Apply_Operator(step.operation, values[step.left], values[step.right]);
            values.made(step.left) = std::move(result);
        }
    }

    // A chain of "&" into one slot: texts are joined at once; anything else takes the operator
    // step by step.
    static void concatenateRun(const ReductionStep* first, OperandSlots& values)
    {
        const std::int32_t left = first->left;
        qsizetype length = values[left].asString().size();
        bool allText = isText(values[left]);
        for (const ReductionStep* step = first; step != first + first->run; ++step) {
            allText = allText && isText(values[step->right]);
            length += values[step->right].asString().size();
        }
        if (!allText) {
            for (const ReductionStep* step = first; step != first + first->run; ++step) {
                Value result = Apply_Operator(Operation::Concatenate, values[left], values[step->right]);
                values.made(left) = std::move(result);
            }
            return;
        }
        QString joined;
        joined.reserve(length);
        joined.append(values[left].asString());
        for (const ReductionStep* step = first; step != first + first->run; ++step)
            joined.append(values[step->right].asString());
        values.made(left) = Value::makeString(std::move(joined));
    }

    Equation_Evaluater& m_evaluator;
};

Equation_Evaluater::Equation_Evaluater(BuiltinLibrary* library, EvaluatorHost* host)
    : m_library(library)
    , m_host(host)
    , m_binding(newBinding())
{}

Equation_Evaluater::~Equation_Evaluater() = default;

void Equation_Evaluater::setHost(EvaluatorHost* host)
{
    m_host = host;
    m_binding = newBinding();
}

void Equation_Evaluater::setLibrary(BuiltinLibrary* library)
{
    m_library = library;
    m_binding = newBinding();
}

Value Equation_Evaluater::Evaluate_Equation(const QString& Equation)
{
    const QStringView text = detail::trimSpaces(Equation);
    // Positions are 16-bit and must be able to step past the end separator.
    if (text.size() > MaxEquationLength)
        raise(ErrorNumber::Overflow);
    // Held for the whole run: evaluations inside it may empty the store of programs.
    const std::shared_ptr<const Program> program = programOf(text);
    return evaluateRoot(*program);
}

PreparedEquation Equation_Evaluater::Prepare_Equation(QStringView Equation) const
{
    const QStringView text = detail::trimSpaces(Equation);
    if (text.size() > MaxEquationLength) {
        auto tooLong = std::make_shared<Program>();
        tooLong->error = static_cast<int>(ErrorNumber::Overflow);
        return PreparedEquation(std::move(tooLong));
    }
    return PreparedEquation(
        std::make_shared<const Program>(detail::compileEquation(text, m_operators, 1, MaxDepth)));
}

Value Equation_Evaluater::Evaluate_Prepared(const PreparedEquation& Equation)
{
    if (!Equation.m_program)
        raise(ErrorNumber::InvalidProcedureCall);
    // A text that is too long is refused before the evaluation counts as begun.
    if (Equation.m_program->error == static_cast<int>(ErrorNumber::Overflow))
        raise(ErrorNumber::Overflow);
    return evaluateRoot(*Equation.m_program);
}

Value Equation_Evaluater::evaluateRoot(const Program& program)
{
    Value scratch;
    const Value& result = Evaluation(*this).run(program, scratch);
    if (&result == &scratch)
        return scratch;
    return result;
}

std::shared_ptr<const Equation_Evaluater::Program> Equation_Evaluater::programOf(QStringView trimmedText)
{
    // Templates evaluate the same few texts over and over; texts made at run time (a group's
    // value evaluated again) could grow the store without end, so it is emptied when full.
    const QString key = trimmedText.toString();
    if (const auto known = m_programs.constFind(key); known != m_programs.cend())
        return *known;
    if (m_programs.size() >= MaxKeptPrograms)
        m_programs.clear();
    auto program =
        std::make_shared<const Program>(detail::compileEquation(trimmedText, m_operators, 1, MaxDepth));
    m_programs.insert(key, program);
    return program;
}

Value Apply_Operator(Operation operation, const Value& left, const Value& right)
{
    try {
        switch (operation) {
        case Operation::Power:
            return power(left, right);
        case Operation::Multiply:
            return multiply(left, right);
        case Operation::Divide:
            return divide(left, right);
        case Operation::IntegerDivide:
            return integerDivide(left, right);
        case Operation::Modulo:
            return modulo(left, right);
        case Operation::Add:
            return add(left, right);
        case Operation::Subtract:
            return subtract(left, right);
        case Operation::Concatenate:
            return concatenate(left, right);
        case Operation::Equal:
            return equal(left, right);
        case Operation::NotEqual:
            return notEqual(left, right);
        case Operation::Less:
            return less(left, right);
        case Operation::Greater:
            return greater(left, right);
        case Operation::LessOrEqual:
            return lessOrEqual(left, right);
        case Operation::GreaterOrEqual:
            return greaterOrEqual(left, right);
        case Operation::Like:
            return likeOperator(left, right);
        case Operation::Is:
            return isOperator(left, right);
        case Operation::Not:
            return notOperator(left);
        case Operation::And:
            return andOperator(left, right);
        case Operation::Or:
            return orOperator(left, right);
        case Operation::Xor:
            return xorOperator(left, right);
        case Operation::Eqv:
            return eqvOperator(left, right);
        case Operation::Imp:
            return impOperator(left, right);
        }
        return Value();
    } catch (const RuntimeError& error) {
        return Value::makeError(error.number());
    }
}

} // namespace reelkeep
