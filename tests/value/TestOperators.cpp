// Every operator on Variant operands: result kinds, promotion, Null and Empty, errors.
#include "ValueNotation.h"
#include "value/Operators.h"

#include <QTest>

#include <map>

using namespace reelkeep;
using namespace reelkeep::test;

namespace {

using BinaryOperation = Value (*)(const Value&, const Value&);

BinaryOperation operationOf(const QString& text)
{
    static const std::map<QString, BinaryOperation> operations{
        {QStringLiteral("^"), power},
        {QStringLiteral("*"), multiply},
        {QStringLiteral("/"), divide},
        {QStringLiteral("\\"), integerDivide},
        {QStringLiteral("mod"), modulo},
        {QStringLiteral("+"), add},
        {QStringLiteral("-"), subtract},
        {QStringLiteral("&"), concatenate},
        {QStringLiteral("="), equal},
        {QStringLiteral("<>"), notEqual},
        {QStringLiteral("<"), less},
        {QStringLiteral(">"), greater},
        {QStringLiteral("<="), lessOrEqual},
        {QStringLiteral(">="), greaterOrEqual},
        {QStringLiteral("like"), likeOperator},
        {QStringLiteral("is"), isOperator},
        {QStringLiteral("and"), andOperator},
        {QStringLiteral("or"), orOperator},
        {QStringLiteral("xor"), xorOperator},
        {QStringLiteral("eqv"), eqvOperator},
        {QStringLiteral("imp"), impOperator},
        {QStringLiteral("not"), [](const Value&, const Value& operand) { return notOperator(operand); }},
    };
    return operations.at(text);
}

void columns()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("expected");
}

void addCase(
    const char* rule, const char* left, const char* operation, const char* right, const char* expected)
{
    QTest::newRow(rule) << QString::fromUtf8(left) << QString::fromUtf8(operation) << QString::fromUtf8(right)
                        << QString::fromUtf8(expected);
}

void check()
{
    QFETCH(QString, left);
    QFETCH(QString, operation);
    QFETCH(QString, right);
    QFETCH(QString, expected);
    const BinaryOperation apply = operationOf(operation);
    // "not" has no left operand.
    QCOMPARE(outcome([&] { return apply(left.isEmpty() ? Value() : valueOf(left), valueOf(right)); }),
             expected);
}

} // namespace

class TestOperators : public QObject
{
    Q_OBJECT

private slots:
    void operators_data();
    void operators() { check(); }
    void isComparesReferencesAndObjectsPrintTheirClass();
};

