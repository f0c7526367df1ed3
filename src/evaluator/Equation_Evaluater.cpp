// Evaluating expression programs: making operands, asking the library and the host, reducing,
// and applying operators.
#include "evaluator/Equation_Evaluater.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/EquationProgram.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/TemplateFindings.h"
#include "value/Operators.h"
#include "value/TextForm.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

namespace reelkeep {

namespace {

using detail::EquationProgram;
using detail::Instruction;
using detail::NameSite;
using detail::RefRange;
using detail::ValueRef;
namespace step = detail::step;

std::uint64_t newBinding()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

bool isText(const Value& value)
{
    return value.kind() == Kind::String || value.kind() == Kind::Empty;
}

// Copies a String's characters (none for Empty) to `out`; returns the end of the copy.
QChar* appendText(QChar* out, const Value& value)
{
    const QString& text = value.asString();
    std::copy(text.cbegin(), text.cend(), out);
    return out + text.size();
}

} // namespace

/// The frames of the evaluations in progress, one above the other: each evaluation takes the
/// slots its code writes, and nested evaluations take theirs further up. Slots never move, so an
/// argument list may refer to them while a host handler evaluates again. Beside each slot lies a
/// text that outlives the evaluation: the next evaluation to take the slot joins a chain of "&"
/// into it when no Value holds it any more, instead of allocating a new text.
class Equation_Evaluater::FrameStack
{
public:
    /// The slots of one evaluation, made one after another and dropped together.
    class Frame
    {
    public:
        Frame(FrameStack& stack, std::int32_t size)
            : m_stack(stack)
            , m_top(stack.m_top)
            , m_chunk(stack.m_chunk)
        {
            std::tie(m_slots, m_texts) = stack.take(size);
        }
        ~Frame()
        {
            std::destroy_n(m_slots, m_made);
            m_stack.m_top = m_top;
            m_stack.m_chunk = m_chunk;
        }
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

        Value& operator[](std::int32_t slot) { return m_slots[slot]; }
        /// Makes the next slot, Empty; slots are made in increasing order.
        Value& make(std::int32_t slot)
        {
            Value* value = new (m_slots + slot) Value();
            m_made = slot + 1;
            return *value;
        }

        /// The text beside the slot.
        QString& text(std::int32_t slot) { return m_texts[slot]; }

    private:
        FrameStack& m_stack;
        size_t m_top;
        size_t m_chunk;
        Value* m_slots;
        QString* m_texts;
        std::int32_t m_made = 0;
    };

private:
    // Most evaluators evaluate short texts: the first chunk is small, and each next one twice the
    // last, up to ChunkSlots.
    static constexpr size_t FirstChunkSlots = 1 << 8;
    static constexpr size_t ChunkSlots = 1 << 14;

    struct Chunk
    {
        Chunk(size_t slotCount)
            : size(slotCount)
            , storage(std::make_unique_for_overwrite<Storage[]>(slotCount))
            , texts(std::make_unique<QString[]>(slotCount))
        {}
        struct Storage
        {
            alignas(Value) unsigned char bytes[sizeof(Value)];
        };
        size_t size;
        std::unique_ptr<Storage[]> storage;
        std::unique_ptr<QString[]> texts;
    };

    std::pair<Value*, QString*> take(std::int32_t size)
    {
        const auto needed = size_t(size);
        while (m_chunk < m_chunks.size() && m_top + needed > m_chunks[m_chunk].size) {
            ++m_chunk;
            m_top = 0;
        }
        if (m_chunk == m_chunks.size()) {
            const size_t next =
                m_chunks.empty() ? FirstChunkSlots : std::min(m_chunks.back().size * 2, ChunkSlots);
            m_chunks.emplace_back(std::max(next, needed));
            m_top = 0;
        }
        Chunk& chunk = m_chunks[m_chunk];
        Value* taken = std::launder(reinterpret_cast<Value*>(chunk.storage[m_top].bytes));
        QString* texts = chunk.texts.get() + m_top;
        m_top += needed;
        return {taken, texts};
    }

