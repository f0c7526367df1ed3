// The evaluator against the plain ReferenceEvaluator: on hand-picked and on random expression
// texts both must give the same result and ask the library and the host the same questions.
#include "ReferenceEvaluator.h"
#include "evaluator/BuiltinLibrary.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/RecordingHost.h"
#include "evaluator/value/Coercion.h"
#include "evaluator/value/TextForm.h"

#include <QElapsedTimer>
#include <QTest>

#include <array>
#include <functional>
#include <memory>
#include <random>
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

// Random expression texts, made mostly of the parts that the scan and the reduction treat
// unusually: runs of spaces and missing ones, tabs and line breaks, quotes doubled, unclosed or
// followed by text, parentheses nested, empty, unbalanced or standing where an operator belongs,
// commas at several depths, every operator in mixed case and texts that are none, trailing
// operators, constants in other cases, odd numbers and dotted names.
class TextMaker
{
public:
    explicit TextMaker(quint32 seed)
        : m_random(seed)
    {}

    QString text()
    {
        m_tidy = chance(40);
        QString text = chance(8) ? concatenation() : expression(2);
        if (chance(25))
            text = mutated(text);
        if (chance(8))
            text = QStringLiteral("  ") + text;
        if (chance(8))
            text += QStringLiteral("   ");
        return text;
    }

private:
    bool chance(int percent) { return below(100) < percent; }
    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    template <size_t N> QString pick(const char* const (&texts)[N])
    {
        return QString::fromUtf8(texts[below(int(N))]);
    }

    QString expression(int depth)
    {
        QString text = operand(depth);
        const int operators = below(depth == 2 ? 5 : 3);
        for (int i = 0; i < operators; ++i)
            text += gap() + operatorText(depth) + gap() + operand(depth);
        if (chance(6))
            text += gap() + operatorText(depth);
        return text;
    }

    // A chain of "&", which is joined at once when all its operands are texts or Empty.
    QString concatenation()
    {
        const char* const operands[] = {
            "null", "empty", "''", "'a'", "b", "e", "n", "1", "f(1)", "(s)", "true"};
        QString text = pick(operands);
        for (int i = below(4); i >= 0; --i)
            text += QStringLiteral(" & ") + pick(operands);
        return text;
    }

    // Mostly one space; runs of spaces, none at all, and characters that look like spaces but
    // are token characters.
    QString gap()
    {
        if (m_tidy)
            return chance(90) ? QStringLiteral(" ") : QStringLiteral("  ");
        const int roll = below(100);
        if (roll < 60)
            return QStringLiteral(" ");
        if (roll < 72)
            return QStringLiteral("  ");
        if (roll < 75)
            return QStringLiteral("    ");
        if (roll < 88)
            return QString();
        const char* const others[] = {"\t", "\n", " \t", "\r\n", "\t ", "\u00a0"};
        return pick(others);
    }

    QString operatorText(int depth)
    {
        const int roll = m_tidy ? below(70) : below(100);
        if (roll < 64) {
            const char* const known[] = {"^",  "*",  "/",   "\\",  "mod", "+",   "-",    "&",
                                         "=",  "<>", "<",   ">",   "<=",  ">=",  "like", "is",
                                         "=<", "=>", "not", "and", "or",  "xor", "eqv",  "imp"};
            return mixedCase(pick(known));
        }
        if (roll < 76) {
            const char* const unknown[] = {"x",
                                           "plus",
                                           "==",
                                           "><",
                                           "**",
                                           "!",
                                           "mod2",
                                           ",",
                                           ")",
                                           "=>=",
                                           "'&'",
                                           "&&",
                                           "Lik3",
                                           "nand",
                                           "m o d",
                                           "a.b",
                                           "True"};
            return pick(unknown);
        }
        if (roll < 81)
            return number();
        if (roll < 87)
            return depth > 0 ? arguments(depth - 1) : QStringLiteral("(1)");
        if (roll < 93)
            return pick(FunctionNames) + arguments(depth - 1);
        if (roll < 97)
            return name();
        // A Kelvin sign lowers to "k"; a capital I with a dot lowers to two characters.
        const char* const unusual[] = {"li\u212ae", "LI\u212aE", "\u0130s", "\u0130S", "mo\u0111"};
        return pick(unusual);
    }

    QString mixedCase(QString text)
    {
        const int roll = below(100);
        if (roll < 60)
            return text;
        if (roll < 75)
            return text.toUpper();
        if (roll < 85)
            return text.left(1).toUpper() + text.mid(1);
        for (QChar& character : text) {
            if (chance(50))
                character = character.toUpper();
        }
        return text;
    }

