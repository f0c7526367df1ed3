// The evaluator against the plain ReferenceEvaluator: on hand-picked expression texts both must
// give the same result and ask the library and the host the same questions.
#include "ReferenceEvaluator.h"
#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/RecordingHost.h"
#include "evaluator/value/Coercion.h"
#include "evaluator/value/TextForm.h"

#include <QTest>

#include <array>
#include <functional>
#include <memory>
#include <utility>

using namespace reelkeep;

namespace {

// A small library that writes every call it answers into a list of questions: "twice" doubles
// one number (Error 450 for another count), "count" counts its arguments and "first" gives its
// first argument (raising 9 without one). Names match in any case, as the real library's do.
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
            QStringLiteral("lib %1(%2)")
                .arg(QLatin1String(Names[size_t(function)]), arguments.join(QStringLiteral(", "))));
        switch (function) {
        case Twice:
            if (Parmeters.count() != 1)
                return Value::makeError(int(ErrorNumber::WrongArgumentCount));
            return Value::makeDouble(toDouble(Parmeters.item(1)) * 2);
        case Count:
            return Value::makeLong(Parmeters.count());
        default:
            return Parmeters.item(1);
        }
    }

private:
    enum
    {
        Twice,
        Count,
        First,
    };
    static constexpr std::array<const char*, 3> Names{"twice", "count", "first"};

    QStringList& m_asked;
};

// What an evaluator is given to ask: a host asked by name or by number, or none, and the library
// or none.
enum class Setup
{
    ByName,
    Numbered,
    LibraryOnly,
    Bare,
};

const char* setupName(Setup setup)
{
    switch (setup) {
    case Setup::ByName:
        return "host by name and library";
    case Setup::Numbered:
        return "numbering host and library";
    case Setup::LibraryOnly:
        return "library without host";
    case Setup::Bare:
        return "neither host nor library";
    }
    return "";
}

constexpr std::array<Setup, 4> AllSetups{Setup::ByName, Setup::Numbered, Setup::LibraryOnly, Setup::Bare};

// A text of `length` characters, after trimming, that is the value of `first` (a trailing
// unknown operator is ignored).
QString textOfLength(int length, const QString& first = QStringLiteral("1"))
{
    return first + QString(length - first.size() - 1, u' ') + QStringLiteral("x");
}

// `inner` inside `depth` pairs of parentheses, each opened by `opening`.
QString nested(const QString& opening, int depth, const QString& inner)
{
    return opening.repeated(depth) + inner + QString(depth, u')');
}

