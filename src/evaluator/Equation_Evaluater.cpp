// The evaluator's scan, operands, reduction and operator application.
#include "evaluator/Equation_Evaluater.h"

#include "evaluator/BuiltinLibrary.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/NumberText.h"
#include "evaluator/value/Operators.h"
#include "evaluator/value/TextForm.h"

#include <QVarLengthArray>

namespace reelkeep {

namespace {

constexpr QChar Space = u' ';
constexpr QChar Quote = u'\'';
constexpr QChar OpenParenthesis = u'(';
constexpr QChar CloseParenthesis = u')';
constexpr QChar Comma = u',';

// Only the space separates tokens, so only spaces are trimmed.
QStringView trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == Space)
        ++begin;
    while (end > begin && text[end - 1] == Space)
        --end;
    return text.sliced(begin, end - begin);
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

// The text of the token being collected: a slice of the expression while its characters follow
// one another there, copied out only when a text literal's closing quote breaks the run.
class Token
{
public:
    explicit Token(QStringView source)
        : m_source(source)
    {}

    bool isEmpty() const { return m_built.isEmpty() && m_begin == m_end; }
    QStringView view() const
    {
        return m_copied ? QStringView(m_built) : m_source.sliced(m_begin, m_end - m_begin);
    }
    QString text() const { return m_copied ? m_built : view().toString(); }

    /// Appends the source characters from `from` up to `to` (excluded).
    void append(qsizetype from, qsizetype to)
    {
        if (from == to)
            return;
        if (!m_copied && (m_begin == m_end || from == m_end)) {
            if (m_begin == m_end)
                m_begin = from;
            m_end = to;
            return;
        }
        if (!m_copied) {
            m_built = view().toString();
            m_copied = true;
        }
        m_built.append(m_source.sliced(from, to - from));
    }

    void clear()
    {
        m_built.clear();
        m_copied = false;
        m_begin = m_end = 0;
    }

private:
    QStringView m_source;
    qsizetype m_begin = 0;
    qsizetype m_end = 0;
    bool m_copied = false;
    QString m_built;
};

bool isNumberStart(QChar first)
{
    return (first >= u'0' && first <= u'9') || first == u'-';
}

// The six constants, matched exactly: case matters.
bool constantValue(QStringView name, Value& value)
{
    if (name == u"true" || name == u"yes")
        value = Value::makeBoolean(true);
    else if (name == u"false" || name == u"no")
        value = Value::makeBoolean(false);
    else if (name == u"empty")
        value = Value();
    else if (name == u"null")
        value = Value::makeNull();
    else
        return false;
    return true;
}

} // namespace

// What the scan of one expression text does, in order, apart from collecting characters: the
// scan depends on the text alone, so it is recorded once and replayed at every evaluation.
struct Equation_Evaluater::ScanStep
{
    enum class Kind : std::uint8_t
    {
        GroupOpened,  // the argument list is emptied
        Argument,     // an argument's text is evaluated and appended to the argument list
        GroupClosed,  // the group-closed flag is set
        TokenEnded,   // a token ends at a space or the end separator
        EndedInGroup, // the text ended inside a group: the scan stops, dropping it
    };

    Kind kind;
    /// The token of TokenEnded; the argument's text of Argument.
    QString text;
    /// Where the token of TokenEnded stands in the operator table, should it be an operator.
    OperatorPlace place;
    /// The argument's recorded scan, made when it is first evaluated.
    mutable std::shared_ptr<const ScanRecord> argument;
};

struct Equation_Evaluater::ScanRecord
{
    std::vector<ScanStep> steps;
};

namespace {

// Records the scan of one trimmed text: tokens cut at spaces, text literals, groups and their
// arguments, and where the text ends inside a group.
class ScanRecorder
{
public:
    using Step = Equation_Evaluater::ScanStep;

    ScanRecorder(QStringView text, const OperatorTable& operators)
        : m_text(text)
        , m_token(text)
        , m_operators(operators)
    {}

