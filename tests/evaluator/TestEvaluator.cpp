// The evaluator: the results it shares with the reference evaluator, its limits of length and nesting.
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"

#include <QTest>

using namespace reelkeep;

namespace {

void addCase(const char* rule, const QString& expression, const char* printed)
{
    QTest::newRow(rule) << expression << QString::fromUtf8(printed);
}

// A number, then a run of spaces and a trailing unknown operator to reach the length; the
// surrounding spaces are trimmed before counting.
QString ofLength(int length)
{
    return QStringLiteral("  1") + QString(length - 2, u' ') + QStringLiteral("x  ");
}

QString nested(int depth)
{
    return QString(depth, u'(') + QStringLiteral("7") + QString(depth, u')');
}

} // namespace

class TestEvaluator : public QObject
{
    Q_OBJECT

private slots:
    void expressions_data();
    void expressions();
};

void TestEvaluator::expressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("printed"); // the line reelkeep-cli eval prints

    // The scan, the rows and the questions to the host are compared with the reference evaluator
    // by fuzz/FuzzEvaluateEquation over its corpus; these rows pin what both share.
    addCase("the worked example", "1 + 2 * 3 - 4 / 2", "Double: 5");
    // Failing operators give Error Values; only a missing operand raises.
    addCase("division by zero is a value", "1 / 0", "Error: Error 11");
    addCase("type mismatch is a value", "'x' * 2", "Error: Error 13");
    addCase("is without objects is a value", "1 is 1", "Error: Error 424");
    // The limits of length and nesting.
    addCase("32,765 characters are evaluated", ofLength(32765), "Double: 1");
    addCase("32,766 characters overflow", ofLength(32766), "raised 6");
    addCase("999 nested groups", nested(999), "Double: 7");
    addCase("1,000 nested groups run out of stack space", nested(1000), "raised 28");
    addCase("10,000 nested groups run out of stack space", nested(10000), "raised 28");
}

void TestEvaluator::expressions()
{
    QFETCH(QString, expression);
    QFETCH(QString, printed);
    Equation_Evaluater evaluator;
    QCOMPARE(evaluateToLine(evaluator, expression), printed);
    // Nothing of the evaluation stays behind to change the next one.
    QCOMPARE(evaluateToLine(evaluator, QStringLiteral("(1)")), QStringLiteral("Double: 1"));
}

QTEST_GUILESS_MAIN(TestEvaluator)
#include "TestEvaluator.moc"
