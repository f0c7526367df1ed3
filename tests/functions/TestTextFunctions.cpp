// The text functions: character codes, searching, slicing, replacing, Hex/Oct, Str and the
// runtime's text operations reached through the library.
#include "FunctionCall.h"
#include "ValueNotation.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;

class TestTextFunctions : public QObject
{
    Q_OBJECT

private slots:
    void characterCodes_data();
    void characterCodes() { checkCall(); }
    void searching_data();
    void searching() { checkCall(); }
    void slicing_data();
    void slicing() { checkCall(); }
    void numbersAsText_data();
    void numbersAsText() { checkCall(); }
    // Str and Val write and read "." whatever the system's conventions; Hex and Oct have no point.
    void numbersAsTextUnderGermanLocale_data() { numbersAsText_data(); }
    void numbersAsTextUnderGermanLocale() { underGermanLocale(checkCall); }
};

namespace {

// Replace of a text, what to find and its replacement, followed by start, count and compare.
void replaceRow(const char* rule, const char* texts, std::initializer_list<int> numbers, const char* expected)
{
    QStringList arguments;
    for (const QString& text : QString::fromUtf8(texts).split(u'|'))
        arguments << QStringLiteral("String ") + text;
    for (const int number : numbers)
        arguments << QStringLiteral("Double %1").arg(number);
    addCall(rule, "replace", arguments, expected);
}

} // namespace

void TestTextFunctions::characterCodes_data()
{
    addCallColumns();
    addCall("asc of a letter", "asc", {"String Abc"}, "Integer: 65");
    addCall("asc reads the code page", "asc", {"String €"}, "Integer: 128");
    addCall("asc of a Latin-1 letter", "asc", {"String é"}, "Integer: 233");
    addCall("asc outside the code page is ?", "asc", {"String Ā"}, "Integer: 63");
    addCall("asc of the empty text is an invalid call", "asc", {"String "}, "raised 5");
    addCall("ascw reads the code unit", "ascw", {"String €"}, "Integer: 8364");
    addCall("ascw of a unit above 32767 is negative", "ascw", {"String \uFFFF"}, "Integer: -1");
    addCall("ascw of the empty text is an invalid call", "ascw", {"Empty"}, "raised 5");
    addCall("ascb reads the low byte first", "ascb", {"String €"}, "Byte: 172");
    addCall("ascb of the empty text is an invalid call", "ascb", {"String "}, "raised 5");
    addCall("chr of a letter", "chr", {"Double 65"}, "String: A");
    addCall("chr reads the code page", "chr", {"Double 128"}, "String: €");
    addCall("chr of 255", "chr", {"Double 255"}, "String: ÿ");
    addCall("chr above 255 is an invalid call", "chr", {"Double 256"}, "raised 5");
    addCall("chr below 0 is an invalid call", "chr", {"Double -1"}, "raised 5");
    addCall("chr rounds its code half to even", "chr", {"Double 65.5"}, "String: B");
    addCall("chrw of the euro sign", "chrw", {"Double 8364"}, "String: €");
    addCall("chrw of a negative code adds 65536", "chrw", {"Double -8"}, "String: \uFFF8");
    addCall("chrw above 65535 is an invalid call", "chrw", {"Double 65536"}, "raised 5");
    addCall("chrw below -32768 is an invalid call", "chrw", {"Double -32769"}, "raised 5");
    addCall("chrb makes the character of a byte", "chrb", {"Double 65"}, "String: A");
    addCall("chrb below 0 overflows the Byte", "chrb", {"Double -1"}, "raised 6");
    addCall("string repeats the first character", "string", {"Double 3", "String ab"}, "String: aaa");
    addCall("string of a code", "string", {"Double 3", "Double 65"}, "String: AAA");
    addCall("string takes a code modulo 256", "string", {"Double 2", "Double 321"}, "String: AA");
    addCall("string of a high code reads the code page", "string", {"Double 2", "Double 128"}, "String: €€");
    addCall("string of zero characters", "string", {"Double 0", "String a"}, "String: ");
    addCall("string of a negative count is an invalid call", "string", {"Double -1", "String a"}, "raised 5");
    addCall("string of the empty text is an invalid call", "string", {"Double 2", "String "}, "raised 5");
}