void TestOperators::operators_data()
{
    columns();
    // Arithmetic: the more precise kind wins.
    addCase("Double + Double", "Double 1.5", "+", "Double 2.25", "Double: 3.75");
    addCase("Integer + Integer stays Integer", "Integer 2", "+", "Integer 3", "Integer: 5");
    addCase("Byte + Byte stays Byte", "Byte 200", "+", "Byte 55", "Byte: 255");
    addCase("Integer + Long is Long", "Integer 2", "+", "Long 3", "Long: 5");
    addCase("Single with Integer stays Single", "Single 1.5", "+", "Integer 1", "Single: 2.5");
    addCase("Single with Long is Double", "Single 1.5", "+", "Long 1", "Double: 2.5");
    addCase("Integer with Double is Double", "Integer 1", "*", "Double 2.5", "Double: 2.5");
    addCase("Single with Double is Double", "Single 1.5", "+", "Double 1", "Double: 2.5");
    // Overflow promotion of Variants.
    addCase("Byte overflow promotes to Integer", "Byte 200", "+", "Byte 100", "Integer: 300");
    addCase("Byte below zero promotes to Integer", "Byte 1", "-", "Byte 2", "Integer: -1");
    addCase("Integer overflow promotes to Long", "Integer 32767", "+", "Integer 1", "Long: 32768");
    addCase("Integer underflow promotes to Long", "Integer -32768", "-", "Integer 1", "Long: -32769");
    addCase("Long overflow promotes to Double", "Long 2147483647", "+", "Long 1", "Double: 2147483648");
    addCase("Single overflow", "Single 3e38", "*", "Integer 10", "Double: 3.00000000549776E+39");
    addCase("Double overflow raises 6", "Double 1e308", "*", "Double 10", "raised 6");
    // Booleans count as Integers, Empty as Integer 0.
    addCase("True + True is Integer -2", "Boolean True", "+", "Boolean True", "Integer: -2");
    addCase("Boolean with Byte is Integer", "Boolean True", "+", "Byte 1", "Integer: 0");
    addCase("Empty + Empty is Integer 0", "Empty", "+", "Empty", "Integer: 0");
    addCase("Empty + String returns the String", "Empty", "+", "String x", "String: x");
    addCase("Byte + Empty returns the Byte", "Byte 7", "+", "Empty", "Byte: 7");
    addCase("Empty - True is Integer 1", "Empty", "-", "Boolean True", "Integer: 1");
    addCase("Empty times Double is Double 0", "Empty", "*", "Double 5", "Double: 0");
    // Empty with a Boolean: both count as Integers, in + too.
    addCase("Empty + True is Integer -1", "Empty", "+", "Boolean True", "Integer: -1");
    addCase("False + Empty is Integer 0", "Boolean False", "+", "Empty", "Integer: 0");
    addCase("True times Empty is Integer 0", "Boolean True", "*", "Empty", "Integer: 0");
    addCase("Empty integer division by True is Integer 0", "Empty", "\\", "Boolean True", "Integer: 0");
    addCase("True mod Empty raises 11", "Boolean True", "mod", "Empty", "raised 11");
    addCase("True to the power of Empty is Double 1", "Boolean True", "^", "Empty", "Double: 1");
    addCase("Empty equals False", "Empty", "=", "Boolean False", "Boolean: True");
    addCase("Empty and True is Integer 0", "Empty", "and", "Boolean True", "Integer: 0");
    // Strings.
    addCase("String + String concatenates", "String a", "+", "String b", "String: ab");
    addCase("numeric String + number adds as Double", "String 1", "+", "Integer 2", "Double: 3");
    addCase("non-numeric String + number raises 13", "String a", "+", "Integer 2", "raised 13");
    addCase("String times number raises 13", "String abc", "*", "Double 2", "raised 13");
    addCase("numeric Strings multiply", "String 3", "*", "String 4", "Double: 12");
    // An object stands for its default value; Nothing has none.
    addCase("an object adds as its default value", "Object 5", "+", "Double 1", "Double: 6");
    addCase("Nothing has no value to add", "Nothing", "+", "Double 1", "raised 91");
    // Null and Error.
    addCase("Null + Integer is Null", "Null", "+", "Integer 1", "Null: ");
    addCase("String + Null is Null", "String a", "+", "Null", "Null: ");
    addCase("Null before Error", "Null", "*", "Error 5", "Null: ");
    addCase("Error operand raises 13", "Error 5", "+", "Integer 1", "raised 13");
    addCase("Empty + Error raises 13", "Empty", "+", "Error 5", "raised 13");
    // Currency: exact, rounded half to even, overflow raises 6.
    addCase("Currency + Currency", "Currency 1.5", "+", "Currency 2.25", "Currency: 3.75");
    addCase("Currency + Integer stays Currency", "Currency 1.5", "+", "Integer 1", "Currency: 2.5");
    addCase("Currency + Double stays Currency", "Currency 1", "+", "Double 0.25", "Currency: 1.25");
    addCase("Currency times Double is Double", "Currency 1.5", "*", "Double 2", "Double: 3");
    addCase("Currency times Single stays Currency", "Currency 1.5", "*", "Single 2", "Currency: 3");
    addCase("Currency times Currency", "Currency 1.5", "*", "Currency 2", "Currency: 3");
    addCase("Currency half to even down", "Currency 0.0001", "*", "Currency 0.5", "Currency: 0");
    addCase("Currency half to even up", "Currency 0.0003", "*", "Currency 0.5", "Currency: 0.0002");
    addCase("Currency overflow", "Currency 922337203685477.5807", "+", "Currency 0.0001", "raised 6");
    addCase("Currency product overflow raises 6", "Currency 922337203685477", "*", "Integer 2", "raised 6");
    // Decimal: exact to 28 places.
    addCase("Decimal + Decimal is exact", "Decimal 0.1", "+", "Decimal 0.2", "Decimal: 0.3");
    addCase("Decimal with Double is Decimal", "Decimal 1.5", "*", "Double 2", "Decimal: 3");
    addCase("Decimal with Currency is Decimal", "Decimal 0.00001", "+", "Currency 1", "Decimal: 1.00001");
    addCase("Decimal minus to negative", "Decimal 1", "-", "Decimal 2.5", "Decimal: -1.5");
    addCase("Decimal overflow", "Decimal 79228162514264337593543950335", "+", "Decimal 1", "raised 6");
    addCase("Decimal product rounds to 28 places",
            "Decimal 0.0000000000000001",
            "*",
            "Decimal 0.0000000000000015",
            "Decimal: 0");
    addCase("Decimal product keeps what fits",
            "Decimal 1.0000000000000000000000000001",
            "*",
            "Decimal 2",
            "Decimal: 2.0000000000000000000000000002");
    // Dates.
    addCase("Date + number is a Date", "Date 36526", "+", "Integer 1", "Date: 1/2/2000");
    addCase("number + Date is a Date", "Integer 1", "+", "Date 36526", "Date: 1/2/2000");
    addCase("Date - Date is a Double", "Date 36527", "-", "Date 36526", "Double: 1");
    addCase("Date - fraction", "Date 36526.5", "-", "Double 0.25", "Date: 1/1/2000 6:00:00 AM");
    addCase("Date times number is Double", "Date 36526", "*", "Integer 2", "Double: 73052");
    addCase("Date beyond 9999 becomes Double", "Date 2958465", "+", "Integer 1", "Double: 2958466");
    addCase("Decimal outranks Date", "Date 36526", "+", "Decimal 0.5", "Decimal: 36526.5");
    // Power.
    addCase("power is Double", "Integer 2", "^", "Integer 2", "Double: 4");
    addCase("power of a negative base and whole exponent", "Double -2", "^", "Double 3", "Double: -8");
    addCase("negative base with fraction raises 5", "Double -8", "^", "Double 0.5", "raised 5");
    addCase("zero to a negative power raises 5", "Double 0", "^", "Double -1", "raised 5");
    addCase("zero to zero is one", "Double 0", "^", "Double 0", "Double: 1");
    addCase("power overflow raises 6", "Double 10", "^", "Double 400", "raised 6");
    addCase("Null power is Null", "Null", "^", "Double 0", "Null: ");
    addCase("Empty power is zero", "Empty", "^", "Double 2", "Double: 0");
    // Division, integer division and Mod; "\" and Mod round their operands half to even.
    addCase("Double division is Double", "Double 2", "/", "Double 4", "Double: 0.5");
    addCase("Integer division is Double", "Integer 1", "/", "Integer 3", "Double: 0.333333333333333");
    addCase("Single by Integer is Single", "Single 1", "/", "Integer 3", "Single: 0.3333333");
    addCase("Single by Long is Double", "Single 1", "/", "Long 4", "Double: 0.25");
    addCase("Date division is Double", "Date 2", "/", "Integer 4", "Double: 0.5");
    addCase("Integer by Double zero raises 11", "Integer 1", "/", "Double 0", "raised 11");
    addCase("Boolean divides as Integer", "Boolean True", "/", "Integer 2", "Double: -0.5");
    addCase("Single quotient overflow", "Single 3e38", "/", "Single 0.1", "Double: 2.99999996079427E+39");
    addCase("Currency division is Double", "Currency 1", "/", "Currency 4", "Double: 0.25");
    addCase("Decimal division is Decimal", "Decimal 1", "/", "Integer 4", "Decimal: 0.25");
    addCase("Decimal third", "Decimal 1", "/", "Decimal 3", "Decimal: 0.3333333333333333333333333333");
    addCase("Decimal two thirds", "Decimal 2", "/", "Decimal 3", "Decimal: 0.6666666666666666666666666667");
    addCase("Decimal ten thirds keeps 29 digits",
            "Decimal 10",
            "/",
            "Decimal 3",
            "Decimal: 3.3333333333333333333333333333");
    addCase("Decimal by zero raises 11", "Decimal 1", "/", "Integer 0", "raised 11");
    addCase("Decimal quotient beyond the range overflows",
            "Decimal 79228162514264337593543950335",
            "/",
            "Decimal 0.5",
            "raised 6");
    addCase("negative Decimal quotient", "Decimal -1", "/", "Decimal 8", "Decimal: -0.125");
    addCase("Decimal integer division rounds to even first", "Decimal 7.5", "\\", "Integer 2", "Long: 4");
    addCase("Empty by Empty raises 6", "Empty", "/", "Empty", "raised 6");
    addCase("Empty by number is 0", "Empty", "/", "Double 2", "Double: 0");
    addCase("number by Empty raises 11", "Double 2", "/", "Empty", "raised 11");
    addCase("Null by zero is Null", "Null", "/", "Double 0", "Null: ");
    addCase("Double quotient overflow raises 6", "Double 1e308", "/", "Double 1e-10", "raised 6");
    addCase("Double integer division is Long", "Double 7", "\\", "Double 2", "Long: 3");
    addCase("Double mod is Long", "Double 7", "mod", "Double 2", "Long: 1");
    addCase("Integer integer division stays Integer", "Integer 7", "\\", "Integer 2", "Integer: 3");
    addCase("Byte integer division stays Byte", "Byte 7", "\\", "Byte 2", "Byte: 3");
    addCase("Boolean integer division is Integer", "Boolean True", "\\", "Boolean True", "Integer: 1");
    addCase("integer division truncates toward zero", "Double -7", "\\", "Double 2", "Long: -3");
    addCase("mod follows the dividend's sign", "Double -7", "mod", "Double 3", "Long: -1");
    addCase("mod ignores the divisor's sign", "Double 7", "mod", "Double -3", "Long: 1");
    addCase("integer division rounds 5.5 up", "Double 5.5", "\\", "Double 1", "Long: 6");
    addCase("integer division rounds 2.5 to even", "Double 2.5", "\\", "Double 1", "Long: 2");
    addCase("divisor rounding to zero raises 11", "Double 1", "mod", "Double 0.4", "raised 11");
    addCase("Integer quotient overflow is Long", "Integer -32768", "\\", "Integer -1", "Long: 32768");
    addCase("Long quotient overflow raises 6", "Long -2147483648", "\\", "Long -1", "raised 6");
    addCase("operand beyond Long raises 6", "Double 3e9", "\\", "Double 1", "raised 6");
    addCase("numeric Strings divide as Long", "String 7", "\\", "String 2", "Long: 3");
    addCase("Null mod is Null", "Null", "mod", "Error 5", "Null: ");
    addCase("Empty integer division is Integer", "Empty", "\\", "Integer 1", "Integer: 0");
    // Concatenation and Like on Values; the pattern grammar has its own table.
    addCase("numbers concatenate as text", "Double 1", "&", "Double 2", "String: 12");
    addCase("Boolean concatenates as True", "Boolean True", "&", "Empty", "String: True");
    addCase("Null & Null is Null", "Null", "&", "Null", "Null: ");
    addCase("one Null counts as empty text", "Null", "&", "String a", "String: a");
    addCase("Date concatenates as its short form", "Date 36526", "&", "String ", "String: 1/1/2000");
    addCase("Single concatenates with 7 digits", "Single 0.1", "&", "Empty", "String: 0.1");
    addCase("Error Value cannot be text", "Error 5", "&", "String a", "raised 13");
    addCase("an object concatenates as its default value", "Object 5", "&", "String x", "String: 5x");
    addCase("number is matched as its text", "Double 12", "like", "String 1#", "Boolean: True");
    addCase("Null like is Null", "Null", "like", "String a", "Null: ");
    addCase("Error like raises 13", "Error 5", "like", "String a", "raised 13");
    // Comparison of two Strings: code units, case-sensitive.
    addCase("Strings differing in case are unequal", "String ab", "=", "String AB", "Boolean: False");
    addCase("upper case sorts before lower case", "String B", "<", "String a", "Boolean: True");
    addCase("numeric Strings compare as text", "String 10", "<", "String 9", "Boolean: True");
    addCase("shorter prefix sorts first", "String ab", "<", "String abc", "Boolean: True");
    // A number against a String: the number is less.
    addCase("number is less than a String", "Double 5", "<", "String a", "Boolean: True");
    addCase("number never equals a String", "String 5", "=", "Double 5", "Boolean: False");
    addCase("String is greater than any number", "String 5", ">", "Double 100", "Boolean: True");
    addCase("Date is less than a String", "Date 36526", "<", "String a", "Boolean: True");
    addCase("Boolean is less than a String", "Boolean False", "<", "String ", "Boolean: True");
    // Null, Empty, Error.
    addCase("Null = Null is Null", "Null", "=", "Null", "Null: ");
    addCase("number = Null is Null", "Double 1", "<>", "Null", "Null: ");
    addCase("Empty equals zero", "Empty", "=", "Double 0", "Boolean: True");
    addCase("Empty equals empty text", "Empty", "=", "String ", "Boolean: True");
    addCase("Empty is below a text", "Empty", "<", "String a", "Boolean: True");
    addCase("Empty equals Empty", "Empty", "=", "Empty", "Boolean: True");
    addCase("Error compared raises 13", "Error 5", "=", "Double 5", "raised 13");
    addCase("an object compares as its default value", "Object 5", "=", "Double 5", "Boolean: True");
    // Numbers across kinds.
    addCase("True equals -1", "Boolean True", "=", "Double -1", "Boolean: True");
    addCase("True is less than False", "Boolean True", "<", "Boolean False", "Boolean: True");
    addCase("Integer equals Double", "Integer 1", "=", "Double 1", "Boolean: True");
    addCase("Single against Double rounds to Single", "Single 0.1", "=", "Double 0.1", "Boolean: True");
    addCase("Decimal against Double converts the Double", "Decimal 0.1", "=", "Double 0.1", "Boolean: True");
    addCase("Currency = Double", "Currency 0.1", "=", "Double 0.1", "Boolean: True");
    addCase("Date compares by serial", "Date 36526", "=", "Double 36526", "Boolean: True");
    addCase("Decimal equality ignores the scale", "Decimal 1.0", "=", "Decimal 1.00", "Boolean: True");
    addCase("negative Decimal is less", "Decimal -0.0001", "<", "Decimal 0", "Boolean: True");
    addCase("Currency against Long exactly", "Currency 0.0001", ">", "Long 0", "Boolean: True");
    addCase("Long against a larger Double", "Long 2147483647", "<", "Double 2147483648", "Boolean: True");
    addCase("Double beyond Decimal raises 6", "Double 1e300", ">", "Decimal 1", "raised 6");
    addCase("huge Double > Currency", "Double 1e300", ">", "Currency 1", "Boolean: True");
    addCase("less or equal on equal", "Double 3", "<=", "Double 3", "Boolean: True");
    addCase("greater or equal on smaller", "Double 3", ">=", "Double 4", "Boolean: False");
    addCase("not equal", "Double 3", "<>", "Double 4", "Boolean: True");
    // Logical operators, bitwise on numbers.
    addCase("True and 5 is 5", "Boolean True", "and", "Double 5", "Long: 5");
    addCase("Doubles are bitwise as Long", "Double 1", "and", "Double 3", "Long: 1");
    addCase("Integers stay Integer", "Integer 5", "and", "Integer 3", "Integer: 1");
    addCase("Bytes stay Byte", "Byte 12", "and", "Byte 10", "Byte: 8");
    addCase("Boolean and Byte is Integer", "Boolean True", "and", "Byte 3", "Integer: 3");
    addCase("Boolean and Boolean is Boolean", "Boolean True", "xor", "Boolean True", "Boolean: False");
    addCase("Empty or True is Integer", "Empty", "or", "Boolean True", "Integer: -1");
    addCase("eqv is not xor", "Double 5", "eqv", "Double 3", "Long: -7");
    addCase("xor of bits", "Double 5", "xor", "Double 3", "Long: 6");
    addCase("imp is not a or b", "Double 5", "imp", "Double 3", "Long: -5");
    addCase("operands round half to even", "Double 2.5", "and", "Double 3", "Long: 2");
    addCase("Boolean texts are -1 and 0", "String True", "and", "String 1", "Long: 1");
    addCase("other text raises 13", "String abc", "and", "Double 1", "raised 13");
    addCase("beyond Long raises 6", "Double 3e9", "and", "Double 1", "raised 6");
    addCase("Error raises 13", "Error 5", "or", "Boolean True", "raised 13");
    // Three-valued logic with Null.
    addCase("True and Null is Null", "Boolean True", "and", "Null", "Null: ");
    addCase("False and Null is False", "Boolean False", "and", "Null", "Boolean: False");
    addCase("Null and False is False", "Null", "and", "Boolean False", "Boolean: False");
    addCase("True or Null is True", "Boolean True", "or", "Null", "Boolean: True");
    addCase("False or Null is Null", "Boolean False", "or", "Null", "Null: ");
    addCase("Null xor True is Null", "Null", "xor", "Boolean True", "Null: ");
    addCase("True imp Null is Null", "Boolean True", "imp", "Null", "Null: ");
    addCase("False imp Null is True", "Boolean False", "imp", "Null", "Boolean: True");
    addCase("Null imp True is True", "Null", "imp", "Boolean True", "Boolean: True");
    addCase("Null imp False is Null", "Null", "imp", "Boolean False", "Null: ");
    addCase("Null and Null is Null", "Null", "and", "Null", "Null: ");
    addCase("full Byte or Null is 255", "Byte 255", "or", "Null", "Byte: 255");
    addCase("not 5 is -6", "", "not", "Double 5", "Long: -6");
    addCase("not True is False", "", "not", "Boolean True", "Boolean: False");
    addCase("not Byte 0 is 255", "", "not", "Byte 0", "Byte: 255");
    addCase("not Integer stays Integer", "", "not", "Integer 0", "Integer: -1");
    addCase("not Empty is Integer -1", "", "not", "Empty", "Integer: -1");
    addCase("not Null is Null", "", "not", "Null", "Null: ");
    addCase("not Error raises 13", "", "not", "Error 5", "raised 13");
    addCase("not numeric text is Long", "", "not", "String 5", "Long: -6");
    // Is compares object references: each "Object" row is an object of its own.
    addCase("two objects are not one", "Object 1", "is", "Object 1", "Boolean: False");
    addCase("Nothing is Nothing", "Nothing", "is", "Nothing", "Boolean: True");
    addCase("an object is not Nothing", "Object 1", "is", "Nothing", "Boolean: False");
    addCase("is of numbers raises 424", "Double 1", "is", "Double 1", "raised 424");
    addCase("is of Empty raises 424", "Object 1", "is", "Empty", "raised 424");
}

void TestOperators::isComparesReferencesAndObjectsPrintTheirClass()
{
    const Value object = valueOf(QStringLiteral("Object 1"));
    QCOMPARE(outcome([&] { return isOperator(object, object); }), QStringLiteral("Boolean: True"));
    QCOMPARE(outcome([&] { return object; }), QStringLiteral("Fixed: 1"));
}

QTEST_GUILESS_MAIN(TestOperators)
#include "TestOperators.moc"
