// The function table: which names the library knows, which argument counts each accepts, and how
// arguments are prepared before the call.
#include "FunctionCall.h"

#include <QTest>

#include <algorithm>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestDispatch : public QObject
{
    Q_OBJECT

private slots:
    void argumentCounts_data();
    void argumentCounts();
    void knowsExactlyTheTableNames();
    void nameLookup_data();
    void nameLookup();
    void preparation_data();
    void preparation() { checkCall(); }
};

namespace {

// The accepted argument counts of every name, written down independently of the library: most
// names take exactly one argument, the others are listed with their counts.
const QStringList TakeOneArgument{
    "abs",      "asc",   "ascb",     "ascw",      "atn",     "cbool",   "cbyte",     "ccur",   "cdate",
    "cdbl",     "cdec",  "chr",      "chrb",      "chrw",    "cint",    "clng",      "cos",    "csng",
    "cstr",     "cvar",  "cverr",    "datevalue", "day",     "error",   "exp",       "fix",    "hex",
    "hour",     "int",   "isarray",  "isdate",    "isempty", "iserror", "ismissing", "isnull", "isnumeric",
    "isobject", "lcase", "len",      "log",       "minute",  "month",   "oct",       "second", "sgn",
    "sqr",      "str",   "typename", "ucase",     "val",     "vartype", "weekday",   "year"};

// Each name followed by the counts it accepts.
const QString OtherCounts =
    QStringLiteral("date 0, datediff 3 4 5, datepart 2 3 4, dateserial 3, format 1 2 3 4, if 2 3, iif 3, "
                   "instr 2 3 4, instrrev 2 3 4, left 2, mid 2 3, now 0, replace 3 4 5 6, right 2, rnd 0 1, "
                   "strcomp 2 3, string 2, time 0");

// Every name with its counts, in alphabetical order as the library lists them.
QList<std::pair<QString, QList<int>>> acceptedCounts()
{
    QList<std::pair<QString, QList<int>>> all;
    for (const QString& row : OtherCounts.split(QStringLiteral(", "))) {
        QList<int> counts;
        const QStringList words = row.split(u' ');
        for (const QString& count : words.mid(1))
            counts.append(count.toInt());
        all.append({words.first(), counts});
    }
    for (const QString& name : TakeOneArgument)
        all.append({name, {1}});
    std::sort(all.begin(), all.end());
    return all;
}

// An argument that lets every function compute without raising, so that an accepted count shows
// as a result other than the Error Value 450: the number 1 serves all but a few positions.
QString harmlessArgument(const QString& name, int position)
{
    if ((name == u"datediff" || name == u"datepart") && position == 1)
        return QStringLiteral("String d");
    if (name == u"datevalue")
        return QStringLiteral("String 1/2/2020");
    if (name == u"format" && position == 2)
        return QStringLiteral("String 0");
    return QStringLiteral("Double 1");
}

} // namespace

void TestDispatch::argumentCounts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("accepted");
    for (const auto& [name, counts] : acceptedCounts())
        QTest::newRow(qPrintable(name)) << name << counts;
}

void TestDispatch::argumentCounts()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, accepted);
    for (int count = 0; count <= 7; ++count) {
        QStringList arguments;
        for (int position = 1; position <= count; ++position)
            arguments << harmlessArgument(name, position);
        Defalt_Functions library(fixedNow);
        bool found = false;
        const QString result = callOutcome(library, name, arguments, &found);
        QVERIFY2(found, qPrintable(name));
        if (accepted.contains(count))
            QVERIFY2(result != u"Error: Error 450" && !result.startsWith(u"raised"),
                     qPrintable(QStringLiteral("%1 with %2 arguments: %3").arg(name).arg(count).arg(result)));
        else
            QCOMPARE(result, QStringLiteral("Error: Error 450"));
    }
}

void TestDispatch::knowsExactlyTheTableNames()
{
    QStringList expected;
    for (const auto& row : acceptedCounts())
        expected << row.first;
    QCOMPARE(Defalt_Functions::functionNames(), expected);
    QCOMPARE(expected.size(), 71);
}

void TestDispatch::nameLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");
    QTest::newRow("capitals find the same function") << u"ABS"_s << true << u"Double: 2"_s;
    QTest::newRow("a blank after the name matches nothing") << u"abs "_s << false << u"Empty: "_s;
    QTest::newRow("an unknown name is left to the host") << u"absolute"_s << false << u"Empty: "_s;
}

