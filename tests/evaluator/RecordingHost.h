// A host for evaluator tests: answers a few names and functions and records every question.
#pragma once

#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/TextForm.h"

#include <QHash>
#include <QStringList>

#include <functional>

namespace reelkeep {

class RecordingHost : public EvaluatorHost
{
public:
    /// Variables answered by name as written; other names stay Empty.
    QHash<QString, Value> variables;
    /// Functions answered by name as written; other names keep what they were given.
    QHash<QString, std::function<Value(ArgumentList&, const Value& given)>> functions;
    /// Every question, in order: "var NAME" or "fn NAME(arg text, ...) given TEXT".
    QStringList asked;

    void uGetVarable(const QString& Variable_Name, Value& ReturnValue) override
    {
        asked.append(QStringLiteral("var ") + Variable_Name);
        if (variables.contains(Variable_Name))
            ReturnValue = variables.value(Variable_Name);
    }

    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        QStringList arguments;
        for (int i = 1; i <= Parmeters.count(); ++i)
            arguments.append(describeForCli(Parmeters.item(i)));
        asked.append(
            QStringLiteral("fn %1(%2) given %3")
                .arg(Function_Name, arguments.join(QStringLiteral(", ")), describeForCli(ReturnValue)));
        const auto function = functions.find(Function_Name);
        if (function != functions.end())
            ReturnValue = (*function)(Parmeters, ReturnValue);
    }
};

} // namespace reelkeep
