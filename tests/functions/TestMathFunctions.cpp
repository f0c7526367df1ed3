// The arithmetic functions: kinds kept or chosen, their errors, and Rnd's sequence.
#include "FunctionCall.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;

class TestMathFunctions : public QObject
{
    Q_OBJECT

private slots:
    void kindsAndValues_data();
    void kindsAndValues() { checkCall(); }
    void rndSequence_data();
    void rndSequence();
    void rndStaysInRange();
};

void TestMathFunctions::kindsAndValues_data()
{
    addCallColumns();
    // Abs keeps the kind, moving the one magnitude a kind cannot hold up a kind.
    addCall("abs of a Double", "abs", {"Double -2.5"}, "Double: 2.5");
    addCall("abs keeps an Integer", "abs", {"Integer -7"}, "Integer: 7");
    addCall("abs of the smallest Integer is a Long", "abs", {"Integer -32768"}, "Long: 32768");
    addCall("abs of the smallest Long is a Double", "abs", {"Long -2147483648"}, "Double: 2147483648");
    addCall("abs keeps a Single", "abs", {"Single -1.5"}, "Single: 1.5");
    addCall("abs keeps a Currency", "abs", {"Currency -1.5"}, "Currency: 1.5");
    addCall("abs keeps a Decimal", "abs", {"Decimal -0.1"}, "Decimal: 0.1");
    addCall("abs keeps a Byte", "abs", {"Byte 200"}, "Byte: 200");
    addCall("abs of a Date is a Date", "abs", {"Date -1.25"}, "Date: 12/31/1899 6:00:00 AM");
    addCall("abs of True is the Integer 1", "abs", {"Boolean True"}, "Integer: 1");
    addCall("abs of Empty is the Integer 0", "abs", {"Empty"}, "Integer: 0");
    addCall("abs of numeric text is a Double", "abs", {"String -3"}, "Double: 3");
    // Int rounds down, Fix toward zero, both in the argument's kind.
    addCall("int of a negative Double rounds down", "int", {"Double -8.4"}, "Double: -9");
    addCall("fix of a negative Double truncates", "fix", {"Double -8.4"}, "Double: -8");
    addCall("int keeps a Single", "int", {"Single -8.5"}, "Single: -9");
    addCall("fix keeps a Single", "fix", {"Single -8.5"}, "Single: -8");
    addCall("int of a Currency", "int", {"Currency -8.4"}, "Currency: -9");
    addCall("fix of a Currency", "fix", {"Currency -8.4"}, "Currency: -8");
    addCall("int of a Decimal", "int", {"Decimal -8.4"}, "Decimal: -9");
    addCall("fix of a Decimal", "fix", {"Decimal -8.4"}, "Decimal: -8");
    addCall("fix of a small negative Decimal is zero", "fix", {"Decimal -0.5"}, "Decimal: 0");
    addCall("int of a whole Decimal is itself", "int", {"Decimal -8"}, "Decimal: -8");
    addCall("int of a Date drops the time", "int", {"Date 43832.75"}, "Date: 1/2/2020");
    addCall("int keeps an Integer", "int", {"Integer -7"}, "Integer: -7");
    addCall("int of True is the Integer -1", "int", {"Boolean True"}, "Integer: -1");
    addCall("int of numeric text is a Double", "int", {"String -1.5"}, "Double: -2");
    addCall("int of Null is Null", "int", {"Null"}, "Null: ");
    addCall("fix of Empty is the Integer 0", "fix", {"Empty"}, "Integer: 0");
    addCall("fix of Currency min", "fix", {"Currency -922337203685477.5808"}, "Currency: -922337203685477");
    // The numeric functions that coerce to Double.
    addCall("sgn of a negative number", "sgn", {"Double -2.5"}, "Integer: -1");
    addCall("sgn of zero", "sgn", {"Double 0"}, "Integer: 0");
    addCall("sgn of numeric text", "sgn", {"String 3"}, "Integer: 1");
    addCall("atn of 1 is a quarter of pi", "atn", {"Double 1"}, "Double: 0.785398163397448");
    addCall("cos of 0", "cos", {"Integer 0"}, "Double: 1");
    addCall("exp of 1", "exp", {"Double 1"}, "Double: 2.71828182845905");
    addCall("log of 1", "log", {"Double 1"}, "Double: 0");
    addCall("sqr of 16", "sqr", {"Long 16"}, "Double: 4");
    // Errors.
    addCall("log of 0 is an invalid call", "log", {"Double 0"}, "raised 5");
    addCall("log of a negative number is an invalid call", "log", {"Double -1"}, "raised 5");
    addCall("sqr of a negative number is an invalid call", "sqr", {"Double -1"}, "raised 5");
    addCall("exp beyond the Double range overflows", "exp", {"Double 710"}, "raised 6");
    addCall("abs of the smallest Currency overflows", "abs", {"Currency -922337203685477.5808"}, "raised 6");
    addCall("int of the smallest Currency overflows", "int", {"Currency -922337203685477.5808"}, "raised 6");
    addCall("abs of an Error Value is a type mismatch", "abs", {"Error 5"}, "raised 13");
    addCall("int of non-numeric text is a type mismatch", "int", {"String abc"}, "raised 13");
    addCall("rnd of Null raises 94", "rnd", {"Null"}, "raised 94");
    addCall("rnd of text raises 13", "rnd", {"String x"}, "raised 13");
}