    std::vector<Chunk> m_chunks;
    size_t m_chunk = 0;
    size_t m_top = 0;
};

// One evaluation of a text's code.
class Equation_Evaluater::Evaluation
{
public:
    Evaluation(Equation_Evaluater& evaluator, const Program& program)
        : m_evaluator(evaluator)
        , m_program(program)
        , m_base(evaluator.m_depth)
        , m_frame(*evaluator.m_frames, program.frameSize)
    {}
    // The evaluations nested inside this one have ended, however it ends.
    ~Evaluation() { m_evaluator.m_depth = m_base; }
    Evaluation(const Evaluation&) = delete;
    Evaluation& operator=(const Evaluation&) = delete;

    /// With a sink, a chain of "&" that makes the value (the last step then) is written to it part
    /// by part when it joins texts alone, and Empty stands for it.
    Value run(TextSink* sink)
    {
        const std::vector<Instruction>& code = m_program.instructions;
        const auto* chain = sink && !code.empty() ? std::get_if<step::JoinTexts>(&code.back()) : nullptr;
        if (chain && chain->target != m_program.result)
            chain = nullptr;
        const auto end = chain ? code.end() - 1 : code.end();
        for (auto instruction = code.begin(); instruction != end; ++instruction)
            std::visit([this](const auto& step) { execute(step); }, *instruction);
        if (chain) {
            if (writeParts(*chain, *sink))
                return Value();
            execute(*chain);
        }
        const ValueRef result = m_program.result;
        if (result >= 0)
            return std::move(m_frame[result]);
        return m_program.constants[size_t(-1 - result)];
    }

private:
    const Value& at(ValueRef ref) { return ref >= 0 ? m_frame[ref] : m_program.constants[size_t(-1 - ref)]; }

    // Each text being evaluated counts one level, the outermost one included.
    void execute(const step::CheckDepth& check)
    {
        if (m_base + check.depth > MaxDepth)
            raise(ErrorNumber::OutOfStackSpace);
    }

    void execute(const step::ApplyOperator& apply)
    {
        Value result = Apply_Operator(apply.operation, at(apply.left), at(apply.right));
        m_frame.make(apply.target) = std::move(result);
    }

    [[noreturn]] void execute(const step::RaiseError& error)
    {
        if (error.cause < 0)
            raise(error.error);
        raise(error.error, m_program.causes[size_t(error.cause)]);
    }

    // What the library and the host answer happens as deep as the text it is written in.
    void enterHandlerAt(std::uint16_t depth) { m_evaluator.m_depth = m_base + depth; }

    // A name that is not a constant is asked of the host; nobody answering leaves it Empty.
    void execute(const step::ReadVariable& read)
    {
        Value& result = m_frame.make(read.target);
        EvaluatorHost* host = m_evaluator.m_host;
        if (!host)
            return;
        const NameSite& site = m_program.sites[size_t(read.name)];
        enterHandlerAt(read.depth);
        if (site.hostNumber != EvaluatorHost::AskByName)
            host->getNumberedVariable(site.hostNumber, result);
        else
            host->uGetVarable(site.name, result);
    }

    void fillArguments(RefRange range, ArgumentList& arguments)
    {
        const ValueRef* ref = m_program.refs.data() + range.first;
        for (const ValueRef* end = ref + range.count; ref != end; ++ref)
            arguments.appendShared(at(*ref));
    }

