// A plain evaluator of expression texts that follows the evaluation steps one by one, for
// comparing Equation_Evaluater's answers and questions with.
#pragma once

#include "evaluator/ArgumentList.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace reelkeep {

class BuiltinLibrary;
class EvaluatorHost;

/// Evaluates an expression text the slow and obvious way: one character at a time from position
/// 1 to N+1, operands made as their tokens end, arguments evaluated as their "," or ")" is
/// reached, and the operand and operator lists reduced row by row with list inserts and removes.
/// It asks the same library and host as Equation_Evaluater, always by name, and keeps the same
/// limits of length and nesting.
class ReferenceEvaluator
{
public:
    /// Both may be null: then no function is built in, and unknown names are Empty.
    ReferenceEvaluator(BuiltinLibrary* library, EvaluatorHost* host);

    Value Evaluate_Equation(const QString& Equation);

private:
    // The state of one call of Evaluate_Equation.
    struct Call
    {
        QString text;
        int length = 0;
        int position = 1;
        QString token;
        QString argumentText;
        int nesting = 0;
        ArgumentList arguments;
        bool groupClosed = false;
        bool expectOperand = true;
        QList<Value> operands;
        QStringList operators;
    };

    Value scanAndReduce(Call& call);
    void scanLiteral(Call& call);
    bool scanGroup(Call& call);
    void endToken(Call& call);
    Value makeOperand(Call& call);
    void reduce(Call& call);

    Value Resolve_Name(const QString& Name);
    Value Resolve_Function(const QString& Name, ArgumentList& Arguments);

    BuiltinLibrary* m_library;
    EvaluatorHost* m_host;
    int m_depth = 0;
};

} // namespace reelkeep
