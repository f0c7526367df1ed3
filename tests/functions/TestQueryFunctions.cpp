// The inspection functions, the choice and error functions, and the conversions reached through
// the library.
#include "FunctionCall.h"

#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestQueryFunctions : public QObject
{
    Q_OBJECT

private slots:
    void inspection_data();
    void inspection() { checkCall(); }
    void kinds_data();
    void kinds();
    void choice_data();
    void choice() { checkCall(); }
    void conversion_data();
    void conversion() { checkCall(); }
};

void TestQueryFunctions::inspection_data()
{
    addCallColumns();
    addCall("isnumeric of a Double", "isnumeric", {"Double 1"}, "Boolean: True");
    addCall("isnumeric of a Currency", "isnumeric", {"Currency 1.5"}, "Boolean: True");
    addCall("isnumeric of a Boolean", "isnumeric", {"Boolean False"}, "Boolean: True");
    addCall("isnumeric of Empty", "isnumeric", {"Empty"}, "Boolean: True");
    addCall("isnumeric of money text", "isnumeric", {"String $1,000"}, "Boolean: True");
    addCall("isnumeric of a number followed by letters", "isnumeric", {"String 12abc"}, "Boolean: False");
    addCall("isnumeric of a Date", "isnumeric", {"Date 43832"}, "Boolean: False");
    addCall("isnumeric of Null", "isnumeric", {"Null"}, "Boolean: False");
    addCall("isnumeric of an Error Value", "isnumeric", {"Error 5"}, "Boolean: False");
    addCall("isnumeric of an object reads its default value", "isnumeric", {"Object 5"}, "Boolean: True");
    addCall("isdate of a date text", "isdate", {"String 1/2/2020"}, "Boolean: True");
    addCall("isdate of a Date", "isdate", {"Date 43832"}, "Boolean: True");
    addCall("isdate of numeric text", "isdate", {"String 1"}, "Boolean: False");
    addCall("isdate of a time written with points", "isdate", {"String 04.28.14"}, "Boolean: True");
    addCall("isdate of a number", "isdate", {"Double 43832"}, "Boolean: False");
    addCall("isdate of Nothing", "isdate", {"Nothing"}, "Boolean: False");
    addCall("isnumeric of Nothing", "isnumeric", {"Nothing"}, "Boolean: False");
    addCall("isdate of Null", "isdate", {"Null"}, "Boolean: False");
    addCall("isempty of Empty", "isempty", {"Empty"}, "Boolean: True");
    addCall("isempty of the empty text", "isempty", {"String "}, "Boolean: False");
    addCall("isnull of Null", "isnull", {"Null"}, "Boolean: True");
    addCall("isnull of Empty", "isnull", {"Empty"}, "Boolean: False");
    addCall("iserror of an Error Value", "iserror", {"Error 5"}, "Boolean: True");
    addCall("iserror of a number", "iserror", {"Double 5"}, "Boolean: False");
    addCall("isarray of a text", "isarray", {"String a"}, "Boolean: False");
    addCall("ismissing of Empty", "ismissing", {"Empty"}, "Boolean: False");
    addCall("isobject of an object", "isobject", {"Object 5"}, "Boolean: True");
    addCall("isobject of Nothing", "isobject", {"Nothing"}, "Boolean: True");
    addCall("isobject of a number", "isobject", {"Double 5"}, "Boolean: False");
}

void TestQueryFunctions::kinds_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QString>("varType");
    // ORDER Kind
    QTest::newRow("Empty") << u"Empty"_s << u"String: Empty"_s << u"Long: 0"_s;
    QTest::newRow("Null") << u"Null"_s << u"String: Null"_s << u"Long: 1"_s;
    QTest::newRow("Integer") << u"Integer 1"_s << u"String: Integer"_s << u"Long: 2"_s;
    QTest::newRow("Long") << u"Long 1"_s << u"String: Long"_s << u"Long: 3"_s;
    QTest::newRow("Single") << u"Single 1"_s << u"String: Single"_s << u"Long: 4"_s;
    QTest::newRow("Double") << u"Double 1"_s << u"String: Double"_s << u"Long: 5"_s;
    QTest::newRow("Currency") << u"Currency 1"_s << u"String: Currency"_s << u"Long: 6"_s;
    QTest::newRow("Date") << u"Date 1"_s << u"String: Date"_s << u"Long: 7"_s;
    QTest::newRow("String") << u"String a"_s << u"String: String"_s << u"Long: 8"_s;
    QTest::newRow("an object with a Double default value")
        << u"Object 5"_s << u"String: Fixed"_s << u"Long: 5"_s;
    QTest::newRow("Nothing") << u"Nothing"_s << u"String: Nothing"_s << u"Long: 9"_s;
    QTest::newRow("Error") << u"Error 5"_s << u"String: Error"_s << u"Long: 10"_s;
    QTest::newRow("Boolean") << u"Boolean True"_s << u"String: Boolean"_s << u"Long: 11"_s;
    QTest::newRow("Decimal") << u"Decimal 1"_s << u"String: Decimal"_s << u"Long: 14"_s;
    QTest::newRow("Byte") << u"Byte 1"_s << u"String: Byte"_s << u"Long: 17"_s;
}

