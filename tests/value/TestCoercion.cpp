// Let-coercions, explicit conversions, text forms and Val, once more under German conventions.
#include "ValueNotation.h"
#include "value/Coercion.h"
#include "value/NumberText.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <QTest>

#include <map>

using namespace reelkeep;
using namespace reelkeep::test;

namespace {

using Conversion = Value (*)(const Value&);

Conversion conversionOf(const QString& name)
{
    static const std::map<QString, Conversion> conversions{
        {QStringLiteral("CBool"), cbool},
        {QStringLiteral("CByte"), cbyte},
        {QStringLiteral("CCur"), ccur},
        {QStringLiteral("CDate"), cdate},
        {QStringLiteral("CDbl"), cdbl},
        {QStringLiteral("CDec"), cdec},
        {QStringLiteral("CInt"), cint},
        {QStringLiteral("CLng"), clng},
        {QStringLiteral("CSng"), csng},
        {QStringLiteral("CStr"), cstr},
        {QStringLiteral("CVErr"), cvErr},
        {QStringLiteral("Val"), [](const Value& text) { return Value::makeDouble(val(text.asString())); }},
        // The coercions of a Let to a Double and to a String.
        {QStringLiteral("Let Double"), [](const Value& value) { return Value::makeDouble(toDouble(value)); }},
        {QStringLiteral("Let String"),
         [](const Value& value) { return Value::makeString(toStringLet(value)); }},
    };
    return conversions.at(name);
}

void addConversion(const char* rule, const char* conversion, const char* source, const char* expected)
{
    QTest::newRow(rule) << QString::fromUtf8(conversion) << QString::fromUtf8(source)
                        << QString::fromUtf8(expected);
}

// The text form of a Value, as CStr gives it.
void addText(const char* rule, const char* source, const char* expected)
{
    QTest::newRow(rule) << QStringLiteral("CStr") << QString::fromUtf8(source)
                        << QStringLiteral("String: ") + QString::fromUtf8(expected);
}

void addVal(const char* rule, const char* text, const char* expected)
{
    addConversion(rule, "Val", (QByteArray("String ") + text).constData(), expected);
}

void checkConversion()
{
    QFETCH(QString, conversion);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    const Conversion convert = conversionOf(conversion);
    QCOMPARE(outcome([&] { return convert(valueOf(source)); }), expected);
}

} // namespace

class TestCoercion : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion() { checkConversion(); }
    void conversionUnderGermanLocale_data() { conversion_data(); }
    void conversionUnderGermanLocale() { underGermanLocale(checkConversion); }
};

