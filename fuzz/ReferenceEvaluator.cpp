// The plain evaluator: the character scan, the making of operands and the row-by-row reduction,
// each step as the evaluator's rules state it.
#include "ReferenceEvaluator.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluatorHost.h"
#include "value/NumberText.h"
#include "value/TextCase.h"
#include "value/TextForm.h"

#include <optional>

namespace reelkeep {

namespace {

constexpr int TableRows = 13;
constexpr int TableColumns = 10;

// The operator table: row 0 binds tightest, a row ends at its first empty cell.
const char* const Table[TableRows][TableColumns] = {
    {"^"},
    {"*", "/"},
    {"\\"},
    {"mod"},
    {"+", "-"},
    {"&"},
    {"=", "<>", "<", ">", "<=", ">=", "like", "is", "=<", "=>"},
    {"not"},
    {"and"},
    {"or"},
    {"xor"},
    {"eqv"},
    {"imp"},
};

// The operation of a lower-case operator text, compared in Apply_Operator's order; none for a
// text that is no operator.
std::optional<Operation> operationOf(const QString& op)
{
    using enum Operation;
    const std::pair<const char*, Operation> texts[] = {
        {"^", Power},           {"*", Multiply},     {"/", Divide},
        {"\\", IntegerDivide},  {"mod", Modulo},     {"+", Add},
        {"-", Subtract},        {"&", Concatenate},  {"=", Equal},
        {"<>", NotEqual},       {"<", Less},         {">", Greater},
        {"<=", LessOrEqual},    {"=<", LessOrEqual}, {">=", GreaterOrEqual},
        {"=>", GreaterOrEqual}, {"like", Like},      {"is", Is},
        {"not", Not},           {"and", And},        {"or", Or},
        {"xor", Xor},           {"eqv", Eqv},        {"imp", Imp},
    };
    for (const auto& [text, operation] : texts) {
        if (op == QLatin1String(text))
            return operation;
    }
    return std::nullopt;
}

Value applyOperatorText(const QString& op, const Value& left, const Value& right)
{
    const std::optional<Operation> operation = operationOf(lcase(Value::makeString(op)).asString());
    return operation ? Apply_Operator(*operation, left, right) : Value();
}

// Reading a list position that is not there raises Subscript out of range (9).
const Value& operandAt(const QList<Value>& operands, int k)
{
    if (k < 1 || k > operands.size())
        raise(ErrorNumber::SubscriptOutOfRange);
    return operands[k - 1];
}

QString trimSpaces(const QString& text)
{
    int begin = 0;
    int end = int(text.size());
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

class DepthCount
{
public:
    explicit DepthCount(int& depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~DepthCount() { --m_depth; }
    DepthCount(const DepthCount&) = delete;
    DepthCount& operator=(const DepthCount&) = delete;

private:
    int& m_depth;
};

} // namespace

ReferenceEvaluator::ReferenceEvaluator(BuiltinLibrary* library, EvaluatorHost* host)
    : m_library(library)
    , m_host(host)
{}

Value ReferenceEvaluator::Evaluate_Equation(const QString& Equation)
{
    Call call;
    call.text = trimSpaces(Equation);
    if (call.text.size() > Equation_Evaluater::MaxEquationLength)
        raise(ErrorNumber::Overflow);
    if (m_depth >= Equation_Evaluater::MaxDepth)
        raise(ErrorNumber::OutOfStackSpace);
    const DepthCount counted(m_depth);
    call.length = int(call.text.size());
    return scanAndReduce(call);
}

Value ReferenceEvaluator::scanAndReduce(Call& call)
{
    // Position N+1 reads as one space, the end separator.
    for (call.position = 1; call.position <= call.length + 1; ++call.position) {
        const QChar character = call.position == call.length + 1 ? QChar(u' ') : call.text[call.position - 1];
        if (character == u'(') {
            if (!scanGroup(call))
                break;
        } else if (character == u'\'') {
            scanLiteral(call);
        } else if (character == u' ') {
            endToken(call);
        } else {
            call.token += character;
        }
    }
    reduce(call);
    return call.operands.size() == 1 ? call.operands[0] : Value();
}

void ReferenceEvaluator::scanLiteral(Call& call)
{
    call.token += u'\'';
    while (call.position < call.length) {
        ++call.position;
        const QChar character = call.text[call.position - 1];
        if (character == u'\'')
            return;
        call.token += character;
    }
}

bool ReferenceEvaluator::scanGroup(Call& call)
{
    call.arguments.clear();
    call.nesting = 1;
    const int opening = call.position;
    for (;;) {
        ++call.position;
        if (call.position > call.length)
            return false;
        const QChar character = call.text[call.position - 1];
        if (character == u'\'') {
            call.argumentText += character;
            while (call.position < call.length) {
                ++call.position;
                call.argumentText += call.text[call.position - 1];
                if (call.text[call.position - 1] == u'\'')
                    break;
            }
        } else if (character == u'(') {
            ++call.nesting;
            call.argumentText += character;
        } else if (character == u')') {
            --call.nesting;
            if (call.nesting > 0) {
                call.argumentText += character;
                continue;
            }
            // A name followed by "()" with nothing at all between them takes no argument.
            const bool noArgument = call.position == opening + 1 && !call.token.isEmpty();
            if (!noArgument)
                call.arguments.append(Evaluate_Equation(call.argumentText));
            call.argumentText.clear();
            call.groupClosed = true;
            return true;
        } else if (character == u',' && call.nesting == 1) {
            call.arguments.append(Evaluate_Equation(call.argumentText));
            call.argumentText.clear();
        } else {
            call.argumentText += character;
        }
    }
}

void ReferenceEvaluator::endToken(Call& call)
{
    if (call.token.isEmpty() && call.arguments.count() == 0)
        return;
    if (call.expectOperand) {
        call.operands.append(makeOperand(call));
        call.token.clear();
        call.argumentText.clear();
        call.arguments.clear();
        call.groupClosed = false;
        call.expectOperand = false;
    } else {
        // The argument list and the group-closed flag stay as they are.
        call.operators.append(call.token);
        call.token.clear();
        call.expectOperand = true;
    }
}

Value ReferenceEvaluator::makeOperand(Call& call)
{
    const QString& token = call.token;
    if (!token.isEmpty() && call.groupClosed)
        return Resolve_Function(token, call.arguments);
    if (token.isEmpty()) {
        if (call.arguments.count() == 1)
            return Evaluate_Equation(toStringLet(call.arguments.item(1)));
        return Value();
    }
    const QChar first = token[0];
    if ((first >= u'0' && first <= u'9') || first == u'-')
        return Value::makeDouble(val(token));
    if (first == u'\'')
        return Value::makeString(token.mid(1));
    return Resolve_Name(token);
}

void ReferenceEvaluator::reduce(Call& call)
{
    QList<Value>& operands = call.operands;
    QStringList& operators = call.operators;
    for (int row = 0; row < TableRows; ++row) {
        int k = 1;
        while (k <= operators.size()) {
            bool applied = false;
            const QString lowered = lcase(Value::makeString(operators[k - 1])).asString();
            for (int column = 0; column < TableColumns && Table[row][column] != nullptr; ++column) {
                const QString cell = QLatin1String(Table[row][column]);
                if (cell != lowered)
                    continue;
                const Value result =
                    applyOperatorText(cell, operandAt(operands, k), operandAt(operands, k + 1));
                operands.insert(k - 1, result);
                operands.remove(k, 2);
                operators.remove(k - 1);
                applied = true;
                break;
            }
            if (!applied)
                ++k;
        }
    }
}

Value ReferenceEvaluator::Resolve_Name(const QString& Name)
{
    if (Name == u"true" || Name == u"yes")
        return Value::makeBoolean(true);
    if (Name == u"false" || Name == u"no")
        return Value::makeBoolean(false);
    if (Name == u"empty")
        return Value();
    if (Name == u"null")
        return Value::makeNull();
    Value ReturnValue;
    if (m_host)
        m_host->uGetVarable(Name, ReturnValue);
    return ReturnValue;
}

Value ReferenceEvaluator::Resolve_Function(const QString& Name, ArgumentList& Arguments)
{
    bool found = false;
    Value ReturnValue = m_library ? m_library->Solve_Function(Name, Arguments, found) : Value();
    if (!found && m_host)
        m_host->uSolveFunctions(Name, Arguments, ReturnValue);
    return ReturnValue;
}

} // namespace reelkeep
