// Numeric Values never allocate: copying them and every operator on numbers stays off the heap.
#include "evaluator/value/Coercion.h"
#include "evaluator/value/Operators.h"
#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/TextForm.h"
#include "support/CountingAllocator.h"

#include <QTest>

#include <cstddef>

using namespace reelkeep;

class TestAllocation : public QObject
{
    Q_OBJECT

private slots:
    void numericOperationsStayOffTheHeap();
    void textOperationsAreCounted();
};

void TestAllocation::numericOperationsStayOffTheHeap()
{
    const Value numbers[] = {Value::makeByte(200),
                             Value::makeInteger(32767),
                             Value::makeLong(-5),
                             Value::makeSingle(1.5f),
                             Value::makeDouble(2.25),
                             Value::makeCurrency(Currency{15000}),
                             Value::makeDecimal(decimalFromInt(7)),
                             Value::makeDate(36526.5),
                             Value::makeBoolean(true),
                             Value()};
    using Operation = Value (*)(const Value&, const Value&);
    const Operation operations[] = {
        add, subtract, multiply, divide, integerDivide, modulo, power, equal, less, andOperator, xorOperator};
    int computed = 0;
    for (const Value& left : numbers) {
        for (const Value& right : numbers) {
            for (Operation operation : operations) {
                // A raised error allocates its exception; only results computed normally count.
                try {
                    const long before = allocationCount();
                    const Value result = operation(left, right);
                    Value copy = result;
                    const long made = allocationCount() - before;
                    if (made != 0)
                        QFAIL(qPrintable(QStringLiteral("%1 and %2 allocated %3 times")
                                             .arg(describeForCli(left), describeForCli(right))
                                             .arg(made)));
                    ++computed;
                } catch (const RuntimeError&) {
                }
            }
        }
    }
    QVERIFY(computed > 900);
}

void TestAllocation::textOperationsAreCounted()
{
    const Value left = Value::makeString(QStringLiteral("The Third "));
    const Value right = Value::makeString(QStringLiteral("Man"));
    const long before = allocationCount();
    const Value joined = concatenate(left, right);
    QVERIFY(allocationCount() - before > 0); // the counter sees Qt's allocations
    QCOMPARE(joined.asString(), QStringLiteral("The Third Man"));
}

QTEST_GUILESS_MAIN(TestAllocation)
#include "TestAllocation.moc"
