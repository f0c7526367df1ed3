// StrComp in binary and text mode, and Like patterns.
#include "ValueNotation.h"
#include "evaluator/value/Compare.h"
#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/TextCase.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void strComp_data();
    void strComp();
    void strCompOfValues();
    void compareModes();
    void like_data();
    void like();
    void textCase_data();
    void textCase();
};

void TestCompare::strComp_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<int>("binary");
    QTest::addColumn<int>("text");
    QTest::newRow("small a against capital B") << "a"
                                               << "B" << 1 << -1;
    QTest::newRow("case differs only") << "abc"
                                       << "ABC" << 1 << 0;
    QTest::newRow("equal texts") << "a"
                                 << "a" << 0 << 0;
    QTest::newRow("prefix sorts first") << "ab"
                                        << "abc" << -1 << -1;
    QTest::newRow("accented letter sorts with its base letter") << "\u00e4"
                                                                << "b" << 1 << -1;
    QTest::newRow("empty against text") << ""
                                        << "a" << -1 << -1;
}

void TestCompare::strComp()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(int, binary);
    QFETCH(int, text);
    QCOMPARE(compareStrings(left, right, CompareMode::Binary), binary);
    QCOMPARE(compareStrings(left, right, CompareMode::Text), text);
    QCOMPARE(compareStrings(right, left, CompareMode::Binary), -binary);
}

void TestCompare::strCompOfValues()
{
    QCOMPARE(outcome([] {
                 return reelkeep::strComp(
                     Value::makeNull(), Value::makeString(QStringLiteral("a")), CompareMode::Binary);
             }),
             QStringLiteral("Null: "));
    QCOMPARE(
        outcome([] { return reelkeep::strComp(Value(), Value::makeString(QString()), CompareMode::Binary); }),
        QStringLiteral("Integer: 0"));
    QCOMPARE(outcome([] {
                 return reelkeep::strComp(
                     Value::makeDouble(10), Value::makeString(QStringLiteral("9")), CompareMode::Binary);
             }),
             QStringLiteral("Integer: -1"));
    QCOMPARE(outcome([] { return reelkeep::strComp(Value::makeError(5), Value(), CompareMode::Binary); }),
             QStringLiteral("raised 13"));
}

void TestCompare::compareModes()
{
    QCOMPARE(compareModeOf(-1), CompareMode::Binary);
    QCOMPARE(compareModeOf(0), CompareMode::Binary);
    QCOMPARE(compareModeOf(1), CompareMode::Text);
    QCOMPARE(outcome([] { return Value::makeLong(int(compareModeOf(3))); }), QStringLiteral("raised 5"));
}

void TestCompare::like_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("star then literal") << "abc"
                                       << "a*"
                                       << "True";
    QTest::newRow("case-sensitive") << "ABC"
                                    << "a*"
                                    << "False";
    QTest::newRow("question mark is one character") << "abc"
                                                    << "a?c"
                                                    << "True";
    QTest::newRow("question mark needs a character") << "ac"
                                                     << "a?c"
                                                     << "False";
    QTest::newRow("hash is one digit") << "a1b"
                                       << "a#b"
                                       << "True";
    QTest::newRow("hash refuses a letter") << "axb"
                                           << "a#b"
                                           << "False";
    QTest::newRow("star backtracks") << "abcabd"
                                     << "*abd"
                                     << "True";
    QTest::newRow("two stars") << "aXbYc"
                               << "a*b*c"
                               << "True";
    QTest::newRow("whole text must match") << "abcd"
                                           << "abc"
                                           << "False";
    QTest::newRow("range") << "m"
                           << "[a-z]"
                           << "True";
    QTest::newRow("negated range") << "aBa"
                                   << "a[!a-z]a"
                                   << "True";
    QTest::newRow("negated range refuses") << "aba"
                                           << "a[!a-z]a"
                                           << "False";
    QTest::newRow("list of characters") << "b"
                                        << "[abc]"
                                        << "True";
    QTest::newRow("star is literal in a list") << "*"
                                               << "[*]"
                                               << "True";
    QTest::newRow("bracket is literal in a list") << "["
                                                  << "[[]"
                                                  << "True";
    QTest::newRow("question mark is literal in a list") << "a"
                                                        << "[?]"
                                                        << "False";
    QTest::newRow("hyphen first is literal") << "-"
                                             << "[-a]"
                                             << "True";
    QTest::newRow("hyphen last is literal") << "-"
                                            << "[a-]"
                                            << "True";
    QTest::newRow("empty list matches nothing") << "x"
                                                << "[]x"
                                                << "True";
    QTest::newRow("closing bracket outside a list is literal") << "a]"
                                                               << "a]"
                                                               << "True";
    QTest::newRow("exclamation outside a list is literal") << "!"
                                                           << "!"
                                                           << "True";
    QTest::newRow("empty text and star") << ""
                                         << "*"
                                         << "True";
    QTest::newRow("empty text and empty pattern") << ""
                                                  << ""
                                                  << "True";
    QTest::newRow("empty text and question mark") << ""
                                                  << "?"
                                                  << "False";
    QTest::newRow("reversed range raises 93") << "a"
                                              << "[z-a]"
                                              << "raised 93";
    QTest::newRow("missing bracket raises 93") << "a"
                                               << "[a-b"
                                               << "raised 93";
}

void TestCompare::like()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QString result;
    try {
        result = reelkeep::like(text, pattern) ? QStringLiteral("True") : QStringLiteral("False");
    } catch (const RuntimeError& error) {
        result = QStringLiteral("raised ") + QString::number(error.number());
    }
    QCOMPARE(result, expected);
}

void TestCompare::textCase_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::newRow("letters change case") << "String AbC"
                                         << "String: abc"
                                         << "String: ABC";
    QTest::newRow("Latin-1 letters change case") << "String \u00c4\u00f6"
                                                 << "String: \u00e4\u00f6"
                                                 << "String: \u00c4\u00d6";
    QTest::newRow("Null stays Null") << "Null"
                                     << "Null: "
                                     << "Null: ";
    QTest::newRow("Empty becomes empty text") << "Empty"
                                              << "String: "
                                              << "String: ";
    QTest::newRow("Boolean becomes its text") << "Boolean True"
                                              << "String: true"
                                              << "String: TRUE";
    QTest::newRow("number becomes its text") << "Double 1e20"
                                             << "String: 1e+20"
                                             << "String: 1E+20";
    QTest::newRow("Error Value raises 13") << "Error 5"
                                           << "raised 13"
                                           << "raised 13";
}

void TestCompare::textCase()
{
    QFETCH(QString, source);
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QCOMPARE(outcome([&] { return lcase(valueOf(source)); }), lower);
    QCOMPARE(outcome([&] { return ucase(valueOf(source)); }), upper);
}

QTEST_GUILESS_MAIN(TestCompare)
#include "TestCompare.moc"