// The host and library of one evaluator, both writing into one list of questions. Host functions
// that evaluate a text do so through `evaluate`, on the evaluator this host belongs to.
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
    Surroundings(const Surroundings&) = delete;
    Surroundings& operator=(const Surroundings&) = delete;

    QStringList& asked() { return m_host ? m_host->asked : m_asked; }
    EvaluatorHost* host() const { return m_host.get(); }
    BuiltinLibrary* library() const { return m_library.get(); }
    int numberedQuestions() const
    {
        const auto* numbering = dynamic_cast<const NumberingHost*>(m_host.get());
        return numbering ? numbering->numberedQuestions : 0;
    }

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
            {"f", Value::makeDouble(7)},
            {"list.title", string("Alien")},
            {"True", string("yes")},
            {"blank", string("   ")},
            {"deep", string("(deep)")},
            {"loop", string("eval(loop)")},
            {"long", Value::makeString(textOfLength(Equation_Evaluater::MaxEquationLength + 1))},
            {"wide", Value::makeString(textOfLength(Equation_Evaluater::MaxEquationLength))},
        };
        using Function = std::function<Value(ArgumentList&, const Value&)>;
        host.functions = {
            {"f", Function([](ArgumentList& arguments, const Value&) {
                 return Value::makeLong(arguments.count());
             })},
            {"twice", Function([](ArgumentList&, const Value&) { return Value::makeDouble(-1); })},
            {"join", Function([](ArgumentList& arguments, const Value&) {
                 QStringList texts;
                 for (int i = 1; i <= arguments.count(); ++i)
                     texts.append(describeForCli(arguments.item(i)));
                 return Value::makeString(texts.join(u'|'));
             })},
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
            {"list.getval", Function([](ArgumentList& arguments, const Value&) {
                 return Value::makeString(QStringLiteral("got ") + toStringLet(arguments.item(1)));
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
    explicit Contestants(Setup which)
        : setup(which)
        , realSide(which)
        , referenceSide(which)
        , real(realSide.library(), realSide.host())
        , reference(referenceSide.library(), referenceSide.host())
    {
        realSide.evaluate = [this](const QString& text) { return real.Evaluate_Equation(text); };
        referenceSide.evaluate = [this](const QString& text) { return reference.Evaluate_Equation(text); };
    }

    Setup setup;
    Surroundings realSide;
    Surroundings referenceSide;
    Equation_Evaluater real;
    ReferenceEvaluator reference;
};

// What one evaluation gave and asked.
struct Outcome
{
    QString result;
    QStringList asked;

    bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(QStringList& asked, const std::function<Value()>& evaluate)
{
    asked.clear();
    Outcome outcome;
    try {
        outcome.result = describeForCli(evaluate());
    } catch (const RuntimeError& error) {
        outcome.result = QStringLiteral("raised %1").arg(error.number());
    }
    outcome.asked = std::exchange(asked, {});
    return outcome;
}

// The text with its tabs, line breaks and other characters outside printable ASCII spelled out.
QString visible(const QString& text)
{
    QString shown;
    for (const QChar character : text) {
        if (character == u'\t')
            shown += QStringLiteral("\\t");
        else if (character == u'\n')
            shown += QStringLiteral("\\n");
        else if (character == u'\r')
            shown += QStringLiteral("\\r");
        else if (character.unicode() < 0x20 || character.unicode() > 0x7E)
            shown += QStringLiteral("\\u%1").arg(character.unicode(), 4, 16, QChar(u'0'));
        else
            shown += character;
    }
    return shown;
}

QString describe(const Outcome& outcome)
{
    constexpr qsizetype Shown = 12;
    QStringList asked = outcome.asked.mid(0, Shown);
    if (outcome.asked.size() > Shown)
        asked.append(QStringLiteral("... %1 more").arg(outcome.asked.size() - Shown));
    return QStringLiteral("%1 after asking [%2]")
        .arg(outcome.result, visible(asked.join(QStringLiteral("; "))));
}

// Evaluates the text with the reference, and with the evaluator three times: once, once more
// from its store of programs, and prepared. Returns what differs, or nothing.
QString differences(Contestants& contestants, const QString& text)
{
    Equation_Evaluater& real = contestants.real;
    QStringList& realAsked = contestants.realSide.asked();
    const Outcome expected = outcomeOf(contestants.referenceSide.asked(),
                                       [&] { return contestants.reference.Evaluate_Equation(text); });
    const std::pair<const char*, Outcome> runs[] = {
        {"evaluated", outcomeOf(realAsked, [&] { return real.Evaluate_Equation(text); })},
        {"evaluated again", outcomeOf(realAsked, [&] { return real.Evaluate_Equation(text); })},
        {"prepared",
         outcomeOf(realAsked, [&] { return real.Evaluate_Prepared(real.Prepare_Equation(text)); })},
    };
    QString found;
    for (const auto& [how, outcome] : runs) {
        if (outcome != expected)
            found += QStringLiteral("\n    %1: %2").arg(QLatin1String(how), describe(outcome));
    }
    if (found.isEmpty())
        return found;
    return QStringLiteral("text \"%1\" with %2:\n    reference: %3%4")
        .arg(visible(text), QLatin1String(setupName(contestants.setup)), describe(expected), found);
}

void addText(const char* rule, const char* text)
{
    QTest::newRow(rule) << QString::fromUtf8(text);
}

} // namespace

class TestEvaluatorAgainstReference : public QObject
{
    Q_OBJECT

private slots:
    void subtleTexts_data();
    void subtleTexts();
};

void TestEvaluatorAgainstReference::subtleTexts_data()
{
    QTest::addColumn<QString>("text");

    // Tokens and spaces.
    addText("empty text", "");
    addText("spaces alone", "   ");
    addText("a run of spaces is one separator", "1   +    2");
    addText("without spaces it is one token", "1+2");
    addText("a tab is a token character", "1\t+ 2");
    addText("a line break is a token character", "a\n+ 1");
    addText("a no-break space is a token character", "1 +\u00a02");
    addText("a comma outside a group is a token character", "1,2 + a,b");
    addText("a closing parenthesis outside a group is a token character", "1) + a)");
    // Text literals.
    addText("a doubled quote is one quote", "'it''s'");
    addText("an unclosed literal takes the rest of the text", "'ab + 1 (");
    addText("text after the closing quote joins the token", "'ab'cd & 1");
    addText("a quote inside a name opens a literal in the token", "a'b c' + 1");
    addText("a quote in an argument hides commas and parentheses", "f('a,b)', (1))");
    addText("an unclosed quote in an argument reaches the end", "a + f('a, b)");
    // Groups and argument lists.
    addText("empty parentheses pass no argument", "f()");
    addText("a space between the parentheses passes Empty", "f( )");
    addText("the library gets no argument from empty parentheses", "count() & count( )");
    addText("reading an argument that was not passed raises 9", "a + first()");
    addText("an empty plain group is one Empty value", "() + 1");
    addText("a second group replaces the arguments of the first", "f(1)(2)");
    addText("an empty second group leaves no argument", "f(a)()");
    addText("text after the closing parenthesis continues the name", "f(1)x + f(2)'t'");
    addText("a spaced group is no call and passes its values on", "x (1) f");
    addText("two groups in a row", "(1) (2)");
    addText("a group in an operator's place keeps its values for the next name", "a (b) c");
    addText("a call in an operator's place leaves the group flag set", "a f() c");
    addText("a call in an operator's place passes its values on", "a f(b) c + 1");
    addText("a value of a group in an operator's place is dropped by the next group", "a (b)(s) + 1");
    addText("commas below the first level stay in the argument", "f(g(1, 2), (3, 4), 5)");
    addText("an empty argument between commas is Empty", "f(, 1) & f(,)");
    addText("a group of two values is Empty", "(1, 2)");
    addText("a group's value is evaluated again as text", "(s) + (v) + ('1 + 1')");
    addText("a group of True asks for the variable True", "(1 = 1)");
    addText("a group of a text asks for its name", "('abc')");
    addText("a group of Null raises 94", "a + (n)");
    addText("a group of an Error Value raises 13", "a + (e)");
    addText("a group of a blank text is Empty", "(blank) & 1");
    addText("a group of the longest text is evaluated", "(wide)");
    addText("a group of a text too long raises 6", "a & (long)");
    addText("groups nested too deeply raise 28", "a + (deep)");
    addText("a function named by a literal", "'q'(1)");
    addText("a function named by a number", "1(2)");
    // Unterminated groups.
    addText("an unterminated call is dropped", "f(2");
    addText("an unterminated call leaves its operator without an operand", "1 + f(2");
    addText("arguments before the end of an unterminated group are evaluated", "a + f(b, c");
    addText("an unterminated group after a finished one", "f(a)(b, c");
    // Numbers, constants and names.
    addText("a lone minus is the number 0", "- 2");
    addText("a minus and letters is 0", "-x & 12abc & 1e3");
    addText("a number too large raises 6", "1e999");
    addText("a number too large raises 6 after the operands before it", "a + 1e999");
    addText("a number too large in a group raises 6 after the operands before it", "a + (1e999)");
    addText("a number too large in an argument raises 6 after the arguments before it", "f(a, 1e999)");
    addText("constants match only in lower case", "True & YES & Null & Empty & no");
    addText("names reach the host as written", "LIST.Title & list.title");
    // Operators.
    addText("operators ignore case", "1 AND 3 & 7 Mod 4 & 'a' LIKE 'a'");
    addText("=< and => are <= and >=", "1 =< 2 & 2 => 3");
    addText("a Kelvin sign lowers to k", "'a' li\u212ae 'a'");
    addText("a capital I with a dot is no operator", "1 \u0130s 1");
    addText("not drops its right operand", "5 not b");
    addText("an unknown operator between operands is never applied", "1 x 2");
    addText("a trailing unknown operator is ignored", "1 + 2 x");
    addText("a trailing operator raises 9", "1 +");
    addText("a trailing operator raises 9 after the rows before it", "2 * a +");
    addText("a text in no row stops a trailing operator from being applied", "1 x 2 +");
    addText("precedence rows", "1 + 2 * 3 - 4 / 2 ^ 2 mod 3 \\ 1");
    addText("every operator is left-associative", "2 ^ 3 ^ 2 & 8 / 2 / 2");
    addText("comparisons then logical rows", "1 < 2 = true and 3 or 0 xor 1 eqv 2 imp 3");
    addText("an Error Value spreads", "'x' * 2 + 1");
    addText("a chain of texts is joined", "'a' & b & 'c' & empty");
    addText("a chain of Empty is a String", "empty & empty & empty");
    addText("a chain of Null is Null", "null & null & null");
    addText("Null in a chain is the empty text", "null & null & 'x' & null");
    addText("a chain with numbers and Errors", "1 & a & 1 / 0 & 'z'");
    addText("a chain split by a tighter row", "'a' & 1 + 2 & 'b' & 3 * 2");
    // The library and the host.
    addText("the library comes before the host", "twice(2) + TWICE(a)");
    addText("the library rejects a count with an Error Value", "twice(1, 2)");
    addText("an error in the library abandons the evaluation", "a & twice('abc') & b");
    addText("an error in the host abandons the evaluation", "a + boom(1) + b");
    addText("the host may evaluate again", "1 + eval('eval(''a'') * 2') + eval(q)");
    addText("evaluating again too deeply raises 28", "a & eval(loop)");
    addText("the host's changes to its arguments have no effect", "mutate(1, 'k') & mutate(2) & mutate()");
    addText("dotted names stay asked by name", "list.getval('title', 1) & x.y(a)");
    // The limits of length and nesting.
    const int longest = Equation_Evaluater::MaxEquationLength;
    const int deepest = Equation_Evaluater::MaxDepth - 1;
    const QString a = QStringLiteral("a");
    const QString call = QStringLiteral("f(");
    const QString group = QStringLiteral("(");
    QTest::newRow("the longest text is evaluated") << QStringLiteral("  ") + textOfLength(longest, a) + u' ';
    QTest::newRow("a text one longer raises 6") << textOfLength(longest + 1, a);
    QTest::newRow("the deepest calls are evaluated") << nested(call, deepest, a);
    QTest::newRow("calls one deeper raise 28") << nested(call, deepest + 1, a);
    QTest::newRow("the deepest groups are evaluated") << nested(group, deepest, QStringLiteral("v"));
    QTest::newRow("groups one deeper raise 28") << nested(group, deepest + 1, QStringLiteral("v"));
    QTest::newRow("nesting runs out after the arguments before it are evaluated")
        << QStringLiteral("a & f(b, ") + nested(QStringLiteral("g(c, "), deepest, QStringLiteral("d")) + u')';
}

void TestEvaluatorAgainstReference::subtleTexts()
{
    QFETCH(QString, text);
    for (const Setup setup : AllSetups) {
        Contestants contestants(setup);
        const QString found = differences(contestants, text);
        QVERIFY2(found.isEmpty(), qPrintable(found));
    }
}

QTEST_GUILESS_MAIN(TestEvaluatorAgainstReference)
#include "TestEvaluatorAgainstReference.moc"