void TestQueryFunctions::kinds()
{
    QFETCH(QString, value);
    QFETCH(QString, typeName);
    QFETCH(QString, varType);
    Defalt_Functions library(fixedNow);
    QCOMPARE(callOutcome(library, QStringLiteral("typename"), {value}), typeName);
    QCOMPARE(callOutcome(library, QStringLiteral("vartype"), {value}), varType);
}

void TestQueryFunctions::choice_data()
{
    addCallColumns();
    addCall("if True: second", "if", {"Boolean True", "String a", "String b"}, "String: a");
    addCall("if False: third", "if", {"Boolean False", "String a", "String b"}, "String: b");
    addCall("if False with two arguments is Empty", "if", {"Boolean False", "String a"}, "Empty: ");
    addCall("if Null counts as False", "if", {"Null", "String a", "String b"}, "String: b");
    addCall("if a non-zero number is True", "if", {"Double 0.5", "String a", "String b"}, "String: a");
    addCall("if reads numeric text", "if", {"String 0", "String a", "String b"}, "String: b");
    addCall("if of text raises 13", "if", {"String maybe", "String a", "String b"}, "raised 13");
    addCall("if of Error raises 13", "if", {"Error 5", "String a", "String b"}, "raised 13");
    addCall("if returns the chosen Value unchanged", "if", {"Boolean True", "Null", "String b"}, "Null: ");
    addCall("iif True", "iif", {"Boolean True", "Double 1", "Double 2"}, "Double: 1");
    addCall("iif Null chooses the false part", "iif", {"Null", "Double 1", "Double 2"}, "Double: 2");
    addCall("iif of text raises 13", "iif", {"String abc", "Double 1", "Double 2"}, "raised 13");
    addCall("cvar of Null is Null", "cvar", {"Null"}, "Null: ");
    addCall("cvar keeps an Error Value", "cvar", {"Error 5"}, "Error: Error 5");
    addCall("cverr of a number", "cverr", {"Double 13"}, "Error: Error 13");
    addCall("cverr of numeric text", "cverr", {"String 2000"}, "Error: Error 2000");
    addCall("error of 13", "error", {"Double 13"}, "String: Type mismatch");
    addCall("error of 450",
            "error",
            {"Double 450"},
            "String: Wrong number of arguments or invalid property assignment");
    addCall("error of 94", "error", {"Double 94"}, "String: Invalid use of Null");
    addCall("error of 0 is empty", "error", {"Double 0"}, "String: ");
    addCall("error of 1234", "error", {"Double 1234"}, "String: Application-defined or object-defined error");
    addCall("error of 65536 is an invalid call", "error", {"Double 65536"}, "raised 5");
    addCall("error of Null raises 94", "error", {"Null"}, "raised 94");
}

void TestQueryFunctions::conversion_data()
{
    addCallColumns();
    addCall("cint rounds half to even", "cint", {"String 2.5"}, "Integer: 2");
    addCall("clng of a Date", "clng", {"Date 36526.75"}, "Long: 36527");
    addCall("cbyte beyond 255 overflows", "cbyte", {"Double 256"}, "raised 6");
    addCall("cbool of Null raises 94", "cbool", {"Null"}, "raised 94");
    addCall("cdate of a date text", "cdate", {"String 1/2/2020"}, "Date: 1/2/2020");
    addCall("cdbl of an Error Value is its number", "cdbl", {"Error 5"}, "Double: 5");
    addCall("cstr of an Error Value", "cstr", {"Error 13"}, "String: Error 13");
    addCall("ccur rounds to four decimals", "ccur", {"Double 1086.429176"}, "Currency: 1086.4292");
    addCall("cdec of a Double", "cdec", {"Double 0.1"}, "Decimal: 0.1");
    addCall("csng of a Double", "csng", {"Double 1.5"}, "Single: 1.5");
}

QTEST_GUILESS_MAIN(TestQueryFunctions)
#include "TestQueryFunctions.moc"