    std::vector<Step> record()
    {
        const qsizetype length = m_text.size();
        // The position after the last character reads as one space, the end separator.
        for (m_position = 0; m_position <= length; ++m_position) {
            const QChar character = m_position < length ? m_text[m_position] : Space;
            if (character == OpenParenthesis) {
                if (!scanGroup()) {
                    add(Step::Kind::EndedInGroup);
                    break;
                }
            } else if (character == Quote) {
                scanLiteral();
            } else if (character == Space) {
                add(Step::Kind::TokenEnded, m_token.text());
                m_steps.back().place = m_operators.find(m_token.view());
                m_token.clear();
            } else {
                m_token.append(m_position, m_position + 1);
            }
        }
        return std::move(m_steps);
    }

private:
    void add(Step::Kind kind, QString text = {}) { m_steps.push_back({kind, std::move(text), {}, nullptr}); }

    // A literal keeps its opening quote in the token and drops its closing one; without a
    // closing quote it takes the rest of the text.
    void scanLiteral()
    {
        const qsizetype closing = m_text.indexOf(Quote, m_position + 1);
        const qsizetype end = closing < 0 ? m_text.size() : closing;
        m_token.append(m_position, end);
        m_position = closing < 0 ? m_text.size() - 1 : closing;
    }

    // Collects a parenthesised group up to its closing parenthesis, an argument at each ","
    // and at the ")". False when the text ends inside the group.
    bool scanGroup()
    {
        add(Step::Kind::GroupOpened);
        const qsizetype opening = m_position;
        qsizetype argumentStart = opening + 1;
        int nesting = 1;
        while (++m_position < m_text.size()) {
            const QChar character = m_text[m_position];
            if (character == Quote) {
                const qsizetype closing = m_text.indexOf(Quote, m_position + 1);
                m_position = closing < 0 ? m_text.size() - 1 : closing;
            } else if (character == OpenParenthesis) {
                ++nesting;
            } else if (character == CloseParenthesis && --nesting == 0) {
                // "f()" with nothing at all between the parentheses calls f with no argument.
                if (m_position > opening + 1 || m_token.isEmpty())
                    addArgument(argumentStart);
                add(Step::Kind::GroupClosed);
                return true;
            } else if (character == Comma && nesting == 1) {
                addArgument(argumentStart);
                argumentStart = m_position + 1;
            }
        }
        return false;
    }

    void addArgument(qsizetype argumentStart)
    {
        add(Step::Kind::Argument, m_text.sliced(argumentStart, m_position - argumentStart).toString());
    }

    QStringView m_text;
    qsizetype m_position = 0;
    Token m_token;
    const OperatorTable& m_operators;
    std::vector<Step> m_steps;
};

} // namespace

// One evaluation: replays a recorded scan, making operands in written order and taking
// operators, then reduces them.
class Equation_Evaluater::Scan
{
public:
    explicit Scan(Equation_Evaluater& evaluator)
        : m_evaluator(evaluator)
    {}

    Value run(const ScanRecord& record)
    {
        for (const ScanStep& step : record.steps) {
            switch (step.kind) {
            case ScanStep::Kind::GroupOpened:
                m_arguments.clear();
                break;
            case ScanStep::Kind::Argument:
                m_arguments.append(m_evaluator.evaluateArgument(step));
                break;
            case ScanStep::Kind::GroupClosed:
                m_groupClosed = true;
                break;
            case ScanStep::Kind::TokenEnded:
                endToken(step);
                break;
            case ScanStep::Kind::EndedInGroup:
                return reduce();
            }
        }
        return reduce();
    }

private:
    // A run of spaces is one separator; otherwise the token is an operand or an operator,
    // whichever is expected.
    void endToken(const ScanStep& step)
    {
        const QString& token = step.text;
        if (token.isEmpty() && m_arguments.count() == 0)
            return;
        if (m_expectOperand) {
            m_operands.append(makeOperand(token));
            m_arguments.clear();
            m_groupClosed = false;
            m_expectOperand = false;
        } else {
            // A group where an operator belongs leaves an empty operator text, which is in no row.
            m_operators.append(step.place);
            m_expectOperand = true;
        }
    }

    Value makeOperand(const QString& token)
    {
        if (!token.isEmpty() && m_groupClosed)
            return m_evaluator.Resolve_Function(token, m_arguments);
        if (token.isEmpty())
            return m_evaluator.evaluateGroup(m_arguments);
        if (isNumberStart(token.front()))
            return Value::makeDouble(val(token));
        if (token.front() == Quote)
            return Value::makeString(token.sliced(1));
        return m_evaluator.Resolve_Name(token);
    }