void TestDispatch::nameLookup()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(QString, expected);
    Defalt_Functions library(fixedNow);
    bool wasFound = !found;
    QCOMPARE(callOutcome(library, name, {QStringLiteral("Double -2")}, &wasFound), expected);
    QCOMPARE(wasFound, found);
}

void TestDispatch::preparation_data()
{
    addCallColumns();
    // Null raises 94 where the table coerces, and passes through where it takes the Value as is.
    addCall("sgn coerces Null and raises 94", "sgn", {"Null"}, "raised 94");
    addCall("abs takes Null as is", "abs", {"Null"}, "Null: ");
    addCall("val coerces Null to String and raises 94", "val", {"Null"}, "raised 94");
    addCall("asc coerces Null to String and raises 94", "asc", {"Null"}, "raised 94");
    addCall("left coerces its length and raises 94", "left", {"String abc", "Null"}, "raised 94");
    addCall("left takes its text as is", "left", {"Null", "Double 1"}, "Null: ");
    addCall("instrrev coerces its texts", "instrrev", {"String abc", "Null"}, "raised 94");
    addCall("instr of three coerces the start", "instr", {"Null", "String a", "String a"}, "raised 94");
    addCall("instr with two arguments takes the texts as is", "instr", {"Null", "String a"}, "Null: ");
    addCall("string coerces its count", "string", {"Null", "String a"}, "raised 94");
    addCall("string takes its character as is", "string", {"Double 2", "Null"}, "Null: ");
    addCall("mid coerces a given length", "mid", {"String abc", "Double 1", "Null"}, "raised 94");
    addCall("weekday takes its date as is", "weekday", {"Null"}, "Null: ");
    addCall("datepart coerces the first day", "datepart", {"String d", "Double 1", "Null"}, "raised 94");
    addCall("strcomp coerces the compare mode", "strcomp", {"String a", "String b", "String x"}, "raised 13");
    addCall("dateserial coerces to Integer", "dateserial", {"Null", "Double 1", "Double 1"}, "raised 94");
    // Arguments are coerced in written order: the first that cannot be coerced gives the error.
    addCall("replace: text first", "replace", {"Null", "String a", "String b", "String x"}, "raised 94");
    addCall("instrrev: text before start", "instrrev", {"Null", "String a", "String x"}, "raised 94");
    addCall("datediff coerces the interval before the first day",
            "datediff",
            {"Null", "Double 1", "Double 2", "String x"},
            "raised 94");
    addCall("datepart: interval before day", "datepart", {"Null", "Double 1", "String x"}, "raised 94");
    addCall("dateserial: year first", "dateserial", {"String x", "Double 40000", "Double 1"}, "raised 13");
    addCall("format coerces the first day before the first week",
            "format",
            {"Double 1", "String 0", "String x", "Double 3000000000"},
            "raised 13");
    // Text where a number is wanted is a type mismatch; a number beyond the target kind overflows.
    addCall("atn of a text that is no number raises 13", "atn", {"String abc"}, "raised 13");
    addCall("left with a text length reads the number", "left", {"String abcdef", "String 2"}, "String: ab");
    addCall("chrb of 256 overflows the Byte", "chrb", {"Double 256"}, "raised 6");
    addCall("dateserial beyond Integer", "dateserial", {"Double 40000", "Double 1", "Double 1"}, "raised 6");
    addCall("a Long argument beyond the Long range overflows", "chr", {"Double 3000000000"}, "raised 6");
    addCall("an Error Value where a number is wanted raises 13", "sqr", {"Error 5"}, "raised 13");
    // A number or Date given where a text is wanted is turned into its text first.
    addCall("asc of a number reads its text", "asc", {"Double 5"}, "Integer: 53");
    addCall("instrrev of a Date reads its text", "instrrev", {"Date 43832", "Double 2020"}, "Long: 5");
    // Values given for absent arguments.
    addCall("date with an Empty argument is a wrong count", "date", {"Empty"}, "Error: Error 450");
    // Format's arguments reach the formatter prepared.
    addCall("format passes the first day", "format", {"Date 43835", "String w", "Double 2"}, "String: 7");
    addCall("format week rule is 1 Jan", "format", {"Date 44197", "String ww", "Double 2"}, "String: 1");
    addCall("format passes the week rule",
            "format",
            {"Date 44197", "String ww", "Double 2", "Double 2"},
            "String: 53");
}

QTEST_GUILESS_MAIN(TestDispatch)
#include "TestDispatch.moc"