void TestCoercion::conversion_data()
{
    QTest::addColumn<QString>("conversion");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    // Banker's rounding into integral kinds, range decided after rounding.
    addConversion("half rounds to even zero", "CInt", "Double 0.5", "Integer: 0");
    addConversion("one and a half rounds to two", "CInt", "Double 1.5", "Integer: 2");
    addConversion("minus two and a half rounds to minus two", "CInt", "Double -2.5", "Integer: -2");
    addConversion("rounding past Integer overflows", "CInt", "Double 32767.5", "raised 6");
    addConversion("rounding back into Integer is fine", "CInt", "Double -32768.5", "Integer: -32768");
    addConversion("CByte rounds up", "CByte", "Double 125.5678", "Byte: 126");
    addConversion("CByte of minus 0.4 is 0", "CByte", "Double -0.4", "Byte: 0");
    addConversion("CByte rounding past 255 overflows", "CByte", "Double 255.5", "raised 6");
    addConversion("CByte of True overflows", "CByte", "Boolean True", "raised 6");
    addConversion("CByte of False is 0", "CByte", "Boolean False", "Byte: 0");
    addConversion("CLng rounds up", "CLng", "Double 25427.55", "Long: 25428");
    addConversion("CLng rounding past Long overflows", "CLng", "Double 2147483647.5", "raised 6");
    addConversion("CLng of a Date rounds the serial", "CLng", "Date 36526.75", "Long: 36527");
    addConversion("CInt of Currency rounds half to even", "CInt", "Currency 2.5", "Integer: 2");
    addConversion("CInt of Currency rounds 3.5 up", "CInt", "Currency 3.5", "Integer: 4");
    addConversion("CInt of Decimal rounds half to even", "CInt", "Decimal 2.5", "Integer: 2");
    addConversion("CInt of True is -1", "CInt", "Boolean True", "Integer: -1");
    addConversion("CInt of Empty is 0", "CInt", "Empty", "Integer: 0");
    addConversion("CInt of Null raises 94", "CInt", "Null", "raised 94");
    addConversion("CInt of an Error converts its number", "CInt", "Error 13", "Integer: 13");
    addConversion("CByte of a large Error number overflows", "CByte", "Error 300", "raised 6");
    // Text to number: the whole text must be a number.
    addConversion("decimal text", "CInt", "String 1.34", "Integer: 1");
    addConversion("thousands separators", "CInt", "String 1,000", "Integer: 1000");
    addConversion("text beyond Integer overflows", "CInt", "String 40000", "raised 6");
    addConversion("text below Byte overflows", "CByte", "String -1", "raised 6");
    addConversion("partial number raises 13", "CInt", "String 1726 56th Ave NE", "raised 13");
    addConversion("empty text raises 13", "CInt", "String ", "raised 13");
    addConversion("blanks around are allowed", "CInt", "String  12 ", "Integer: 12");
    addConversion("leading plus", "CInt", "String +7", "Integer: 7");
    addConversion("hex text", "CInt", "String &HFF", "Integer: 255");
    addConversion("octal text", "CInt", "String &O17", "Integer: 15");
    addConversion("exponent text", "CInt", "String 1E3", "Integer: 1000");
    addConversion("currency sign and separators", "CInt", "String $1,234", "Integer: 1234");
    addConversion("parentheses are negative", "CInt", "String (5)", "Integer: -5");
    addConversion("trailing minus", "CInt", "String 5-", "Integer: -5");
    addConversion("True text is no number", "CInt", "String True", "raised 13");
    addConversion("percent sign is no number", "CInt", "String 5%", "raised 13");
    addConversion("D exponent is no number", "CDbl", "String 1D3", "raised 13");
    addConversion("exponent without digits", "CDbl", "String 1e", "raised 13");
    addConversion("point alone", "CDbl", "String .", "raised 13");
    addConversion("leading point", "CDbl", "String .5", "Double: 0.5");
    addConversion("trailing point", "CDbl", "String 5.", "Double: 5");
    addConversion("negative exponent", "CDbl", "String 2.5e-2", "Double: 0.025");
    addConversion("text beyond Double overflows", "CDbl", "String 1E400", "raised 6");
    addConversion("CDbl of an Error is its number", "CDbl", "Error 5", "Double: 5");
    addConversion("CDbl of Decimal", "CDbl", "Decimal 0.1", "Double: 0.1");
    addConversion("CDbl of a Date is its serial", "CDbl", "Date 36526.5", "Double: 36526.5");
    // Boolean.
    addConversion("True text", "CBool", "String True", "Boolean: True");
    addConversion("Boolean text in any case with blanks", "CBool", "String  fAlSe ", "Boolean: False");
    addConversion("numeric text 0 is False", "CBool", "String 0", "Boolean: False");
    addConversion("fraction text is True", "CBool", "String -0.5", "Boolean: True");
    addConversion("yes is no Boolean", "CBool", "String yes", "raised 13");
    addConversion("small number is True", "CBool", "Double 0.1", "Boolean: True");
    addConversion("Empty is False", "CBool", "Empty", "Boolean: False");
    addConversion("CBool of Error raises 13", "CBool", "Error 5", "raised 13");
    addConversion("CBool of Null raises 94", "CBool", "Null", "raised 94");
    // Currency and Decimal are exact from text.
    addConversion("CCur rounds to four places", "CCur", "Double 1086.429176", "Currency: 1086.4292");
    addConversion("CCur of a currency text", "CCur", "String $1,234.50", "Currency: 1234.5");
    addConversion("CCur of a half from text rounds to even", "CCur", "String 0.00005", "Currency: 0");
    addConversion("CCur of three halves from text rounds up", "CCur", "String 0.00015", "Currency: 0.0002");
    addConversion("CCur largest", "CCur", "String 922337203685477.5807", "Currency: 922337203685477.5807");
    addConversion("CCur past the largest overflows", "CCur", "String 922337203685477.5808", "raised 6");
    addConversion("CCur of a large Double overflows", "CCur", "Double 1e15", "raised 6");
    addConversion("CCur of Decimal rounds", "CCur", "Decimal 1.23456", "Currency: 1.2346");
    addConversion("CDec of a Double keeps 15 digits", "CDec", "Double 0.1", "Decimal: 0.1");
    addConversion("CDec of a third", "CDec", "Double 0.333333333333333333", "Decimal: 0.333333333333333");
    addConversion("CDec of a Single keeps 7 digits", "CDec", "Single 0.1", "Decimal: 0.1");
    addConversion("CDec of the largest text",
                  "CDec",
                  "String 79228162514264337593543950335",
                  "Decimal: 79228162514264337593543950335");
    addConversion("CDec past the largest", "CDec", "String 79228162514264337593543950336", "raised 6");
    addConversion("CDec smallest step", "CDec", "String 1E-28", "Decimal: 0.0000000000000000000000000001");
    addConversion("CDec rounds beyond 28 places",
                  "CDec",
                  "String 1.23456789012345678901234567891",
                  "Decimal: 1.2345678901234567890123456789");
    addConversion("CDec of a huge Double overflows", "CDec", "Double 1e29", "raised 6");
    addConversion("CSng rounds to Single", "CSng", "Double 16777217", "Single: 1.677722E+07");
    addConversion("CSng beyond Single overflows", "CSng", "Double 1e39", "raised 6");
    // Dates.
    addConversion("CDate of a serial", "CDate", "Double 36526", "Date: 1/1/2000");
    addConversion("CDate past 9999 overflows", "CDate", "Double 2958466", "raised 6");
    addConversion("CDate before year 100 overflows", "CDate", "Double -657435", "raised 6");
    addConversion("CDate of a date text", "CDate", "String 1/2/2020", "Date: 1/2/2020");
    addConversion("CDate of other text raises 13", "CDate", "String abc", "raised 13");
    addConversion("CDate of a numeric text raises 13", "CDate", "String 1", "raised 13");
    addConversion("CDate of Empty is midnight", "CDate", "Empty", "Date: 12:00:00 AM");
    addConversion("CDate of True is the day before", "CDate", "Boolean True", "Date: 12/29/1899");
    addConversion("CDate of an Error raises 13", "CDate", "Error 5", "raised 13");
    // Text and Error Values.
    addConversion("CStr of an Error", "CStr", "Error 13", "String: Error 13");
    addConversion("CStr of Null raises 94", "CStr", "Null", "raised 94");
    addConversion("CStr of Empty", "CStr", "Empty", "String: ");
    addConversion("CVErr of a number", "CVErr", "Double 450", "Error: Error 450");
    addConversion("CVErr rounds like CLng", "CVErr", "Double 2.5", "Error: Error 2");
    addConversion("CVErr below zero raises 5", "CVErr", "Double -1", "raised 5");
    addConversion("CVErr above 65535 raises 5", "CVErr", "Double 65536", "raised 5");
    addConversion("CVErr of Null raises 94", "CVErr", "Null", "raised 94");
    addConversion("Let refuses an Error Value as a number", "Let Double", "Error 5", "raised 13");
    addConversion("Let refuses an Error Value as text", "Let String", "Error 5", "raised 13");
    addConversion("Let refuses Null as text", "Let String", "Null", "raised 94");
    // Double: 15 significant digits; exponent form from 1E+15 and below 1E-04.
    addText("Double fraction has a leading zero", "Double 0.5", "0.5");
    addText("Double negative fraction", "Double -0.25", "-0.25");
    addText("Double whole number", "Double 100", "100");
    addText("fifteen digits stay fixed", "Double 123456789012345", "123456789012345");
    addText("1E15 switches to exponent form", "Double 1e15", "1E+15");
    addText("negative fifteen nines stay fixed", "Double -999999999999999", "-999999999999999");
    addText("sixteen digits round to fifteen", "Double 1234567890123456", "1.23456789012346E+15");
    addText("1E-4 stays fixed", "Double 0.0001", "0.0001");
    addText("1E-5 switches to exponent form", "Double 0.00001", "1E-05");
    addText("negative exponent form", "Double -2.5e-10", "-2.5E-10");
    addText("three-digit exponent", "Double 1e100", "1E+100");
    addText("sum rounds to fifteen digits", "Double 0.30000000000000004", "0.3");
    addText("two thirds round up", "Double 0.666666666666666666", "0.666666666666667");
    addText("negative zero prints as 0", "Double -0", "0");
    addText("smallest Double", "Double 4.94065645841247E-324", "4.94065645841247E-324");
    addText("largest Double", "Double 1.7976931348623157E308", "1.79769313486232E+308");
    // Single: 7 significant digits.
    addText("Single 1E7 is exponent form", "Single 1e7", "1E+07");
    addText("Single seven digits stay fixed", "Single 1234567", "1234567");
    addText("Single 0.1 shows 7 digits", "Single 0.1", "0.1");
    addText("largest Single", "Single 3.4028235e38", "3.402823E+38");
    // Fixed-point kinds never use an exponent.
    addText("Currency smallest step", "Currency -0.0001", "-0.0001");
    addText("Currency largest", "Currency 922337203685477.5807", "922337203685477.5807");
    addText("Currency smallest", "Currency -922337203685477.5808", "-922337203685477.5808");
    addText("Decimal drops trailing zeros", "Decimal 1.50", "1.5");
    addText("Decimal tiny", "Decimal -0.0001", "-0.0001");
    addText("Decimal largest", "Decimal 79228162514264337593543950335", "79228162514264337593543950335");
    addText("Decimal 28 places", "Decimal 0.0000000000000000000000000001", "0.0000000000000000000000000001");
    // The other kinds; their text is in every outcome of the other tables.
    addText("Long", "Long 2147483647", "2147483647");
    // Dates: date only, time only, both.
    addText("whole day shows the date only", "Date 36526", "1/1/2000");
    addText("serial 0 shows midnight", "Date 0", "12:00:00 AM");
    addText("noon on day 0 shows the time only", "Date 0.5", "12:00:00 PM");
    addText("date and time", "Date 43832.5729166667", "1/2/2020 1:45:00 PM");
    addText("negative serial time counts away from zero", "Date -1.25", "12/29/1899 6:00:00 AM");
    addText("first valid day", "Date -657434", "1/1/100");
    addText("last valid second", "Date 2958465.99998843", "12/31/9999 11:59:59 PM");
    addConversion("Date past 9999 has no text", "CStr", "Date 2958466", "raised 6");
    // Val reads the number at the start of a text.
    addVal("digits then letters", "12abc", "Double: 12");
    addVal("minus alone is 0", "-", "Double: 0");
    addVal("empty text is 0", "", "Double: 0");
    addVal("letters are 0", "abc", "Double: 0");
    addVal("blanks anywhere are removed", " 1615 198th Street", "Double: 1615198");
    addVal("tabs and line feeds are removed", "\t1\n2", "Double: 12");
    addVal("comma ends the number", "1,000", "Double: 1");
    addVal("currency sign is not read", "$5", "Double: 0");
    addVal("second point ends the number", "1.2.3", "Double: 1.2");
    addVal("leading point", "-.5x", "Double: -0.5");
    addVal("plus sign", "+3", "Double: 3");
    addVal("exponent", "1e3", "Double: 1000");
    addVal("D exponent", "1d3", "Double: 1000");
    addVal("exponent without digits is ignored", "1e", "Double: 1");
    addVal("an integer type character after a fraction", "50.5%", "raised 13");
    addVal("four hex digits are 16 bits", "&HFFFF", "Double: -1");
    addVal("eight hex digits are 32 bits", "&HFFFFFFFF", "Double: -1");
    addVal("five hex digits stay positive", "&H10000", "Double: 65536");
    addVal("octal with O", "&O17", "Double: 15");
    addVal("octal without O", "&17", "Double: 15");
    addVal("hex stops at a non-digit", "&H1FZ", "Double: 31");
    addVal("too many hex digits overflow", "&H123456789", "raised 6");
    addVal("huge exponent overflows", "1E400", "raised 6");
    addVal("tiny exponent is 0", "1E-400", "Double: 0");
}

QTEST_GUILESS_MAIN(TestCoercion)
#include "TestCoercion.moc"
