// Making an expression text into a program: the scan of the text, its operands and the plan of
// its reduction, all of which depend on the text alone.
#include "evaluator/EquationProgram.h"

#include "value/NumberText.h"
#include "value/RuntimeError.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

namespace reelkeep::detail {

namespace {

constexpr QChar Space = u' ';
constexpr QChar Quote = u'\'';
constexpr QChar OpenParenthesis = u'(';
constexpr QChar CloseParenthesis = u')';
constexpr QChar Comma = u',';

// What the scan of a text does, in order, apart from collecting characters.
struct ScanStep
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
    QStringView text;
    /// The token of TokenEnded when a text literal's closing quote broke it into pieces.
    QString joined;

    QStringView token() const { return joined.isNull() ? text : QStringView(joined); }
};

// The text of the token being collected: a slice of the expression while its characters follow
// one another there, copied out only when a text literal's closing quote breaks the run.
class Token
{
public:
    explicit Token(QStringView source)
        : m_source(source)
    {}

    bool isEmpty() const { return !m_copied && m_begin == m_end; }
    bool isCopied() const { return m_copied; }
    QStringView view() const
    {
        return m_copied ? QStringView(m_built) : m_source.sliced(m_begin, m_end - m_begin);
    }
    const QString& built() const { return m_built; }

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
        m_built = QString();
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

// The scan of one trimmed text, character by character: tokens cut at spaces, text literals,
// groups and their arguments, and where the text ends inside a group.
class Scanner
{
public:
    explicit Scanner(QStringView text)
        : m_text(text)
        , m_token(text)
    {}

    std::vector<ScanStep> scan()
    {
        const qsizetype length = m_text.size();
        // The position after the last character reads as one space, the end separator.
        for (m_position = 0; m_position <= length; ++m_position) {
            const QChar character = m_position < length ? m_text[m_position] : Space;
            if (character == OpenParenthesis) {
                if (!scanGroup()) {
                    add(ScanStep::Kind::EndedInGroup);
                    break;
                }
            } else if (character == Quote) {
                scanLiteral();
            } else if (character == Space) {
                endToken();
            } else {
                m_token.append(m_position, m_position + 1);
            }
        }
        return std::move(m_steps);
    }

private:
    void add(ScanStep::Kind kind, QStringView text = {}) { m_steps.push_back({kind, text, QString()}); }

    void endToken()
    {
        if (m_token.isCopied())
            m_steps.push_back({ScanStep::Kind::TokenEnded, {}, m_token.built()});
        else
            add(ScanStep::Kind::TokenEnded, m_token.view());
        m_token.clear();
    }

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
        add(ScanStep::Kind::GroupOpened);
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
                add(ScanStep::Kind::GroupClosed);
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
        add(ScanStep::Kind::Argument, m_text.sliced(argumentStart, m_position - argumentStart));
    }

    QStringView m_text;
    qsizetype m_position = 0;
    Token m_token;
    std::vector<ScanStep> m_steps;
};

bool isNumberStart(QChar first)
{
    return (first >= u'0' && first <= u'9') || first == u'-';
}

// The six constants, matched exactly: case matters.
const std::array<std::pair<QStringView, Value>, 6>& namedConstants()
{
    static const std::array<std::pair<QStringView, Value>, 6> Constants = {{
        {u"true", Value::makeBoolean(true)},
        {u"yes", Value::makeBoolean(true)},
        {u"false", Value::makeBoolean(false)},
        {u"no", Value::makeBoolean(false)},
        {u"empty", Value()},
        {u"null", Value::makeNull()},
    }};
    return Constants;
}

bool constantValue(QStringView name, Value& value)
{
    for (const auto& [constant, its] : namedConstants()) {
        if (name == constant) {
            value = its;
            return true;
        }
    }
    return false;
}

// Follows the scan's steps as an evaluation would and writes down what it would do, in the same
// order: which token is an operand and which an operator, and which arguments each operand
// takes, depend on the text alone.
class CodeMaker
{
public:
    CodeMaker(EquationProgram& program, const OperatorTable& operators, int maxDepth)
        : m_program(program)
        , m_operators(operators)
        , m_maxDepth(maxDepth)
    {
        m_program.constants.push_back(Value()); // constantRef(0): Empty
    }

