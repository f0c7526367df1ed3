// The choices of "if" and IIf: taken without a call for a Boolean or Null condition, and leaving
// out the code of the argument not given. The outcome must be exactly that of calling the library
// with every argument evaluated, and only code that cannot raise or change anything is left out.
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "evaluator/EvaluatorHost.h"
#include "evaluator/value/TextForm.h"
#include "functions/Defalt_Functions.h"

#include <QTest>

#include <array>
#include <random>

using namespace reelkeep;

namespace {

// A host with numbered variables that records every read and call:
//   t      "abc", quiet;
//   e      Empty, quiet;
//   n      the Double 2, quiet but of no known kind;
//   gone   quiet, but no Value can be read now: reading it raises Subscript out of range (9);
//   noisy  "xyz", and reading it may do anything as far as the evaluator knows;
// and a function "note" that gives its first argument.
class QuietHost : public EvaluatorHost
{
public:
    enum Variable
    {
        T,
        E,
        N,
        Gone,
        Noisy,
    };
    static constexpr std::array<const char*, 5> Names{"t", "e", "n", "gone", "noisy"};

    QStringList asked;

    int variableNumber(const QString& Variable_Name) override
    {
        for (int number = 0; number < int(Names.size()); ++number) {
            if (Variable_Name == QLatin1String(Names[size_t(number)]))
                return number;
        }
        return AskByName;
    }

    void getNumberedVariable(int number, Value& ReturnValue) override
    {
        asked.append(QLatin1String(Names[size_t(number)]));
        switch (number) {
        case T:
            ReturnValue = Value::makeString(QStringLiteral("abc"));
            break;
        case N:
            ReturnValue = Value::makeDouble(2);
            break;
        case Gone:
            raise(ErrorNumber::SubscriptOutOfRange);
        case Noisy:
            ReturnValue = Value::makeString(QStringLiteral("xyz"));
            break;
        default:
            break;
        }
    }

    std::optional<KnownKind> quietVariable(int number) const override
    {
        switch (number) {
        case T:
        case E:
        case Gone:
            return KnownKind::Text;
        case N:
            return KnownKind::Any;
        default:
            return std::nullopt;
        }
    }

    bool readsNow(int number) const override { return number != Gone; }

    void uGetVarable(const QString& Variable_Name, Value&) override
    {
        asked.append(QStringLiteral("by name ") + Variable_Name);
    }

    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        QStringList arguments;
        for (int i = 1; i <= Parmeters.count(); ++i)
            arguments.append(describeForCli(std::as_const(Parmeters).item(i)));
        asked.append(QStringLiteral("%1(%2)").arg(Function_Name, arguments.join(QStringLiteral(", "))));
        if (Parmeters.count() > 0)
            ReturnValue = std::as_const(Parmeters).item(1);
    }
};

// The built-in library without its choices, so that every argument is evaluated.
class ChoicelessLibrary : public Defalt_Functions
{
public:
    bool choosesByCondition(int, int) const override { return false; }
};

// The built-in library, counting the calls it is given.
class CountingLibrary : public Defalt_Functions
{
public:
    int calls = 0;

    Value Call_Function(int function, const ArgumentList& Parmeters) override
    {
        ++calls;
        return Defalt_Functions::Call_Function(function, Parmeters);
    }
};

// A random expression over the quiet and unquiet names, the choices and the functions whose
// quiet calls the library knows.
class ExpressionMaker
{
public:
    explicit ExpressionMaker(std::uint32_t seed)
        : m_random(seed)
    {}

    QString make(int depth)
    {
        if (depth == 0 || pick(4) == 0)
            return atom();
        switch (pick(8)) {
        case 0:
            return QStringLiteral("iif(%1, %2, %3)")
                .arg(condition(depth - 1), make(depth - 1), make(depth - 1));
        case 1:
            return QStringLiteral("if(%1, %2)").arg(condition(depth - 1), make(depth - 1));
        case 2:
            return QStringLiteral("if(%1, %2, %3)")
                .arg(condition(depth - 1), make(depth - 1), make(depth - 1));
        case 3:
            return QStringLiteral("replace(%1, 'a', %2)").arg(make(depth - 1), make(depth - 1));
        case 4:
            return QStringLiteral("ucase(%1)").arg(make(depth - 1));
        case 5:
            return QStringLiteral("cint(%1)").arg(make(depth - 1));
        case 6:
            return make(depth - 1) + QStringLiteral(" & ") + make(depth - 1);
        default:
            return QStringLiteral("note(%1)").arg(make(depth - 1));
        }
    }

private:
    QString condition(int depth)
    {
        static const std::array<const char*, 6> Operators{" = ", " <> ", " < ", " and ", " or ", " & "};
        if (pick(3) == 0)
            return make(depth);
        return make(depth) + QLatin1String(Operators[size_t(pick(int(Operators.size())))]) + make(depth);
    }