    // Applies the operators row by row of the table, left to right within a row; a text in no
    // row stays between its operands and is never applied.
    Value reduce()
    {
        unsigned rowsPresent = 0;
        for (const OperatorPlace& place : m_operators) {
            if (place.row != OperatorPlace::NoRow)
                rowsPresent |= 1u << place.row;
        }
        for (int row = 0; row < OperatorTable::Rows && rowsPresent >> row != 0; ++row) {
            if ((rowsPresent & (1u << row)) == 0)
                continue;
            qsizetype k = 0;
            while (k < m_operators.size()) {
                if (m_operators[k].row != row) {
                    ++k;
                    continue;
                }
                // An operator with nothing on its right reads an operand that is not there.
                if (k + 1 >= m_operands.size())
                    raise(ErrorNumber::SubscriptOutOfRange);
                m_operands[k] = Apply_Operator(m_operators[k].operation, m_operands[k], m_operands[k + 1]);
                m_operands.remove(k + 1);
                m_operators.remove(k);
            }
        }
        return m_operands.size() == 1 ? m_operands.front() : Value();
    }

    Equation_Evaluater& m_evaluator;
    ArgumentList m_arguments;
    bool m_groupClosed = false;
    bool m_expectOperand = true;
    QVarLengthArray<Value, 8> m_operands;
    QVarLengthArray<OperatorPlace, 8> m_operators;
};

Equation_Evaluater::Equation_Evaluater(BuiltinLibrary* library, EvaluatorHost* host)
    : m_library(library)
    , m_host(host)
{}

Value Equation_Evaluater::Evaluate_Equation(const QString& Equation)
{
    return evaluate(Equation);
}

Equation_Evaluater::~Equation_Evaluater() = default;

Value Equation_Evaluater::evaluate(QStringView equation)
{
    const QStringView text = trimSpaces(equation);
    // Positions are 16-bit and must be able to step past the end separator.
    if (text.size() > MaxEquationLength)
        raise(ErrorNumber::Overflow);
    DepthGuard depth(m_depth);
    // Held for the whole run: evaluations inside it may empty the store of recorded scans.
    const std::shared_ptr<const ScanRecord> record = recordedScan(text);
    return Scan(*this).run(*record);
}

Value Equation_Evaluater::evaluateArgument(const ScanStep& argument)
{
    const QStringView text = trimSpaces(argument.text);
    DepthGuard depth(m_depth);
    if (!argument.argument)
        argument.argument =
            std::make_shared<const ScanRecord>(ScanRecord{ScanRecorder(text, m_operators).record()});
    const std::shared_ptr<const ScanRecord> record = argument.argument;
    return Scan(*this).run(*record);
}

std::shared_ptr<const Equation_Evaluater::ScanRecord> Equation_Evaluater::recordedScan(QStringView text)
{
    // Templates evaluate the same few texts over and over; texts made at run time (a group's
    // value evaluated again) could grow the store without end, so it is emptied when full.
    const QString key = text.toString();
    if (const auto known = m_recordedScans.constFind(key); known != m_recordedScans.cend())
        return *known;
    if (m_recordedScans.size() >= MaxRecordedScans)
        m_recordedScans.clear();
    auto record = std::make_shared<const ScanRecord>(ScanRecord{ScanRecorder(text, m_operators).record()});
    m_recordedScans.insert(key, record);
    return record;
}

Value Equation_Evaluater::Resolve_Name(const QString& name)
{
    Value value;
    if (constantValue(name, value))
        return value;
    if (m_host)
        m_host->uGetVarable(name, value);
    return value;
}

Value Equation_Evaluater::Resolve_Function(const QString& name, ArgumentList& arguments)
{
    bool found = false;
    Value result;
    if (m_library)
        result = m_library->Solve_Function(name, arguments, found);
    if (!found && m_host)
        m_host->uSolveFunctions(name, arguments, result);
    return result;
}

// A plain group's value is turned into text and evaluated once more; two or more values are Empty.
Value Equation_Evaluater::evaluateGroup(const ArgumentList& arguments)
{
    if (arguments.count() != 1)
        return Value();
    const QString text = toStringLet(arguments.item(1));
    return evaluate(text);
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