    QString operand(int depth)
    {
        const int roll = below(100);
        if (roll < 16)
            return number();
        if (roll < 28)
            return literal();
        if (roll < 37)
            return pick(Constants);
        if (roll < 53)
            return name();
        if (roll < 72)
            return call(depth);
        if (roll < 84 && depth > 0)
            return group(depth);
        if (roll < 84)
            return literal();
        return fragment();
    }

    QString number()
    {
        if (chance(25))
            return QString::number(below(1000)) + (chance(30) ? QStringLiteral(".5") : QString());
        if (chance(3)) {
            // Beyond the Double range, and just inside it.
            const char* const large[] = {"1e999", "-1e999", "9e307", "1.7976931348623158e308"};
            return pick(large);
        }
        const char* const numbers[] = {"0",
                                       "1",
                                       "2",
                                       "3",
                                       "-2",
                                       "-",
                                       "-x",
                                       "1e3",
                                       "12abc",
                                       "1.5",
                                       "-.5",
                                       "007",
                                       "1d2",
                                       "1,5",
                                       "1\t2",
                                       "4e",
                                       "2.5e-3",
                                       "1E+2"};
        return pick(numbers);
    }

    QString literal()
    {
        if (chance(40)) {
            const char* const literals[] = {"'a b'",    "''",    "'it''s'", "'ab'cd", "'1 + 2'",
                                            "'(a, b)'", "'x'",   "'5'",     "'a*'",   "'True'",
                                            "'null'",   "'a,b'", "'''x'''", "'s'",    "'eval(''a'')'",
                                            "'(s)'",    "'1 +'", "'f()'",   "'ab",    "'a'''"};
            return pick(literals);
        }
        const char* const pieces[] = {"a", "b", " ", ",", "(", ")", "''", "1", "+", "s"};
        QString text = QStringLiteral("'");
        for (int i = below(5); i > 0; --i)
            text += pick(pieces);
        if (!chance(10))
            text += u'\'';
        if (chance(10))
            text += pick(pieces);
        return text;
    }

    QString name()
    {
        const char* const names[] = {"a",     "b",  "s",    "v", "q",    "n",          "e",          "t",
                                     "f",     "g",  "x",    "A", "S",    "list.title", "LIST.Title", "a.b-c",
                                     "blank", ".5", "&H10", "_", "a'b'", "eval",       "a)"};
        if (below(1000) < 3) {
            // Names whose evaluation runs into the limits: nesting, length, and the longest text.
            const char* const limits[] = {"(deep)", "eval(loop)", "(long)", "(wide)"};
            return pick(limits);
        }
        return pick(names);
    }

    QString call(int depth)
    {
        QString text = pick(FunctionNames) + arguments(depth - 1);
        if (chance(10))
            text += arguments(depth - 1);
        if (chance(6)) {
            const char* const suffixes[] = {"x", "'t'", ".y", "1"};
            text += pick(suffixes);
        }
        return text;
    }

    // An argument list from its "(" to its ")": empty, a space, or up to three argument texts
    // of which some are empty.
    QString arguments(int depth)
    {
        const int roll = below(100);
        if (roll < 12)
            return QStringLiteral("()");
        if (roll < 20)
            return QStringLiteral("( )");
        if (roll < 23)
            return QStringLiteral("(  )");
        QStringList texts;
        for (int i = below(3); i >= 0; --i) {
            if (chance(8))
                texts.append(chance(50) ? QString() : QStringLiteral(" "));
            else
                texts.append(padding() + (depth > 0 ? expression(depth) : simple()) + padding());
        }
        return u'(' + texts.join(u',') + u')';
    }

    QString group(int depth)
    {
        if (chance(15))
            return u'(' + expression(depth - 1) + QStringLiteral(", ") + expression(depth - 1) + u')';
        return u'(' + padding() + expression(depth - 1) + padding() + u')';
    }

    QString padding() { return chance(30) ? gap() : QString(); }

    QString simple()
    {
        const int roll = below(4);
        return roll == 0 ? number() : roll == 1 ? literal() : roll == 2 ? name() : pick(Constants);
    }

