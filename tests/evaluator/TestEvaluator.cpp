// The evaluator: scanning, operands, the reduction by precedence rows, and its host and library.
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "evaluator/RecordingHost.h"

#include <QTest>

using namespace reelkeep;

namespace {

void addCase(const char* rule, const QString& expression, const char* printed)
{
    QTest::newRow(rule) << expression << QString::fromUtf8(printed);
}

} // namespace

class TestEvaluator : public QObject
{
    Q_OBJECT

private slots:
    void expressions_data();
    void expressions();
    void hostAnswers_data();
    void hostAnswers();
    void operandsAreMadeInWrittenOrder();
    void lengthLimit_data();
    void lengthLimit();
    void nestingLimit_data();
    void nestingLimit();
    void reentrantNestingLimit();
    void operatorTableRows();
};

void TestEvaluator::expressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed"); // the line reelkeep-cli eval prints

    // Tokens and spaces.
    addCase("spaces alone are Empty", "   ", "Empty: ");
    addCase("operators stand between spaces", "1 + 2 * 3", "Double: 7");
    addCase("the sign belongs to the number", "-2 ^ 2", "Double: 4");
    // Text literals.
    addCase("a literal keeps its spaces", "'a b'", "String: a b");
    addCase("two quotes are the empty text", "''", "String: ");
    addCase("parentheses inside quotes are text", "'(a, b)'", "String: (a, b)");
    // Numbers.
    addCase("numbers are Doubles read by Val", "12abc", "Double: 12");
    // Constants match only in lower case.
    addCase("true", "true", "Boolean: True");
    addCase("null", "null", "Null: ");
    addCase("True is a variable", "True", "Empty: ");
    // Groups.
    addCase("a group binds first", "(1 + 2) * 2", "Double: 6");
    addCase("a group of an Error raises 13", "(1 / 0)", "raised 13");
    addCase("an empty group is Empty", "()", "Empty: ");
    // Malformed texts.
    addCase("a number where an operator belongs stays unapplied", "1 2", "Double: 1");
    addCase("operands that cannot be joined are Empty", "1 x 2", "Empty: ");
    addCase("a function name and a space is a variable", "f (1)", "Empty: ");
    addCase("an operator before a group reads nothing", "1 +(2)", "raised 9");
    // Precedence rows and associativity.
    addCase("power binds tighter than times", "2 * 3 ^ 2", "Double: 18");
    addCase("a row applies left to right", "8 / 2 * 2", "Double: 8");
    addCase("plus and minus left to right", "7 - 2 + 1", "Double: 6");
    addCase("the worked example", "1 + 2 * 3 - 4 / 2", "Double: 5");
    addCase("integer division", "7 \\ 2", "Long: 3");
    addCase("mod", "7 mod 2", "Long: 1");
    addCase("plus before concatenation", "1 + 2 & 3", "String: 33");
    addCase("concatenation after plus", "'a' & 1 + 1", "String: a2");
    addCase("comparisons left to right", "1 < 2 = true", "Boolean: True");
    addCase("and after comparisons", "1 = 1 and 2 = 2", "Boolean: True");
    addCase("like is case-sensitive", "'ABC' like 'a*'", "Boolean: False");
    addCase("not takes the left operand only", "5 not 0", "Long: -6");
    addCase("true and a number is the number", "true and 5", "Long: 5");
    addCase("division gives a Double", "2 / 4", "Double: 0.5");
    // Failing operators give Error Values; only a missing operand raises.
    addCase("division by zero is a value", "1 / 0", "Error: Error 11");
    addCase("type mismatch is a value", "'x' * 2", "Error: Error 13");
    addCase("is without objects is a value", "1 is 1", "Error: Error 424");
}

void TestEvaluator::expressions()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    Equation_Evaluater evaluator;
    QCOMPARE(evaluateToLine(evaluator, expression), printed);
}

void TestEvaluator::hostAnswers_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("a dotted name is one variable") << "list.title"
                                                   << "String: Alien" << QStringList{"var list.title"};
    QTest::newRow("constants never reach the host") << "true and null"
                                                    << "Null: " << QStringList{};
    QTest::newRow("arguments are evaluated before the call")
        << "f(1, g(2, 3))"
        << "Empty: "
        << QStringList{"fn g(Double: 2, Double: 3) given Empty: ", "fn f(Double: 1, Empty: ) given Empty: "};
    QTest::newRow("two spaces before an operator are one")
        << "f(1)  + 2"
        << "Double: 2" << QStringList{"fn f(Double: 1) given Empty: "};
    QTest::newRow("the worked example")
        << "left(list.title, 3) & '...'"
        << "String: ..." << QStringList{"var list.title", "fn left(String: Alien, Double: 3) given Empty: "};
    QTest::newRow("operands are asked even when an operator fails")
        << "'x' * a + b"
        << "Error: Error 13" << QStringList{"var a", "var b"};
    QTest::newRow("a variable holding an expression") << "(formula)"
                                                      << "Double: 2" << QStringList{"var formula"};
}

