// Evaluate_Equation on arbitrary text against the plain ReferenceEvaluator: with a host asked by
// name, one asked by number, the library alone and neither, both must give the same result and
// ask the library and the host the same questions, whether the text is evaluated, prepared, or
// prepared by an evaluator of another library and host. Host functions evaluate texts again on
// the same evaluator, as an include does, and nothing of an abandoned evaluation may change the
// next one.
//
// The limits (a thousand levels of nesting, texts of 32,765 characters) are checked when the
// corpus is replayed: an input that reaches them takes seconds under the sanitizers, and libFuzzer,
// finding much to cover there, would spend its time on them. While fuzzing, inputs are at most
// MaxFuzzedLength characters and the host's names that reach the limits answer nothing.
#include "FuzzProperties.h"
#include "ReferenceEvaluator.h"
#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/RecordingHost.h"
#include "value/Coercion.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

using namespace reelkeep;

namespace {

// "twice" doubles one number (Error 450 for another count), "count" counts its arguments and
// "first" gives its first argument (raising 9 without one); every call is recorded.
class RecordingLibrary : public BuiltinLibrary
{
public:
    explicit RecordingLibrary(QStringList& asked)
        : m_asked(asked)
    {}

    int Find_Function(const QString& Function_Name) const override
    {
        const QString name = Function_Name.toLower();
        for (int function = 0; function < int(Names.size()); ++function) {
            if (name == QLatin1String(Names[size_t(function)]))
                return function;
        }
        return NotFound;
    }

    Value Call_Function(int function, const ArgumentList& Parmeters) override
    {
        QStringList arguments;
        for (int i = 1; i <= Parmeters.count(); ++i)
            arguments.append(describeForCli(Parmeters.item(i)));
        m_asked.append(
            QStringLiteral("lib %1(%2)").arg(QLatin1String(Names[size_t(function)]), arguments.join(u',')));
        if (function == 0 && Parmeters.count() != 1)
            return Value::makeError(int(ErrorNumber::WrongArgumentCount));
        if (function == 0)
            return Value::makeDouble(toDouble(Parmeters.item(1)) * 2);
        if (function == 1)
            return Value::makeLong(Parmeters.count());
        return Parmeters.item(1);
    }

private:
    static constexpr std::array<const char*, 3> Names{"twice", "count", "first"};
    QStringList& m_asked;
};

enum class Setup
{
    ByName,
    Numbered,
    LibraryOnly,
    Bare,
};

constexpr std::size_t MaxFuzzedLength = 512;

// A text of `length` characters that is the value of 1 (the trailing unknown operator is ignored).
QString textOfLength(int length)
{
    return QStringLiteral("1") + QString(length - 2, u' ') + QStringLiteral("x");
}

// The host and library of one evaluator, both writing into one list of questions; "eval"
// evaluates its argument on the evaluator they belong to.
class Surroundings
{
public:
    explicit Surroundings(Setup setup)
    {
        if (setup == Setup::ByName)
            m_host = std::make_unique<RecordingHost>();
        else if (setup == Setup::Numbered)
            m_host = std::make_unique<NumberingHost>();
        if (m_host)
            furnish(*m_host);
        if (setup != Setup::Bare)
            m_library = std::make_unique<RecordingLibrary>(asked());
    }

    QStringList& asked() { return m_host ? m_host->asked : m_asked; }
    EvaluatorHost* host() const { return m_host.get(); }
    BuiltinLibrary* library() const { return m_library.get(); }