    QString fragment()
    {
        const char* const fragments[] = {"f()",
                                         "f( )",
                                         "f(1)(2)",
                                         "x (1) f",
                                         "(1) (2)",
                                         "f(1)x",
                                         "()",
                                         "( )",
                                         "(1, 2)",
                                         "f(, 1)",
                                         "f(,)",
                                         "count()",
                                         "count( )",
                                         "first()",
                                         "first( )",
                                         "(s)",
                                         "(v)",
                                         "(n)",
                                         "(e)",
                                         "(t)",
                                         "('1 + 1')",
                                         "(1 = 1)",
                                         "('abc')",
                                         "f('a,b', (1))",
                                         "(blank)",
                                         "eval('1 + a')",
                                         "eval(q)",
                                         "mutate(1, 'k')",
                                         "mutate()",
                                         "eval('''x''')",
                                         "boom(1)",
                                         "list.getval('title', 1)",
                                         "twice(a)",
                                         "TWICE(2, 3)",
                                         "twice('abc')",
                                         "twice(n)",
                                         "join(a, , b)",
                                         "a f() c",
                                         "a f(1) c",
                                         "a (b) c",
                                         "((1))",
                                         "(((s)))",
                                         "f(g(1, 2), 3)",
                                         "eval('eval(''a * 2'')')",
                                         "'q'(1)",
                                         "1(2)",
                                         "f((1, 2))",
                                         "(a)(b)"};
        return pick(fragments);
    }

    // One or two small edits that unbalance quotes and parentheses or cut the text short.
    QString mutated(QString text)
    {
        for (int edits = 1 + below(2); edits > 0 && !text.isEmpty(); --edits) {
            const int at = below(int(text.size()) + 1);
            const int roll = below(4);
            if (roll == 0 && at < text.size()) {
                text.remove(at, 1);
            } else if (roll == 1) {
                const char* const inserted[] = {"(", ")", "'", ",", " ", "  ", "\t"};
                text.insert(at, pick(inserted));
            } else if (roll == 2) {
                text.truncate(at);
            } else if (at < text.size()) {
                text[at] = text[at].toUpper();
            }
        }
        return text;
    }

    static constexpr const char* const Constants[] = {
        "true", "yes", "false", "no", "empty", "null", "True", "YES", "False", "No", "Empty", "NULL"};
    static constexpr const char* const FunctionNames[] = {"twice",
                                                          "TWICE",
                                                          "Count",
                                                          "count",
                                                          "first",
                                                          "join",
                                                          "eval",
                                                          "mutate",
                                                          "boom",
                                                          "f",
                                                          "g",
                                                          "F",
                                                          "x.y",
                                                          "list.getval",
                                                          "1",
                                                          "'q'"};

    std::mt19937 m_random;
    // A tidy text has spaces where they belong and operators that are in the table, so that
    // more of its operators are applied; its operands are as odd as in any other text.
    bool m_tidy = false;
};

quint32 seedFromEnvironment()
{
    bool ok = false;
    const uint seed = qEnvironmentVariable("REELKEEP_REFERENCE_SEED").toUInt(&ok);
    return ok ? seed : 20261207u;
}

int textCountFromEnvironment()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("REELKEEP_REFERENCE_TEXTS", &ok);
    return ok ? count : 30000;
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
    void randomTexts();
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

void TestEvaluatorAgainstReference::randomTexts()
{
    const quint32 seed = seedFromEnvironment();
    const int count = textCountFromEnvironment();
    // Printed first, so that a run that crashes can be repeated.
    qInfo("%d random texts from seed %u (REELKEEP_REFERENCE_TEXTS, REELKEEP_REFERENCE_SEED)", count, seed);
    TextMaker maker(seed);
    std::vector<std::unique_ptr<Contestants>> everyone;
    for (const Setup setup : AllSetups)
        everyone.push_back(std::make_unique<Contestants>(setup));
    // Reported together so that one run shows several distinct texts.
    constexpr qsizetype MaxReported = 5;
    QStringList found;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count && found.size() < MaxReported; ++i) {
        const QString text = maker.text();
        for (const auto& contestants : everyone) {
            const QString difference = differences(*contestants, text);
            if (!difference.isEmpty()) {
                found.append(QStringLiteral("#%1 %2").arg(i).arg(difference));
                break;
            }
        }
    }
    qInfo("compared in %lld ms", timer.elapsed());
    QVERIFY2(
        found.isEmpty(),
        qPrintable(QStringLiteral("seed %1 (REELKEEP_REFERENCE_SEED):\n").arg(seed) + found.join(u'\n')));
    // The numbering host must have been asked by number, or it compared nothing of its own.
    int numbered = 0;
    for (const auto& contestants : everyone)
        numbered += contestants->realSide.numberedQuestions();
    QVERIFY(numbered > 0);
}

QTEST_GUILESS_MAIN(TestEvaluatorAgainstReference)
#include "TestEvaluatorAgainstReference.moc"