void TestEvaluator::hostAnswers()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    QFETCH(QStringList, asked);
    RecordingHost host;
    host.variables.insert(QStringLiteral("list.title"), Value::makeString(QStringLiteral("Alien")));
    host.variables.insert(QStringLiteral("formula"), Value::makeString(QStringLiteral("1 + 1")));
    Equation_Evaluater evaluator(nullptr, &host);
    QCOMPARE(evaluateToLine(evaluator, expression), printed);
    QCOMPARE(host.asked, asked);
}

void TestEvaluator::operandsAreMadeInWrittenOrder()
{
    RecordingHost host;
    Equation_Evaluater evaluator(nullptr, &host);
    QCOMPARE(evaluateToLine(evaluator, QStringLiteral("a + b * c(d) ^ e")), QStringLiteral("Double: 0"));
    QCOMPARE(host.asked, (QStringList{"var a", "var b", "var d", "fn c(Empty: ) given Empty: ", "var e"}));
}

void TestEvaluator::lengthLimit_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("printed");
    QTest::newRow("32,765 characters are evaluated") << 32765 << "Double: 1";
    QTest::newRow("32,766 characters overflow") << 32766 << "raised 6";
}

void TestEvaluator::lengthLimit()
{
    QFETCH(int, length);
    QFETCH(QString, printed);
    Equation_Evaluater evaluator;
    // A number, then a run of spaces and a trailing unknown operator to reach the length;
    // surrounding spaces are trimmed before counting.
    const QString text = QStringLiteral("  1") + QString(length - 2, u' ') + QStringLiteral("x  ");
    QCOMPARE(evaluateToLine(evaluator, text), printed);
}

void TestEvaluator::nestingLimit_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<QString>("printed");
    QTest::newRow("999 nested groups") << 999 << "Double: 7";
    QTest::newRow("1,000 nested groups run out of stack space") << 1000 << "raised 28";
    QTest::newRow("10,000 nested calls run out of stack space") << 10000 << "raised 28";
}

void TestEvaluator::nestingLimit()
{
    QFETCH(int, depth);
    QFETCH(QString, printed);
    Equation_Evaluater evaluator;
    const QString text = QString(depth, u'(') + QStringLiteral("7") + QString(depth, u')');
    QCOMPARE(evaluateToLine(evaluator, text), printed);
    QCOMPARE(evaluateToLine(evaluator, QStringLiteral("(1)")), QStringLiteral("Double: 1"));
}

void TestEvaluator::reentrantNestingLimit()
{
    RecordingHost host;
    Equation_Evaluater evaluator(nullptr, &host);
    int calls = 0;
    host.functions.insert(QStringLiteral("again"), [&](ArgumentList&, const Value&) {
        ++calls;
        return evaluator.Evaluate_Equation(QStringLiteral("again(1)"));
    });
    QCOMPARE(evaluateToLine(evaluator, QStringLiteral("again(1)")), QStringLiteral("raised 28"));
    QVERIFY(calls > 400 && calls < 1000);
    QCOMPARE(evaluateToLine(evaluator, QStringLiteral("1 + 1")), QStringLiteral("Double: 2"));
}

void TestEvaluator::operatorTableRows()
{
    Equation_Evaluater evaluator;
    const OperatorTable& table = evaluator.operatorTable();
    QStringList rows;
    for (int row = 0; row < OperatorTable::Rows; ++row) {
        QStringList cells;
        for (int column = 0; column < OperatorTable::Columns; ++column)
            cells.append(table.cell(row, column).text);
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        rows.append(cells.join(u' '));
    }
    QCOMPARE(rows,
             (QStringList{"^",
                          "* /",
                          "\\",
                          "mod",
                          "+ -",
                          "&",
                          "= <> < > <= >= like is =< =>",
                          "not",
                          "and",
                          "or",
                          "xor",
                          "eqv",
                          "imp"}));
    QCOMPARE(table.find(u"LIKE").row, 6);
    QCOMPARE(table.find(u"li\u212Ae").row, 6); // a Kelvin sign lowers to k
    QCOMPARE(table.find(u"").row, OperatorPlace::NoRow);
    QCOMPARE(table.find(u"x").row, OperatorPlace::NoRow);
}

QTEST_GUILESS_MAIN(TestEvaluator)
#include "TestEvaluator.moc"