void TestTextFunctions::searching_data()
{
    addCallColumns();
    const auto instrRow = callsOf("instr");
    const auto instrrevRow = callsOf("instrrev");
    const auto strcompRow = callsOf("strcomp");
    // A letter at positions 2 and 5 of a six-letter text.
    instrrevRow("instrrev finds the last occurrence", {"String xaxxax", "String a"}, "Long: 5");
    instrRow("instr finds the first occurrence", {"String xaxxax", "String a"}, "Long: 2");
    instrRow("instr from a start", {"Double 3", "String xaxxax", "String a"}, "Long: 5");
    instrRow("instr not found", {"String abc", "String d"}, "Long: 0");
    instrRow("instr is case-sensitive by default", {"String ABC", "String b"}, "Long: 0");
    instrRow("instr text compare", {"Double 1", "String ABC", "String b", "Double 1"}, "Long: 2");
    instrRow("instr of the empty text gives the start", {"Double 2", "String abc", "String "}, "Long: 2");
    instrRow("instr past the end gives 0", {"Double 4", "String abc", "String "}, "Long: 0");
    instrRow("instr in the empty text gives 0", {"String ", "String a"}, "Long: 0");
    instrRow("instr of Null text is Null", {"Double 1", "String abc", "Null"}, "Null: ");
    instrRow("instr reads numbers as text", {"Double 12345", "Double 34"}, "Long: 3");
    instrRow("instr start 0 is an invalid call", {"Double 0", "String abc", "String a"}, "raised 5");
    instrRow("instr compare 3 raises 5", {"Double 1", "String abc", "String a", "Double 3"}, "raised 5");
    instrrevRow("instrrev before a start", {"String abcabc", "String c", "Double 5"}, "Long: 3");
    instrrevRow("instrrev ends by start", {"String abcabc", "String bc", "Double 2"}, "Long: 0");
    instrrevRow("instrrev match ending at the start", {"String abcabc", "String bc", "Double 3"}, "Long: 2");
    instrrevRow("instrrev of the empty text gives the end", {"String abc", "String "}, "Long: 3");
    instrrevRow("instrrev empty gives start", {"String abc", "String ", "Double 2"}, "Long: 2");
    instrrevRow("instrrev past the end gives 0", {"String abc", "String a", "Double 4"}, "Long: 0");
    instrrevRow("instrrev in the empty text gives 0", {"String ", "String "}, "Long: 0");
    instrrevRow("instrrev text compare", {"String ABCb", "String b", "Double -1", "Double 1"}, "Long: 4");
    instrrevRow("instrrev is case-sensitive by default", {"String ABC", "String b"}, "Long: 0");
    instrrevRow("instrrev start 0 is an invalid call", {"String abc", "String a", "Double 0"}, "raised 5");
    instrrevRow("instrrev start -2 is an invalid call", {"String abc", "String a", "Double -2"}, "raised 5");
    strcompRow("strcomp binary puts capitals first", {"String a", "String B"}, "Integer: 1");
    strcompRow("strcomp text ignores case", {"String a", "String B", "Double 1"}, "Integer: -1");
    strcompRow("strcomp text finds equal texts", {"String abc", "String ABC", "Double 1"}, "Integer: 0");
    strcompRow("strcomp compare -1 is binary", {"String a", "String B", "Double -1"}, "Integer: 1");
    strcompRow("strcomp compare 0 is binary", {"String a", "String B", "Double 0"}, "Integer: 1");
    strcompRow("strcomp compare 3 is an invalid call", {"String a", "String b", "Double 3"}, "raised 5");
    strcompRow("strcomp of Null is Null", {"String a", "Null"}, "Null: ");
    strcompRow("strcomp of a Null first text is Null", {"Null", "String a"}, "Null: ");
    strcompRow("strcomp of Empty is the empty text", {"Empty", "String "}, "Integer: 0");
    strcompRow("strcomp of a number compares its text", {"Double 10", "String 9"}, "Integer: -1");
    strcompRow("strcomp of an Error Value raises 13", {"Error 5", "Empty"}, "raised 13");
    // Replace.
    replaceRow("every occurrence", "abcabc|b|X", {}, "String: aXcaXc");
    replaceRow("from a start keeps only the rest", "abcabc|b|X", {2}, "String: XcaXc");
    replaceRow("a limited count", "abcabc|b|X", {1, 1}, "String: aXcabc");
    replaceRow("count 0 copies", "abc|b|X", {1, 0}, "String: abc");
    replaceRow("the empty find copies from the start", "abc||X", {2}, "String: bc");
    replaceRow("past the end is empty", "abc|a|X", {4}, "String: ");
    replaceRow("takes matches without overlap", "aaa|aa|b", {}, "String: ba");
    replaceRow("is case-sensitive by default", "aBcAbc|b|X", {}, "String: aBcAXc");
    replaceRow("with text comparison", "aBcAbc|b|X", {1, -1, 1}, "String: aXcAXc");
    replaceRow("with the empty replacement removes", "a-b-c|-|", {}, "String: abc");
    replaceRow("start 0 is an invalid call", "abc|a|X", {0}, "raised 5");
    replaceRow("count -2 is an invalid call", "abc|a|X", {1, -2}, "raised 5");
    replaceRow("compare 3 is an invalid call", "abc|a|X", {1, -1, 3}, "raised 5");
}

