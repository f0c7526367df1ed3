// The expression evaluator: one expression text in, one Value out.
#pragma once

#include "evaluator/ArgumentList.h"
#include "evaluator/OperatorTable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace reelkeep {

class BuiltinLibrary;
class EvaluatorHost;

namespace detail {
struct EquationProgram;
struct NameSite;
} // namespace detail

/// Where an evaluation may write the text of its value in parts: the page.
class TextSink
{
public:
    virtual ~TextSink() = default;
    virtual void write(QStringView text) = 0;
};

/// An expression text made ready for evaluating it many times (Equation_Evaluater::
/// Prepare_Equation). Evaluating it gives exactly what evaluating the text gives.
class PreparedEquation
{
public:
    PreparedEquation() = default;
    bool isNull() const { return !m_program; }

private:
    friend class Equation_Evaluater;
    explicit PreparedEquation(std::shared_ptr<const detail::EquationProgram> program)
        : m_program(std::move(program))
    {}
    std::shared_ptr<const detail::EquationProgram> m_program;
};

/// Scans an expression into operands and operators, makes the operands (numbers, text
/// literals, constants, variables and function calls) in written order, and reduces the
/// operators by the precedence rows of its operator table. Names it does not know go to the
/// built-in library first and then to its host. Keeps no state between calls, so a host
/// handler may evaluate further expressions on the same evaluator while an outer one waits.
///
/// What depends on a text alone (its tokens, operands and the order of its reduction) is worked
/// out once per text and kept, as is what each name was found to be in the library or host;
/// evaluating the text again only makes its operands and applies its operators. Every call's
/// arguments are evaluated, in written order, before the call: "if" and IIf included.
class Equation_Evaluater
{
public:
    /// The longest expression text, after trimming its spaces.
    static constexpr int MaxEquationLength = 32765;
    /// How deeply groups, calls and re-entrant evaluations may nest before Out of stack space (28).
    static constexpr int MaxDepth = 1000;

    /// Both may be null: then no function is built in, and unknown names are Empty. An evaluator
    /// that works for another one's evaluation in progress counts its nesting on top of the
    /// other's `depth()`, given as outerDepth.
    explicit Equation_Evaluater(BuiltinLibrary* library = nullptr,
                                EvaluatorHost* host = nullptr,
                                int outerDepth = 0);
    ~Equation_Evaluater();
    Equation_Evaluater(const Equation_Evaluater&) = delete;
    Equation_Evaluater& operator=(const Equation_Evaluater&) = delete;

    void setHost(EvaluatorHost* host);
    void setLibrary(BuiltinLibrary* library);
    BuiltinLibrary* library() const { return m_library; }
    /// How deeply the evaluations in progress nest.
    int depth() const { return m_depth; }

    /// The Value of an expression text. An empty text, or one whose operands cannot all be
    /// joined, is Empty. A failing operator gives an Error Value; every other run-time error is
    /// raised to the caller (RuntimeError): Overflow (6) for a text longer than
    /// MaxEquationLength, Subscript out of range (9) for an operator without a right operand,
    /// and whatever the library or the host raise.
    Value Evaluate_Equation(const QString& Equation);

    /// Makes a text ready for Evaluate_Prepared; raises nothing (a text that is too long raises
    /// Overflow (6) when it is evaluated). Its names are numbered for the library and host the
    /// evaluator has now; after a change of either, each evaluation finds them by name again.
    ///
    /// With findings, appends to it in words what the text does that its author most likely did
    /// not mean, though evaluating it yields what it yields all the same: a function name neither
    /// the library nor the host knows, a variable name nothing answers, a built-in function
    /// called with a count of arguments it does not accept, operands that could not all be joined.
    PreparedEquation Prepare_Equation(QStringView Equation, QStringList* findings = nullptr) const;
    /// What makes a prepared text's value, in words ("the operator \"/\"", "the function
    /// \"left\""), or empty when its value is a constant or a variable's.
    QString resultMaker(const PreparedEquation& Equation) const;
    /// The Value of a prepared text, exactly as Evaluate_Equation gives it for the text.
    /// Raises Invalid procedure call (5) for a null PreparedEquation.
    ///
    /// With a sink, a value that a chain of "&" at the top of the text makes of texts alone is
    /// written to the sink part after part instead of being joined first, and Empty is returned in
    /// its place: the sink gets the very characters of the joined text.
    Value Evaluate_Prepared(const PreparedEquation& Equation, TextSink* sink = nullptr);

    const OperatorTable& operatorTable() const { return m_operators; }

private:
    using Program = detail::EquationProgram;
    class Evaluation;
    friend class Evaluation;
    class FrameStack;

    /// How many programs of whole texts are kept for evaluating the same text again (how this
    /// store and a page run's template programs differ: TemplatePrograms::MaxKeptPrograms).
    static constexpr qsizetype MaxKeptPrograms = 4096;

    std::shared_ptr<const Program> programOf(QStringView trimmedText);
    std::shared_ptr<const Program> compile(QStringView trimmedText) const;
    /// What a name is to the library and host the evaluator has now.
    detail::NameSite bind(const QString& name, bool isFunction) const;
    void bindNames(Program& program) const;
    Value evaluate(const Program& program, TextSink* sink = nullptr);

    OperatorTable m_operators;
    BuiltinLibrary* m_library;
    EvaluatorHost* m_host;
    /// Identifies the library and host that names are found in: a new one for each change.
    std::uint64_t m_binding;
    /// How deeply the evaluations in progress nest: each text being evaluated (the outermost one,
    /// an argument's, a group's evaluated again) counts one; the outer depth between calls.
    int m_depth;
    /// The slots of the evaluations in progress.
    std::unique_ptr<FrameStack> m_frames;
    /// Programs of texts evaluated before. This only saves work; nothing of one evaluation
    /// reaches the next through it.
    QHash<QString, std::shared_ptr<const Program>> m_programs;
};

/// Applies one operation to two Values; a raised error becomes an Error Value with its number.
/// "not" uses the left operand only.
Value Apply_Operator(Operation operation, const Value& left, const Value& right);

} // namespace reelkeep