    QString atom()
    {
        static const std::array<const char*, 13> Atoms{
            "t", "e", "n", "gone", "noisy", "'a'", "''", "'True'", "null", "true", "false", "1", "1 / 0"};
        return QLatin1String(Atoms[size_t(pick(int(Atoms.size())))]);
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::mt19937 m_random;
};

} // namespace

class TestChoices : public QObject
{
    Q_OBJECT

private slots:
    void choices_data();
    void choices();
    void choicesWithoutACall_data();
    void choicesWithoutACall();
    void sameOutcomeAsEvaluatingEveryArgument();
    void anotherLibraryIsNotLeftOut();
};

void TestChoices::choices_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("outerDepth");

    const QStringList none;
    const int top = Equation_Evaluater::MaxDepth;
    QTest::newRow("the argument not given by iif is not read")
        << "iif(t <> '', 'yes ' & replace(t, 'a', 'b'), 'no ' & ucase(t))"
        << "String: yes bbc" << QStringList{"t", "t"} << 0;
    QTest::newRow("nor when the condition is False") << "iif(t = '', 'yes ' & t, 'no ' & lcase(t))"
                                                     << "String: no abc" << QStringList{"t", "t"} << 0;
    QTest::newRow("if without a third argument") << "if(t = '', replace(t, 'a', 'b'))"
                                                 << "Empty: " << QStringList{"t"} << 0;
    QTest::newRow("a Null condition gives the third") << "iif(null, t, 'b')"
                                                      << "String: b" << none << 0;
    QTest::newRow("Booleans combined") << "iif(t <> '' and t <> 'x', 'a', t)"
                                       << "String: a" << QStringList{"t", "t"} << 0;
    QTest::newRow("an operator's Error Value raises nothing") << "iif(true, 'a', 1 / 0 & t)"
                                                              << "String: a" << none << 0;
    QTest::newRow("nested choices") << "if(t <> '', iif(t = 'x', t, 'b') & t)"
                                    << "String: babc" << QStringList{"t", "t", "t"} << 0;
    QTest::newRow("an Empty variable is a text") << "iif(e = '', 'x', ucase(e) & 'y')"
                                                 << "String: x" << QStringList{"e"} << 0;
    // Code that may raise or change something is evaluated as written.
    QTest::newRow("a variable that cannot be read now") << "if(t <> '', t, gone)"
                                                        << "raised 9" << QStringList{"t", "t", "gone"} << 0;
    QTest::newRow("a variable the host says nothing of") << "iif(true, 'a', noisy)"
                                                         << "String: a" << QStringList{"noisy"} << 0;
    QTest::newRow("a host function") << "iif(true, 'a', note(t))"
                                     << "String: a" << QStringList{"t", "note(String: abc)"} << 0;
    QTest::newRow("a library function that raises") << "iif(true, 'a', cint('x'))"
                                                    << "raised 13" << none << 0;
    QTest::newRow("replace of Null") << "iif(true, 'a', replace(null, 'a', 'b'))"
                                     << "raised 94" << none << 0;
    QTest::newRow("replace from a start of 0") << "iif(true, 'a', replace(t, 'a', 'b', 0))"
                                               << "raised 5" << QStringList{"t"} << 0;
    QTest::newRow("a choice of a text condition") << "iif(true, 'a', if(t, 'b', 'c'))"
                                                  << "raised 13" << QStringList{"t"} << 0;
    QTest::newRow("a choice of a compared Error Value") << "iif(true, 'a', iif(1 / 0 = t, 'b', 'c'))"
                                                        << "raised 13" << QStringList{"t"} << 0;
    QTest::newRow("replace of a number") << "iif(true, 'a', replace(n, 'a', 'b'))"
                                         << "String: a" << QStringList{"n"} << 0;
    QTest::newRow("a group") << "iif(true, 'a', ('1 +'))"
                             << "raised 9" << none << 0;
    QTest::newRow("a number beyond Double") << "iif(true, 'a', 1e999)"
                                            << "raised 6" << none << 0;
    QTest::newRow("nesting too deep") << "iif(true, 'a', iif(true, 'b', 'c'))"
                                      << "raised 28" << none << top - 2;
    // Conditions the choice does not read as they stand.
    QTest::newRow("a text condition") << "iif('True', 'a', t)"
                                      << "String: a" << QStringList{"t"} << 0;
    QTest::newRow("a number condition") << "iif(1, t, e)"
                                        << "String: abc" << QStringList{"t", "e"} << 0;
}

