// Evaluate_Equation on arbitrary text, with a host that answers a few names and functions and
// evaluates a text argument again on the same evaluator, as an include does; the same text
// prepared must give the same outcome.
#include "FuzzProperties.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/TextForm.h"

#include <cstddef>
#include <cstdint>

using namespace reelkeep;

namespace {

class FuzzHost : public EvaluatorHost
{
public:
    explicit FuzzHost(Equation_Evaluater& evaluator)
        : m_evaluator(evaluator)
    {}

    void uGetVarable(const QString& Variable_Name, Value& ReturnValue) override
    {
        const QString name = Variable_Name.toLower();
        if (name == QLatin1String("list.title"))
            ReturnValue = Value::makeString(QStringLiteral("Ran \"1985\", it's long"));
        else if (name == QLatin1String("list.index"))
            ReturnValue = Value::makeInteger(32766);
        else if (name == QLatin1String("nothing"))
            ReturnValue = Value::makeNull();
        else if (name == QLatin1String("today"))
            ReturnValue = Value::makeDate(45000.75);
    }

    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        const QString name = Function_Name.toLower();
        if (name == QLatin1String("first"))
            ReturnValue = Parmeters.item(1);
        else if (name == QLatin1String("count"))
            ReturnValue = Value::makeLong(Parmeters.count());
        else if (name == QLatin1String("twice"))
            ReturnValue = Apply_Operator(Operation::Multiply, Parmeters.item(1), Value::makeInteger(2));
        else if (name == QLatin1String("infile")) // evaluates its text while the caller waits
            ReturnValue = m_evaluator.Evaluate_Equation(toStringLet(Parmeters.item(1)));
    }

private:
    Equation_Evaluater& m_evaluator;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Equation_Evaluater evaluator;
    static FuzzHost host(evaluator);
    evaluator.setHost(&host);

    const QString equation =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString outcome = evaluateToLine(evaluator, equation);
    if (outcome.startsWith(QLatin1String("raised ")))
        fuzz::requireStandardError(outcome.sliced(7).toInt());
    // A prepared text gives exactly what the text gives.
    QString prepared;
    try {
        prepared = describeForCli(evaluator.Evaluate_Prepared(evaluator.Prepare_Equation(equation)));
    } catch (const RuntimeError& error) {
        prepared = QStringLiteral("raised %1").arg(error.number());
    }
    FUZZ_REQUIRE(prepared == outcome, prepared + QLatin1String(" <> ") + outcome);
    // Nothing of an abandoned evaluation may stay behind to change the next one.
    const QString after = evaluateToLine(evaluator, QStringLiteral("infile('1 + 2') & first(list.index)"));
    FUZZ_REQUIRE(after == QLatin1String("String: 332766"), after);
    return 0;
}