    std::function<Value(const QString&)> evaluate;

private:
    void furnish(RecordingHost& host)
    {
        const auto string = [](const char* text) { return Value::makeString(QString::fromUtf8(text)); };
        host.variables = {
            {"a", Value::makeDouble(3)},
            {"b", string("x")},
            {"s", string("1 + 2")},
            {"v", string("a * 2")},
            {"q", string("'it''s' & b")},
            {"n", Value::makeNull()},
            {"e", Value::makeError(int(ErrorNumber::TypeMismatch))},
            {"t", Value::makeBoolean(true)},
            {"list.title", string("Alien")},
            {"True", string("yes")},
            {"blank", string("   ")},
        };
        if (fuzz::replaying()) {
            host.variables.insert(QStringLiteral("deep"), string("(deep)"));
            host.variables.insert(QStringLiteral("loop"), string("eval(loop)"));
            host.variables.insert(QStringLiteral("long"),
                                  Value::makeString(textOfLength(Equation_Evaluater::MaxEquationLength + 1)));
            host.variables.insert(QStringLiteral("wide"),
                                  Value::makeString(textOfLength(Equation_Evaluater::MaxEquationLength)));
        }
        using Function = std::function<Value(ArgumentList&, const Value&)>;
        host.functions = {
            {"f", Function([](ArgumentList& arguments, const Value&) {
                 return Value::makeLong(arguments.count());
             })},
            {"twice", Function([](ArgumentList&, const Value&) { return Value::makeDouble(-1); })},
            {"eval", Function([this](ArgumentList& arguments, const Value&) {
                 return evaluate(toStringLet(arguments.item(1)));
             })},
            {"mutate", Function([](ArgumentList& arguments, const Value&) {
                 if (arguments.count() > 0)
                     arguments.item(1) = Value::makeString(QStringLiteral("changed"));
                 arguments.append(Value::makeDouble(9));
                 return Value::makeLong(arguments.count());
             })},
            {"boom", Function([](ArgumentList&, const Value&) -> Value {
                 raise(ErrorNumber::InvalidProcedureCall);
             })},
        };
    }

    std::unique_ptr<RecordingHost> m_host;
    std::unique_ptr<RecordingLibrary> m_library;
    QStringList m_asked;
};

// The evaluator and the reference, each with surroundings of its own of one setup.
struct Contestants
{
    explicit Contestants(Setup setup)
        : realSide(setup)
        , referenceSide(setup)
        , real(realSide.library(), realSide.host())
        , reference(referenceSide.library(), referenceSide.host())
    {
        realSide.evaluate = [this](const QString& text) { return real.Evaluate_Equation(text); };
        referenceSide.evaluate = [this](const QString& text) { return reference.Evaluate_Equation(text); };
    }

    Surroundings realSide;
    Surroundings referenceSide;
    Equation_Evaluater real;
    ReferenceEvaluator reference;
};

// What one evaluation gave, and what it asked, as one text.
QString outcomeOf(QStringList& asked, const std::function<Value()>& evaluate)
{
    asked.clear();
    QString result;
    try {
        result = describeForCli(evaluate());
    } catch (const RuntimeError& error) {
        fuzz::requireStandardError(error.number());
        result = QStringLiteral("raised %1").arg(error.number());
    }
    return result + QStringLiteral(" after [") + std::exchange(asked, {}).join(QStringLiteral("; ")) + u']';
}

// Whether the evaluation was abandoned.
bool compare(Contestants& contestants, const QString& text)
{
    Equation_Evaluater& real = contestants.real;
    QStringList& asked = contestants.realSide.asked();
    const QString expected = outcomeOf(contestants.referenceSide.asked(),
                                       [&] { return contestants.reference.Evaluate_Equation(text); });
    // A program made for another library and host finds its names again.
    static const Equation_Evaluater elsewhere;
    const std::function<Value()> ways[] = {
        [&] { return real.Evaluate_Equation(text); },
        [&] { return real.Evaluate_Prepared(real.Prepare_Equation(text)); },
        [&] { return real.Evaluate_Prepared(elsewhere.Prepare_Equation(text)); },
    };
    for (const std::function<Value()>& way : ways) {
        const QString actual = outcomeOf(asked, way);
        FUZZ_REQUIRE(actual == expected, actual + QLatin1String(" <> reference ") + expected);
    }
    return expected.startsWith(u"raised ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxFuzzedLength && !fuzz::replaying())
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Made for each input and gone after it: what an input leaves in the evaluators (the programs
    // they keep) would make libFuzzer look for a leak after each one, a scan of the whole heap.
    // While fuzzing, an input is compared in the one setup its length picks, a quarter of the work;
    // replaying the corpus compares every input in all four.
    constexpr Setup Setups[] = {Setup::ByName, Setup::Numbered, Setup::LibraryOnly, Setup::Bare};
    for (const Setup setup : Setups) {
        if (!fuzz::replaying() && setup != Setups[size % std::size(Setups)])
            continue;
        Contestants contestants(setup);
        // Nothing of an abandoned evaluation may stay behind to change the next one.
        if (compare(contestants, text))
            compare(contestants, QStringLiteral("eval('1 + 2') & first(a) & f(b, (s))"));
    }
    return 0;
}
