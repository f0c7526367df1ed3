// Hosts for evaluator tests: answer a few names and functions and record every question, by name
// or by the numbers the host gives its names.
#pragma once

#include "evaluator/EvaluatorHost.h"
#include "value/TextForm.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <utility>

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
            arguments.append(describeForCli(std::as_const(Parmeters).item(i)));
        asked.append(
            QStringLiteral("fn %1(%2) given %3")
                .arg(Function_Name, arguments.join(QStringLiteral(", ")), describeForCli(ReturnValue)));
        const auto function = functions.find(Function_Name);
        if (function != functions.end())
            ReturnValue = (*function)(Parmeters, ReturnValue);
    }
};

/// A RecordingHost that numbers the names it is asked for, so that the evaluator asks by number,
/// and answers and records each numbered question exactly as the question by name. Names that
/// contain a dot stay asked by name, so that one expression mixes both ways.
class NumberingHost : public RecordingHost
{
public:
    int variableNumber(const QString& Variable_Name) override { return numberOf(m_variables, Variable_Name); }

    void getNumberedVariable(int number, Value& ReturnValue) override
    {
        uGetVarable(m_variables.names.at(number), ReturnValue);
    }

    int functionNumber(const QString& Function_Name) override { return numberOf(m_functions, Function_Name); }

    void solveNumberedFunction(int number, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        uSolveFunctions(m_functions.names.at(number), Parmeters, ReturnValue);
    }

private:
    struct Numbers
    {
        QHash<QString, int> numbers;
        QStringList names;
    };

    static int numberOf(Numbers& numbering, const QString& name)
    {
        if (name.contains(u'.'))
            return AskByName;
        const auto known = numbering.numbers.constFind(name);
        if (known != numbering.numbers.cend())
            return *known;
        numbering.names.append(name);
        return numbering.numbers[name] = int(numbering.names.size()) - 1;
    }

    Numbers m_variables;
    Numbers m_functions;
};

} // namespace reelkeep