    /// Writes the code of one trimmed text nested `depth` deep; returns where its value is.
    ValueRef text(QStringView text, int depth)
    {
        // Only a text deeper than every one entered before can be the first beyond the limit.
        if (depth > m_program.depth || m_program.instructions.empty())
            append(step::CheckDepth{.depth = std::uint16_t(depth)});
        m_program.depth = std::max(m_program.depth, depth);
        // Entering a text nested too deeply always fails, so nothing inside it is written down.
        if (depth > m_maxDepth)
            return constantRef(0);
        TextState state;
        state.depth = depth;
        for (const ScanStep& step : Scanner(text).scan()) {
            switch (step.kind) {
            case ScanStep::Kind::GroupOpened:
                // Arguments evaluated before are dropped; their code stays where it is.
                state.clearArguments();
                break;
            case ScanStep::Kind::Argument:
                state.arguments.push_back(this->text(trimSpaces(step.text), depth + 1));
                break;
            case ScanStep::Kind::GroupClosed:
                state.groupClosed = true;
                break;
            case ScanStep::Kind::TokenEnded:
                endToken(step.token(), state);
                break;
            case ScanStep::Kind::EndedInGroup:
                break;
            }
        }
        return reduce(state);
    }

private:
    // What the evaluation of one text holds while it scans.
    struct TextState
    {
        int depth = 1;
        std::vector<ValueRef> arguments;
        bool groupClosed = false;
        bool expectOperand = true;
        std::vector<ValueRef> operands;
        std::vector<OperatorPlace> operators;
        /// The first token standing where an operator belongs that is none, for the findings.
        QString notAnOperator;

        void clearArguments() { arguments.clear(); }
    };

    void append(Instruction instruction) { m_program.instructions.push_back(std::move(instruction)); }

    std::int32_t newSlot() { return m_program.frameSize++; }

    ValueRef constant(Value value)
    {
        m_program.constants.push_back(std::move(value));
        return constantRef(std::int32_t(m_program.constants.size()) - 1);
    }

    std::int32_t site(QStringView name)
    {
        m_program.sites.push_back({name.toString()});
        return std::int32_t(m_program.sites.size()) - 1;
    }

    RefRange refsOf(const std::vector<ValueRef>& values)
    {
        const RefRange range{std::int32_t(m_program.refs.size()), std::int32_t(values.size())};
        m_program.refs.insert(m_program.refs.end(), values.begin(), values.end());
        return range;
    }

    // A run of spaces is one separator; otherwise the token is an operand or an operator,
    // whichever is expected. An operator leaves the argument list and the group-closed flag
    // as they are, for the next operand.
    void endToken(QStringView token, TextState& state)
    {
        if (token.isEmpty() && state.arguments.empty())
            return;
        if (state.expectOperand) {
            state.operands.push_back(operand(token, state));
            state.clearArguments();
            state.groupClosed = false;
            state.expectOperand = false;
        } else {
            // A group where an operator belongs leaves an empty operator text, which is in no row.
            state.operators.push_back(m_operators.find(token));
            if (state.operators.back().row == OperatorPlace::NoRow && state.notAnOperator.isNull())
                state.notAnOperator = token.toString();
            state.expectOperand = true;
        }
    }

    ValueRef operand(QStringView token, const TextState& state)
    {
        const auto depth = std::uint16_t(state.depth);
        if (!token.isEmpty() && state.groupClosed) {
            const RefRange arguments = refsOf(state.arguments);
            const std::int32_t target = newSlot();
            append(step::CallFunction{
                .target = target, .name = site(token), .arguments = arguments, .depth = depth});
            return target;
        }
        if (token.isEmpty()) {
            const RefRange values = refsOf(state.arguments);
            const std::int32_t target = newSlot();
            append(step::EvaluateGroup{.target = target, .values = values, .depth = depth});
            return target;
        }
        // A number, a literal or a name takes no arguments; any evaluated before it are dropped.
        if (isNumberStart(token.front()))
            return number(token);
        if (token.front() == Quote)
            return constant(Value::makeString(token.sliced(1).toString()));
        Value named;
        if (constantValue(token, named))
            return constant(std::move(named));
        const std::int32_t target = newSlot();
        append(step::ReadVariable{.target = target, .name = site(token), .depth = depth});
        return target;
    }

    // A number beyond the Double range raises Overflow when its operand is made, after the
    // operands written before it.
    ValueRef number(QStringView token)
    {
        try {
            return constant(Value::makeDouble(val(token.toString())));
        } catch (const RuntimeError& error) {
            raiseWhenReached(error.errorNumber());
            return constantRef(0);
        }
    }

    void raiseWhenReached(ErrorNumber error, QString cause = QString())
    {
        std::int32_t causeIndex = -1;
        if (!cause.isEmpty()) {
            m_program.causes.push_back(std::move(cause));
            causeIndex = std::int32_t(m_program.causes.size()) - 1;
        }
        append(step::RaiseError{.error = error, .cause = causeIndex});
    }

    // One application of the reduction: operand slot `left` becomes `left` operation `right`.
    struct PlannedStep
    {
        Operation operation;
        std::int32_t left;
        std::int32_t right;
    };