void TestChoices::choices()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    QFETCH(QStringList, asked);
    QFETCH(int, outerDepth);
    Defalt_Functions library;
    QuietHost host;
    Equation_Evaluater evaluator(&library, &host, outerDepth);
    QCOMPARE(evaluateToLine(evaluator, expression), printed);
    QCOMPARE(host.asked, asked);
    // The prepared text leaves out the same.
    host.asked.clear();
    try {
        QCOMPARE(describeForCli(evaluator.Evaluate_Prepared(evaluator.Prepare_Equation(expression))),
                 printed);
    } catch (const RuntimeError& error) {
        QCOMPARE(QStringLiteral("raised %1").arg(error.number()), printed);
    }
    QCOMPARE(host.asked, asked);
}

void TestChoices::choicesWithoutACall_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("calls");

    QTest::newRow("iif of True") << "iif(true, 'a', 'b')"
                                 << "String: a" << 0;
    QTest::newRow("iif of False") << "iif(1 = 2, 'a', 1)"
                                  << "Double: 1" << 0;
    QTest::newRow("iif of Null") << "iif(null, 'a', 'b')"
                                 << "String: b" << 0;
    QTest::newRow("if of False without a third") << "if(false, 'a')"
                                                 << "Empty: " << 0;
    QTest::newRow("if of True") << "if(true, null, 'b')"
                                << "Null: " << 0;
    QTest::newRow("a text condition is the library's") << "iif('True', 'a', 'b')"
                                                       << "String: a" << 1;
    QTest::newRow("a number condition") << "iif(0, 'a', 'b')"
                                        << "String: b" << 1;
    QTest::newRow("an Error condition raises") << "iif(1 / 0, 'a', 'b')"
                                               << "raised 13" << 1;
    QTest::newRow("four arguments are no choice") << "if(true, 'a', 'b', 'c')"
                                                  << "Error: Error 450" << 1;
}

void TestChoices::choicesWithoutACall()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    QFETCH(int, calls);
    CountingLibrary library;
    Equation_Evaluater evaluator(&library);
    QCOMPARE(evaluateToLine(evaluator, expression), printed);
    QCOMPARE(library.calls, calls);
}

void TestChoices::sameOutcomeAsEvaluatingEveryArgument()
{
    Defalt_Functions library;
    ChoicelessLibrary choiceless;
    QuietHost host;
    QuietHost everyArgumentHost;
    Equation_Evaluater evaluator(&library, &host);
    Equation_Evaluater everyArgument(&choiceless, &everyArgumentHost);
    ExpressionMaker maker(20261207);
    int leftOut = 0;
    for (int i = 0; i < 3000; ++i) {
        const QString expression = maker.make(4);
        host.asked.clear();
        everyArgumentHost.asked.clear();
        const QString outcome = evaluateToLine(evaluator, expression);
        QVERIFY2(outcome == evaluateToLine(everyArgument, expression), qPrintable(expression));
        // Only quiet reads are left out: every call and unquiet read still happens, in order.
        const auto loud = [](const QStringList& asked) {
            QStringList kept;
            for (const QString& question : asked) {
                if (question != QLatin1String("t") && question != QLatin1String("e") &&
                    question != QLatin1String("n"))
                    kept.append(question);
            }
            return kept;
        };
        QVERIFY2(loud(host.asked) == loud(everyArgumentHost.asked), qPrintable(expression));
        leftOut += host.asked.size() < everyArgumentHost.asked.size() ? 1 : 0;
    }
    // The table above must exercise leaving out, not only evaluate everything.
    QVERIFY2(leftOut > 50, qPrintable(QString::number(leftOut)));
}

void TestChoices::anotherLibraryIsNotLeftOut()
{
    // What is left out was planned for one library: after a change, the same text's choice is the
    // host's own function, given every argument.
    Defalt_Functions library;
    QuietHost host;
    Equation_Evaluater evaluator(&library, &host);
    const QString expression = QStringLiteral("iif(true, 'a', t)");
    QCOMPARE(evaluateToLine(evaluator, expression), QStringLiteral("String: a"));
    QVERIFY(host.asked.isEmpty());
    evaluator.setLibrary(nullptr);
    QCOMPARE(evaluateToLine(evaluator, expression), QStringLiteral("Boolean: True"));
    QCOMPARE(host.asked, (QStringList{"t", "iif(Boolean: True, String: a, String: abc)"}));
}

QTEST_GUILESS_MAIN(TestChoices)
#include "TestChoices.moc"
