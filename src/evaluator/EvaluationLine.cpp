// Describing an evaluation's outcome in one line.
#include "evaluator/EvaluationLine.h"

#include "evaluator/Equation_Evaluater.h"
#include "value/TextForm.h"

namespace reelkeep {

QString
evaluateToLine(Equation_Evaluater& evaluator, const QString& expression, std::optional<RuntimeError>* raised)
{
    try {
        return describeForCli(evaluator.Evaluate_Equation(expression));
    } catch (const RuntimeError& error) {
        if (raised)
            *raised = error;
        return QStringLiteral("raised %1").arg(error.number());
    }
}

} // namespace reelkeep