    // Applies the operators row by row of the table, left to right within a row; a text in no
    // row stays between its operands and is never applied.
    ValueRef reduce(const TextState& state)
    {
        std::vector<ValueRef> current = state.operands;
        const auto operandCount = std::int32_t(current.size());
        const std::vector<PlannedStep> steps = planReduction(state.operators, operandCount);
        bool missingOperand = !steps.empty() && steps.back().right < 0;
        const size_t applied = missingOperand ? steps.size() - 1 : steps.size();
        for (size_t first = 0; first < applied;) {
            size_t end = first + 1;
            const PlannedStep& planned = steps[first];
            const std::int32_t target = newSlot();
            if (planned.operation == Operation::Concatenate) {
                // A chain of "&" into one operand is joined at once.
                while (end < applied && steps[end].operation == Operation::Concatenate &&
                       steps[end].left == planned.left)
                    ++end;
                std::vector<ValueRef> parts{current[size_t(planned.left)]};
                for (size_t k = first; k < end; ++k)
                    parts.push_back(current[size_t(steps[k].right)]);
                append(step::JoinTexts{.target = target, .parts = refsOf(parts)});
            } else {
                append(step::ApplyOperator{.target = target,
                                           .operation = planned.operation,
                                           .left = current[size_t(planned.left)],
                                           .right = current[size_t(planned.right)]});
            }
            current[size_t(planned.left)] = target;
            first = end;
        }
        if (missingOperand) {
            raiseWhenReached(ErrorNumber::SubscriptOutOfRange,
                             QStringLiteral("the operator \"%1\" has nothing on its right (is a \"]\" or an "
                                            "argument missing?)")
                                 .arg(m_operators.textOf(steps.back().operation)));
            return constantRef(0);
        }
        std::int32_t standing = operandCount;
        for (const PlannedStep& step : steps)
            standing -= step.right >= 0 ? 1 : 0;
        if (standing > 1)
            m_program.findings.push_back(
                state.notAnOperator.isEmpty()
                    ? QStringLiteral("two operands stand with no operator between them, so it yields nothing")
                    : QStringLiteral("its operands could not all be joined (\"%1\" is not an operator), so "
                                     "it yields nothing")
                          .arg(state.notAnOperator));
        return standing == 1 ? current.front() : constantRef(0);
    }

    // The steps of the reduction in the order they are applied, operands counted from 0. A last
    // step with a right operand of -1 is an operator with nothing on its right.
    static std::vector<PlannedStep> planReduction(const std::vector<OperatorPlace>& operatorList,
                                                  std::int32_t operandCount)
    {
        std::vector<PlannedStep> steps;
        const size_t operatorCount = operatorList.size();
        // The operands still standing, linked by slot (operandCount ends the list), and the
        // operators still waiting, linked by position: operator k stands between the operand in
        // slot leftOf[k] and the next one standing.
        std::vector<std::int32_t> nextOperand(size_t(operandCount) + 1);
        std::iota(nextOperand.begin(), nextOperand.end(), 1);
        std::vector<std::int32_t> leftOf(operatorCount);
        std::iota(leftOf.begin(), leftOf.end(), 0);
        std::vector<size_t> nextOperator(operatorCount);
        std::iota(nextOperator.begin(), nextOperator.end(), size_t(1));
        size_t firstOperator = 0;
        for (int row = 0; row < OperatorTable::Rows; ++row) {
            size_t previous = operatorCount;
            for (size_t k = firstOperator; k < operatorCount; k = nextOperator[k]) {
                if (operatorList[k].row != row) {
                    previous = k;
                    continue;
                }
                const std::int32_t left = leftOf[k];
                const std::int32_t right = left < operandCount ? nextOperand[size_t(left)] : operandCount;
                // An operator with nothing on its right reads an operand that is not there.
                if (right >= operandCount) {
                    steps.push_back({operatorList[k].operation, left, -1});
                    return steps;
                }
                steps.push_back({operatorList[k].operation, left, right});
                nextOperand[size_t(left)] = nextOperand[size_t(right)];
                // The operator after this one now has the joined operand on its left.
                if (nextOperator[k] < operatorCount)
                    leftOf[nextOperator[k]] = left;
                if (previous == operatorCount)
                    firstOperator = nextOperator[k];
                else
                    nextOperator[previous] = nextOperator[k];
            }
        }
        return steps;
    }

    EquationProgram& m_program;
    const OperatorTable& m_operators;
    int m_maxDepth;
};

} // namespace

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

EquationProgram compileEquation(QStringView text, const OperatorTable& operators, int maxDepth)
{
    EquationProgram program;
    program.result = CodeMaker(program, operators, maxDepth).text(text, 1);
    return program;
}

QStringList constantNames()
{
    QStringList names;
    for (const auto& constant : namedConstants())
        names.append(constant.first.toString());
    return names;
}

} // namespace reelkeep::detail