    // Built-in functions come first; the host is asked only for names the library does not know,
    // with the library's answer (Empty) as the result it may leave untouched.
    void execute(const step::CallFunction& call)
    {
        Value& result = m_frame.make(call.target);
        ArgumentList arguments;
        fillArguments(call.arguments, arguments);
        const NameSite& site = m_program.sites[size_t(call.name)];
        enterHandlerAt(call.depth);
        if (site.libraryFunction != BuiltinLibrary::NotFound) {
            result = m_evaluator.m_library->Call_Function(site.libraryFunction, arguments);
            return;
        }
        EvaluatorHost* host = m_evaluator.m_host;
        if (!host)
            return;
        if (site.hostNumber != EvaluatorHost::AskByName)
            host->solveNumberedFunction(site.hostNumber, arguments, result);
        else
            host->uSolveFunctions(site.name, arguments, result);
    }

    // A plain group's value is turned into text and evaluated once more; two or more values are
    // Empty.
    void execute(const step::EvaluateGroup& group)
    {
        Value& result = m_frame.make(group.target);
        if (group.values.count != 1)
            return;
        const QString text = toStringLet(at(m_program.refs[size_t(group.values.first)]));
        enterHandlerAt(group.depth);
        result = m_evaluator.Evaluate_Equation(text);
    }

    // The parts of a chain of "&" one after another, when that writes the text joining them would
    // make: they are texts alone, and no surrogate pair has its halves in two parts.
    bool writeParts(const step::JoinTexts& join, TextSink& sink)
    {
        const ValueRef* const parts = m_program.refs.data() + join.parts.first;
        const ValueRef* const end = parts + join.parts.count;
        QChar last;
        for (const ValueRef* part = parts; part != end; ++part) {
            const Value& value = at(*part);
            if (!isText(value))
                return false;
            const QString& text = value.asString();
            if (text.isEmpty())
                continue;
            if (last.isHighSurrogate() && text.front().isLowSurrogate())
                return false;
            last = text.back();
        }
        for (const ValueRef* part = parts; part != end; ++part)
            sink.write(at(*part).asString());
        return true;
    }

    // A chain of "&": texts are joined at once; anything else takes the operator step by step.
    void execute(const step::JoinTexts& join)
    {
        const ValueRef* const parts = m_program.refs.data() + join.parts.first;
        const ValueRef* const end = parts + join.parts.count;
        qsizetype length = 0;
        bool allText = true;
        for (const ValueRef* part = parts; part != end; ++part) {
            allText = allText && isText(at(*part));
            length += at(*part).asString().size();
        }
        Value& result = m_frame.make(join.target);
        if (!allText) {
            result = Apply_Operator(Operation::Concatenate, at(parts[0]), at(parts[1]));
            for (const ValueRef* part = parts + 2; part != end; ++part)
                result = Apply_Operator(Operation::Concatenate, Value(result), at(*part));
            return;
        }
        QString& joined = m_frame.text(join.target);
        if (joined.isDetached() && joined.capacity() >= length) {
            joined.resize(length);
        } else {
            joined = QString();
            joined.reserve(length + length / 2);
            joined.resize(length);
        }
        QChar* out = joined.data();
        for (const ValueRef* part = parts; part != end; ++part)
            out = appendText(out, at(*part));
        result = Value::makeString(joined);
    }

