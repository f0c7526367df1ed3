// The one line that reports an evaluation, as reelkeep-cli eval prints it.
#pragma once

#include "value/RuntimeError.h"

#include <QString>

#include <optional>

namespace reelkeep {

class Equation_Evaluater;

/// Evaluates an expression and describes the outcome in one line: "<TypeName>: <text>" for a
/// result (the text as the page writes it; nothing for Empty and Null; "Error 13" for an Error
/// Value), or "raised <N>" when the evaluation raises run-time error N, which is then also left in
/// `raised` when given.
QString evaluateToLine(Equation_Evaluater& evaluator,
                       const QString& expression,
                       std::optional<RuntimeError>* raised = nullptr);

} // namespace reelkeep
