// The choices of "if" and IIf on arbitrary text: evaluated with the library's choices (taken
// without a call, the argument not given left out where that is quiet) and with the same library
// hiding them, so that every argument is evaluated and every call made, the outcome must be the
// same, and so must every question asked of the host that is not a quiet read.
#include "FuzzProperties.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/TextForm.h"
#include "functions/Defalt_Functions.h"

#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>

using namespace reelkeep;

namespace {

QDateTime fixedClock()
{
    return QDateTime(QDate(2026, 12, 7), QTime(9, 30));
}

// Numbered variables: "t" a text and "n" a number, read quietly; "gone" quiet but never readable
// now (reading it raises 9); "noisy" a text the host says nothing of. A function "note" gives its
// first argument; "again" evaluates its text on the same evaluator.
class ChoiceHost : public EvaluatorHost
{
public:
    QStringList loud;
    Equation_Evaluater* evaluator = nullptr;

    int variableNumber(const QString& Variable_Name) override
    {
        const int number =
            int(std::find(Names.begin(), Names.end(), Variable_Name.toLower()) - Names.begin());
        return number < int(Names.size()) ? number : AskByName;
    }

    void getNumberedVariable(int number, Value& ReturnValue) override
    {
        if (number == Gone || number == Noisy)
            loud.append(Names[size_t(number)]);
        if (number == Gone)
            raise(ErrorNumber::SubscriptOutOfRange);
        if (number == N)
            ReturnValue = Value::makeDouble(2.5);
        else
            ReturnValue = Value::makeString(number == T ? QStringLiteral("a&b<c") : QStringLiteral("xyz"));
    }

    std::optional<KnownKind> quietVariable(int number) const override
    {
        if (number == Noisy)
            return std::nullopt;
        return number == N ? KnownKind::Any : KnownKind::Text;
    }

    bool readsNow(int number) const override { return number != Gone; }

    void uGetVarable(const QString& Variable_Name, Value&) override { loud.append(Variable_Name); }

    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        loud.append(Function_Name);
        const QString name = Function_Name.toLower();
        if (name == QLatin1String("note") && Parmeters.count() > 0)
            ReturnValue = std::as_const(Parmeters).item(1);
        else if (name == QLatin1String("again") && Parmeters.count() > 0)
            ReturnValue = evaluator->Evaluate_Equation(toStringLet(std::as_const(Parmeters).item(1)));
    }

private:
    enum
    {
        T,
        N,
        Gone,
        Noisy,
    };
    inline static const std::array<QString, 4> Names{
        QStringLiteral("t"), QStringLiteral("n"), QStringLiteral("gone"), QStringLiteral("noisy")};
};

// The built-in library without its choices.
class ChoicelessLibrary : public Defalt_Functions
{
public:
    ChoicelessLibrary()
        : Defalt_Functions(fixedClock)
    {}
    bool choosesByCondition(int, int) const override { return false; }
};

// One evaluator and its host.
struct Side
{
    explicit Side(BuiltinLibrary* library)
        : evaluator(library, &host)
    {
        host.evaluator = &evaluator;
    }
    ChoiceHost host;
    Equation_Evaluater evaluator;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Defalt_Functions library(fixedClock);
    static ChoicelessLibrary choiceless;
    static Side choices(&library);
    static Side everyArgument(&choiceless);
    const QString equation =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    choices.host.loud.clear();
    everyArgument.host.loud.clear();
    const QString outcome = evaluateToLine(choices.evaluator, equation);
    const QString expected = evaluateToLine(everyArgument.evaluator, equation);
    FUZZ_REQUIRE(outcome == expected, outcome + QLatin1String(" <> ") + expected);
    FUZZ_REQUIRE(choices.host.loud == everyArgument.host.loud,
                 choices.host.loud.join(u' ') + QLatin1String(" <> ") + everyArgument.host.loud.join(u' '));
    return 0;
}
