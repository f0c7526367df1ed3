// The expression evaluator: one expression text in, one Value out.
#pragma once

#include "evaluator/ArgumentList.h"
#include "evaluator/OperatorTable.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <memory>

namespace reelkeep {

class BuiltinLibrary;
class EvaluatorHost;

/// Scans an expression into operands and operators, makes the operands (numbers, text
/// literals, constants, variables and function calls) in written order, and reduces the
/// operators by the precedence rows of its operator table. Names it does not know go to the
/// built-in library first and then to its host. Keeps no state between calls, so a host
/// handler may evaluate further expressions on the same evaluator while an outer one waits.
class Equation_Evaluater
{
public:
    /// The longest expression text, after trimming its spaces.
    static constexpr int MaxEquationLength = 32765;
    /// How deeply groups, calls and re-entrant evaluations may nest before Out of stack space (28).
    static constexpr int MaxDepth = 1000;

    /// Both may be null: then no function is built in, and unknown names are Empty.
    explicit Equation_Evaluater(BuiltinLibrary* library = nullptr, EvaluatorHost* host = nullptr);
    ~Equation_Evaluater();
    Equation_Evaluater(const Equation_Evaluater&) = delete;
    Equation_Evaluater& operator=(const Equation_Evaluater&) = delete;

    void setHost(EvaluatorHost* host) { m_host = host; }
    void setLibrary(BuiltinLibrary* library) { m_library = library; }

    /// The Value of an expression text. An empty text, or one whose operands cannot all be
    /// joined, is Empty. A failing operator gives an Error Value; every other run-time error is
    /// raised to the caller (RuntimeError): Overflow (6) for a text longer than
    /// MaxEquationLength, Subscript out of range (9) for an operator without a right operand,
    /// and whatever the library or the host raise.
    Value Evaluate_Equation(const QString& Equation);

    const OperatorTable& operatorTable() const { return m_operators; }

    struct ScanStep;
    struct ScanRecord;

private:
    class Scan;
    friend class Scan;
    /// How many recorded scans of whole texts are kept for evaluating the same text again.
    static constexpr qsizetype MaxRecordedScans = 4096;

    Value evaluate(QStringView equation);
    Value evaluateArgument(const ScanStep& argument);
    std::shared_ptr<const ScanRecord> recordedScan(QStringView text);
    Value Resolve_Name(const QString& name);
    Value Resolve_Function(const QString& name, ArgumentList& arguments);
    Value evaluateGroup(const ArgumentList& arguments);

    OperatorTable m_operators;
    BuiltinLibrary* m_library;
    EvaluatorHost* m_host;
    /// The evaluations in progress, nested and re-entrant; zero between calls.
    int m_depth = 0;
    /// The scan of a text depends on the text alone: each is recorded once and replayed. This
    /// only saves work; nothing of one evaluation reaches the next through it.
    QHash<QString, std::shared_ptr<const ScanRecord>> m_recordedScans;
};

/// Applies one operation to two Values; a raised error becomes an Error Value with its number.
/// "not" uses the left operand only.
Value Apply_Operator(Operation operation, const Value& left, const Value& right);

} // namespace reelkeep