    Equation_Evaluater& m_evaluator;
    const Program& m_program;
    /// The depth of evaluations in progress outside this one.
    const int m_base;
    FrameStack::Frame m_frame;
};

Equation_Evaluater::Equation_Evaluater(BuiltinLibrary* library, EvaluatorHost* host, int outerDepth)
    : m_library(library)
    , m_host(host)
    , m_binding(newBinding())
    , m_depth(outerDepth)
    , m_frames(std::make_unique<FrameStack>())
{}

Equation_Evaluater::~Equation_Evaluater() = default;

void Equation_Evaluater::setHost(EvaluatorHost* host)
{
    m_host = host;
    m_binding = newBinding();
    m_programs.clear();
}

void Equation_Evaluater::setLibrary(BuiltinLibrary* library)
{
    m_library = library;
    m_binding = newBinding();
    m_programs.clear();
}

detail::NameSite Equation_Evaluater::bind(const QString& name, bool isFunction) const
{
    NameSite site{name};
    site.libraryFunction =
        isFunction && m_library ? m_library->Find_Function(name) : BuiltinLibrary::NotFound;
    if (m_host && site.libraryFunction == BuiltinLibrary::NotFound)
        site.hostNumber = isFunction ? m_host->functionNumber(name) : m_host->variableNumber(name);
    return site;
}

Value Equation_Evaluater::Evaluate_Equation(const QString& Equation)
{
    const QStringView text = detail::trimSpaces(Equation);
    // Positions are 16-bit and must be able to step past the end separator.
    if (text.size() > MaxEquationLength)
        raise(ErrorNumber::Overflow);
    // Held for the whole run: evaluations inside it may empty the store of programs.
    const std::shared_ptr<const Program> program = programOf(text);
    return evaluate(*program);
}

PreparedEquation Equation_Evaluater::Prepare_Equation(QStringView Equation, QStringList* findings) const
{
    const QStringView text = detail::trimSpaces(Equation);
    if (text.size() > MaxEquationLength) {
        auto tooLong = std::make_shared<Program>();
        tooLong->tooLong = true;
        return PreparedEquation(std::move(tooLong));
    }
    std::shared_ptr<const Program> program = compile(text);
    if (findings)
        findTemplateMistakes(*program, m_library, m_host, *findings);
    return PreparedEquation(std::move(program));
}

QString Equation_Evaluater::resultMaker(const PreparedEquation& Equation) const
{
    if (!Equation.m_program || Equation.m_program->result < 0)
        return QString();
    const Program& program = *Equation.m_program;
    for (const Instruction& instruction : program.instructions) {
        if (const auto* call = std::get_if<step::CallFunction>(&instruction);
            call && call->target == program.result)
            return QStringLiteral("the function \"%1\"").arg(program.sites[size_t(call->name)].name);
        if (const auto* apply = std::get_if<step::ApplyOperator>(&instruction);
            apply && apply->target == program.result)
            return QStringLiteral("the operator \"%1\"").arg(m_operators.textOf(apply->operation));
        if (const auto* join = std::get_if<step::JoinTexts>(&instruction);
            join && join->target == program.result)
            return QStringLiteral("the operator \"&\"");
    }
    return QString();
}

Value Equation_Evaluater::Evaluate_Prepared(const PreparedEquation& Equation, TextSink* sink)
{
    if (!Equation.m_program)
        raise(ErrorNumber::InvalidProcedureCall);
    if (Equation.m_program->tooLong)
        raise(ErrorNumber::Overflow);
    return evaluate(*Equation.m_program, sink);
}

Value Equation_Evaluater::evaluate(const Program& program, TextSink* sink)
{
    if (program.binding == m_binding)
        return Evaluation(*this, program).run(sink);
    // Made for another library or host: the names are found again, for this evaluation.
    Program rebound = program;
    bindNames(rebound);
    return Evaluation(*this, rebound).run(sink);
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
    std::shared_ptr<const Program> program = compile(trimmedText);
    m_programs.insert(key, program);
    return program;
}

std::shared_ptr<const Equation_Evaluater::Program> Equation_Evaluater::compile(QStringView trimmedText) const
{
    auto program = std::make_shared<Program>(detail::compileEquation(trimmedText, m_operators, MaxDepth));
    bindNames(*program);
    return program;
}

// The names are found once, for the library and host the evaluator has now.
void Equation_Evaluater::bindNames(Program& program) const
{
    for (const Instruction& instruction : program.instructions) {
        if (const auto* read = std::get_if<step::ReadVariable>(&instruction))
            program.sites[size_t(read->name)] = bind(program.sites[size_t(read->name)].name, false);
        else if (const auto* call = std::get_if<step::CallFunction>(&instruction))
            program.sites[size_t(call->name)] = bind(program.sites[size_t(call->name)].name, true);
    }
    program.binding = m_binding;
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