// Each row's calls go to a library of its own, whose sequence starts afresh.
void TestMathFunctions::rndSequence_data()
{
    QTest::addColumn<QList<QStringList>>("calls"); // the arguments of each call in turn
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the first numbers of the standard sequence")
        << QList<QStringList>{{}, {}, {}}
        << QStringList{"Single: 0.7055475", "Single: 0.533424", "Single: 0.5795186"};
    QTest::newRow("a positive argument gives the next number")
        << QList<QStringList>{{"Double 5"}, {"Double 0.5"}}
        << QStringList{"Single: 0.7055475", "Single: 0.533424"};
    QTest::newRow("zero repeats the last number")
        << QList<QStringList>{{}, {"Double 0"}, {"Double 0"}, {}}
        << QStringList{"Single: 0.7055475", "Single: 0.7055475", "Single: 0.7055475", "Single: 0.533424"};
    QTest::newRow("zero before any number gives the start state")
        << QList<QStringList>{{"Double 0"}, {}} << QStringList{"Single: 0.01953125", "Single: 0.7055475"};
    QTest::newRow("minus one seeds the sequence")
        << QList<QStringList>{{"Double -1"}, {}, {"Double -1"}}
        << QStringList{"Single: 0.224007", "Single: 0.03584582", "Single: 0.224007"};
    QTest::newRow("another negative seed gives another sequence")
        << QList<QStringList>{{"Double -2.5"}, {}} << QStringList{"Single: 0.3383257", "Single: 0.7874333"};
    QTest::newRow("Empty counts as zero")
        << QList<QStringList>{{}, {"Empty"}} << QStringList{"Single: 0.7055475", "Single: 0.7055475"};
}

void TestMathFunctions::rndSequence()
{
    QFETCH(QList<QStringList>, calls);
    QFETCH(QStringList, expected);
    Defalt_Functions library(fixedNow);
    QStringList results;
    for (const QStringList& arguments : calls)
        results << callOutcome(library, QStringLiteral("rnd"), arguments);
    QCOMPARE(results, expected);
}

void TestMathFunctions::rndStaysInRange()
{
    // The generator has 2^24 states; a long run must stay within [0, 1) and be a Single.
    Defalt_Functions library(fixedNow);
    bool found = false;
    for (int i = 0; i < 100000; ++i) {
        const Value number = library.Solve_Function(QStringLiteral("rnd"), ArgumentList{}, found);
        QCOMPARE(number.kind(), Kind::Single);
        QVERIFY(number.asSingle() >= 0.0f && number.asSingle() < 1.0f);
    }
}

QTEST_GUILESS_MAIN(TestMathFunctions)
#include "TestMathFunctions.moc"
