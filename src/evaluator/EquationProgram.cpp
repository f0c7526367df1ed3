// Making an expression text into a program: the scan of the text, its operands and the plan of
// its reduction, all of which depend on the text alone.
#include "evaluator/EquationProgram.h"

#include "evaluator/value/NumberText.h"
#include "evaluator/value/RuntimeError.h"

#include <numeric>

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

// Follows the scan's steps as an evaluation would, but makes each operand's code instead of its
// value: which token is an operand and which an operator, and which arguments each operand
// takes, depend on the text alone.
class Compiler
{
public:
    Compiler(const OperatorTable& operators, int depth, int maxDepth)
        : m_operators(operators)
        , m_depth(depth)
        , m_maxDepth(maxDepth)
    {}

    EquationProgram compile(QStringView text)
    {
        EquationProgram program;
        if (m_depth > m_maxDepth) {
            program.error = static_cast<int>(ErrorNumber::OutOfStackSpace);
            return program;
        }
        std::vector<OperatorPlace> operatorList;
        for (const ScanStep& step : Scanner(text).scan()) {
            switch (step.kind) {
            case ScanStep::Kind::GroupOpened:
                moveInto(m_dropped, m_arguments);
                break;
            case ScanStep::Kind::Argument:
                m_arguments.push_back(
                    compileEquation(trimSpaces(step.text), m_operators, m_depth + 1, m_maxDepth));
                break;
            case ScanStep::Kind::GroupClosed:
                m_groupClosed = true;
                break;
            case ScanStep::Kind::TokenEnded:
                endToken(step.token(), program, operatorList);
                break;
            case ScanStep::Kind::EndedInGroup:
                break;
            }
        }
        // Arguments no operand took were evaluated all the same.
        moveInto(program.trailing, m_dropped);
        moveInto(program.trailing, m_arguments);
        planReduction(program, operatorList);
        program.single = program.operands.size() == 1 && program.steps.empty() && !program.missingOperand &&
                         program.trailing.empty() && program.result == 0;
        return program;
    }

private:
    static void moveInto(std::vector<EquationProgram>& to, std::vector<EquationProgram>& from)
    {
        for (EquationProgram& program : from)
            to.push_back(std::move(program));
        from.clear();
    }

    // A run of spaces is one separator; otherwise the token is an operand or an operator,
    // whichever is expected. An operator leaves the argument list and the group-closed flag
    // as they are, for the next operand.
    void endToken(QStringView token, EquationProgram& program, std::vector<OperatorPlace>& operatorList)
    {
        if (token.isEmpty() && m_arguments.empty())
            return;
        if (m_expectOperand) {
            program.operands.push_back(makeOperand(token));
            m_groupClosed = false;
            m_expectOperand = false;
        } else {
            // A group where an operator belongs leaves an empty operator text, which is in no row.
            operatorList.push_back(m_operators.find(token));
            m_expectOperand = true;
        }
    }

    OperandCode makeOperand(QStringView token)
    {
        OperandCode code;
        moveInto(code.dropped, m_dropped);
        if (!token.isEmpty() && m_groupClosed) {
            code.kind = OperandCode::Kind::Call;
            code.name = token.toString();
            moveInto(code.arguments, m_arguments);
            return code;
        }
        if (token.isEmpty()) {
            code.kind = OperandCode::Kind::Group;
            moveInto(code.arguments, m_arguments);
            return code;
        }
        // A number, a literal or a name takes no arguments; any evaluated before it are dropped.
        moveInto(code.dropped, m_arguments);
        if (isNumberStart(token.front())) {
            code.constant = Value::makeDouble(val(token.toString()));
        } else if (token.front() == Quote) {
            code.constant = Value::makeString(token.sliced(1).toString());
        } else if (!constantValue(token, code.constant)) {
            code.kind = OperandCode::Kind::Variable;
            code.name = token.toString();
        }
        return code;
    }

    // Applies the operators row by row of the table, left to right within a row, to slots that
    // stand for the operands; a text in no row stays between its operands and is never applied.
    static void planReduction(EquationProgram& program, const std::vector<OperatorPlace>& operatorList)
    {
        const auto operandCount = static_cast<std::int32_t>(program.operands.size());
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
                    program.missingOperand = true;
                    return;
                }
                program.steps.push_back({operatorList[k].operation, 1, left, right});
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
        markConcatenationRuns(program.steps);
        std::int32_t standing = 0;
        for (std::int32_t slot = 0; slot < operandCount; slot = nextOperand[size_t(slot)])
            ++standing;
        program.result = standing == 1 ? 0 : -1;
    }

    static void markConcatenationRuns(std::vector<ReductionStep>& steps)
    {
        for (size_t first = 0; first < steps.size();) {
            size_t end = first + 1;
            if (steps[first].operation == Operation::Concatenate) {
                while (end < steps.size() && end - first < 0xFFFF &&
                       steps[end].operation == Operation::Concatenate && steps[end].left == steps[first].left)
                    ++end;
            }
            steps[first].run = std::uint16_t(end - first);
            first = end;
        }
    }

    const OperatorTable& m_operators;
    int m_depth;
    int m_maxDepth;
    std::vector<EquationProgram> m_arguments;
    std::vector<EquationProgram> m_dropped;
    bool m_groupClosed = false;
    bool m_expectOperand = true;
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

EquationProgram compileEquation(QStringView text, const OperatorTable& operators, int depth, int maxDepth)
{
    return Compiler(operators, depth, maxDepth).compile(text);
}

} // namespace reelkeep::detail