void TestTextFunctions::slicing_data()
{
    addCallColumns();
    addCall("left takes the first characters", "left", {"String abc", "Double 2"}, "String: ab");
    addCall("left longer than the text gives it all", "left", {"String abc", "Double 5"}, "String: abc");
    addCall("left 0 is empty", "left", {"String abc", "Double 0"}, "String: ");
    addCall("left of a number reads its text", "left", {"Double 12.5", "Double 2"}, "String: 12");
    addCall("left negative is an invalid call", "left", {"String abc", "Double -1"}, "raised 5");
    addCall("left of an Error Value is a type mismatch", "left", {"Error 5", "Double 1"}, "raised 13");
    addCall("right takes the last characters", "right", {"String abc", "Double 2"}, "String: bc");
    addCall("right of Null is Null", "right", {"Null", "Double 2"}, "Null: ");
    addCall("right negative is an invalid call", "right", {"String abc", "Double -1"}, "raised 5");
    addCall("mid with a length", "mid", {"String abcdef", "Double 2", "Double 3"}, "String: bcd");
    addCall("mid without a length gives the rest", "mid", {"String abc", "Double 2"}, "String: bc");
    addCall("mid past the end is empty", "mid", {"String abc", "Double 4"}, "String: ");
    addCall("mid long length", "mid", {"String abc", "Double 2", "Double 10"}, "String: bc");
    addCall("mid start 0 is an invalid call", "mid", {"String abc", "Double 0"}, "raised 5");
    addCall("mid length -1 raises 5", "mid", {"String abc", "Double 1", "Double -1"}, "raised 5");
    addCall("mid of Null is Null", "mid", {"Null", "Double 1"}, "Null: ");
    addCall("len counts characters", "len", {"String abc"}, "Long: 3");
    addCall("len of Empty is 0", "len", {"Empty"}, "Long: 0");
    addCall("len of Null is Null", "len", {"Null"}, "Null: ");
    addCall("len of a number counts its text", "len", {"Double 12.5"}, "Long: 4");
    addCall("lcase lowers", "lcase", {"String AbC"}, "String: abc");
    addCall("ucase of Null is Null", "ucase", {"Null"}, "Null: ");
}

void TestTextFunctions::numbersAsText_data()
{
    addCallColumns();
    addCall("str gives a positive number a space", "str", {"Double 65"}, "String:  65");
    addCall("str gives zero a space", "str", {"Integer 0"}, "String:  0");
    addCall("str gives a negative number none", "str", {"Double -3"}, "String: -3");
    addCall("str writes fractions with a point", "str", {"Double 2.5"}, "String:  2.5");
    addCall("str drops the zero before a fraction", "str", {"Double 0.24"}, "String:  .24");
    addCall("str drops the zero before a negative fraction", "str", {"Double -0.5"}, "String: -.5");
    addCall("str drops the zero before a Currency fraction", "str", {"Currency 0.25"}, "String:  .25");
    addCall("str of a Single keeps seven digits", "str", {"Single 1.1"}, "String:  1.1");
    addCall("str of numeric text reads the number", "str", {"String  12 "}, "String:  12");
    addCall("str of non-numeric text is a type mismatch", "str", {"String x"}, "raised 13");
    addCall("str of Null is Null", "str", {"Null"}, "Null: ");
    addCall("str of True", "str", {"Boolean True"}, "String: True");
    addCall("val of a number reads its text", "val", {"Double 1.5"}, "Double: 1.5");
    // Hex and Oct.
    addCall("hex of a Double", "hex", {"Double 255"}, "String: FF");
    addCall("hex of a negative Integer has 16 bits", "hex", {"Integer -1"}, "String: FFFF");
    addCall("hex of a negative Long has 32 bits", "hex", {"Long -1"}, "String: FFFFFFFF");
    addCall("hex of a negative Double goes through Long", "hex", {"Double -1"}, "String: FFFFFFFF");
    addCall("hex of True is an Integer's", "hex", {"Boolean True"}, "String: FFFF");
    addCall("hex rounds half to even down", "hex", {"Double 2.5"}, "String: 2");
    addCall("hex rounds half to even up", "hex", {"Double 3.5"}, "String: 4");
    addCall("hex of a Byte", "hex", {"Byte 255"}, "String: FF");
    addCall("hex of numeric text", "hex", {"String 255"}, "String: FF");
    addCall("hex of Empty is 0", "hex", {"Empty"}, "String: 0");
    addCall("hex of Null is Null", "hex", {"Null"}, "Null: ");
    addCall("hex beyond the Long range overflows", "hex", {"Double 4294967296"}, "raised 6");
    addCall("hex of non-numeric text is a type mismatch", "hex", {"String abc"}, "raised 13");
    addCall("oct of 8", "oct", {"Double 8"}, "String: 10");
    addCall("oct of a negative Integer has 16 bits", "oct", {"Integer -1"}, "String: 177777");
    addCall("oct of a negative Long has 32 bits", "oct", {"Long -1"}, "String: 37777777777");
}

QTEST_GUILESS_MAIN(TestTextFunctions)
#include "TestTextFunctions.moc"
