// Format: named formats, user-defined number, date/time and text formats, the first day of the
// week and first week of the year, once more under German conventions.
#include "ValueNotation.h"
#include "functions/Format.h"
#include "value/DateSerial.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments() { verify(); }
    void namedFormats_data();
    void namedFormats() { verify(); }
    void numbers_data();
    void numbers() { verify(); }
    void dates_data();
    void dates() { verify(); }
    void textFormats_data();
    void textFormats() { verify(); }
    void numbersUnderGermanLocale_data() { numbers_data(); }
    void numbersUnderGermanLocale() { underGermanLocale(verify); }
    void datesUnderGermanLocale_data() { dates_data(); }
    void datesUnderGermanLocale() { underGermanLocale(verify); }

private:
    static void verify();
};

namespace {

void addColumns()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("format"); // "~omitted" leaves it out, "~Integer 0" passes that Value
    QTest::addColumn<int>("firstDay");
    QTest::addColumn<int>("firstWeek");
    QTest::addColumn<QString>("expected"); // the text, "Null", or "raised N"
}

void addWeekCase(const char* rule,
                 const QString& value,
                 const char* format,
                 int firstDay,
                 int firstWeek,
                 const char* expected)
{
    QTest::newRow(rule) << value << QString::fromUtf8(format) << firstDay << firstWeek
                        << QString::fromUtf8(expected);
}

void addCase(const char* rule, const QString& value, const char* format, const char* expected)
{
    addWeekCase(rule, value, format, 1, 1, expected);
}

// The notation of a Date Value at a calendar day and time of day.
QString date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    const double serial = joinSerial(daySerial(year, month, day), timeFraction(hour, minute, second));
    return QStringLiteral("Date ") + QString::number(serial, 'g', 17);
}

// Thursday 2 January 2020, 1:45:07 PM.
QString sample()
{
    return date(2020, 1, 2, 13, 45, 7);
}

std::optional<Value> formatArgument(const QString& format)
{
    if (!format.startsWith(u'~'))
        return Value::makeString(format);
    if (format == QStringLiteral("~omitted"))
        return std::nullopt;
    return valueOf(format.mid(1));
}

} // namespace

void TestFormat::verify()
{
    QFETCH(QString, value);
    QFETCH(QString, format);
    QFETCH(int, firstDay);
    QFETCH(int, firstWeek);
    QFETCH(QString, expected);
    const QString line =
        outcome([&] { return Format(valueOf(value), formatArgument(format), firstDay, firstWeek); });
    QCOMPARE(line == u"Null: "              ? QStringLiteral("Null")
             : line.startsWith(u"String: ") ? line.mid(8)
                                            : line,
             expected);
}

void TestFormat::arguments_data()
{
    addColumns();
    addCase("a fraction keeps its leading zero", "Double 0.5", "~omitted", "0.5");
    addCase("a Date shows the general date", sample(), "~omitted", "1/2/2020 1:45:07 PM");
    addCase("a text comes back unchanged", "String  hello ", "~omitted", " hello ");
    addCase("Empty is the empty text", "Empty", "~omitted", "");
    addCase("Null stays Null", "Null", "~omitted", "Null");
    addCase("an empty format is no format", "Double 1234.5", "", "1234.5");
    // The format, first day of week and first week arguments.
    addWeekCase("a first day of week above 7", sample(), "ww", 8, 1, "raised 5");
    addWeekCase("a negative first day of week", sample(), "ww", -1, 1, "raised 5");
    addWeekCase("a first week of year above 3", sample(), "ww", 1, 4, "raised 5");
    addWeekCase("the first week is checked without a format", sample(), "~omitted", 1, 4, "raised 5");
    addCase("a Null format is an invalid use of Null", "Double 5", "~Null", "raised 94");
    addCase("a numeric format value is its text", "Double 5.4", "~Integer 0", "5");
    addCase("an Empty format is no format", "Double 5.4", "~Empty", "5.4");
    QTest::newRow("a long format is cut to 257 characters")
        << QStringLiteral("Double 5") << QString(257, u'x') + u'0' << 1 << 1 << QString(257, u'x');
}

void TestFormat::namedFormats_data()
{
    addColumns();
    addCase("General Number has no separators", "Double 1234567.5", "General Number", "1234567.5");
    addCase("General Number of a large value", "Double 1E+20", "General Number", "1E+20");
    addCase("Currency", "Double 1234.5", "Currency", "$1,234.50");
    addCase("Currency of a negative value in parentheses", "Double -1234.5", "Currency", "($1,234.50)");
    addCase("Fixed keeps one integer digit", "Double 0.5", "Fixed", "0.50");
    addCase("Fixed has no separators", "Double 1234.5", "Fixed", "1234.50");
    addCase("Standard groups thousands", "Double 1234567.891", "Standard", "1,234,567.89");
    addCase("Percent", "Double 0.1234", "Percent", "12.34%");
    addCase("Scientific", "Double 1234.5", "Scientific", "1.23E+03");
    addCase("Scientific of a small value", "Double 0.000123", "Scientific", "1.23E-04");
    addCase("Yes/No of a fraction", "Double 0.1", "Yes/No", "Yes");
    addCase("True/False of zero", "Integer 0", "True/False", "False");
    addCase("On/Off of Empty", "Empty", "On/Off", "Off");
    addCase("named formats ignore letter case", "Double 1234.5", "sTaNdArD", "1,234.50");
    addCase("a named format keeps Null", "Null", "Standard", "Null");
    addCase("a named number format leaves a word alone", "String abc", "Fixed", "abc");
    addCase("a numeric text under a named format", "String 1,234.5", "Standard", "1,234.50");
    // Named date formats.
    addCase("General Date", sample(), "General Date", "1/2/2020 1:45:07 PM");
    addCase("Long Date", sample(), "Long Date", "Thursday, January 02, 2020");
    addCase("Medium Date", sample(), "Medium Date", "02-Jan-20");
    addCase("Short Date", sample(), "Short Date", "1/2/2020");
    addCase("Long Time", sample(), "Long Time", "1:45:07 PM");
    addCase("Medium Time is on the 12-hour clock", sample(), "Medium Time", "01:45 PM");
    addCase("Short Time is on the 24-hour clock", sample(), "Short Time", "13:45");
    addCase("a text that is no date comes back", "String hello", "Short Date", "hello");
    addCase("a serial beyond 9999 overflows", "Double 3000000", "Short Date", "raised 6");
}

void TestFormat::numbers_data()
{
    addColumns();
    addCase("one section gives a negative value a minus", "Double -5", "0", "-5");
    addCase("the minus goes before the literals", "Double -5", "$0.00", "-$5.00");
    addCase("two sections: negative loses its sign", "Double -5", "0;(0)", "(5)");
    addCase("two sections: zero takes the first", "Double 0", "0;(0)", "0");
    addCase("three sections: zero takes the third", "Double 0", "0;(0);\\Z\\e\\r\\o", "Zero");
    addCase("three sections: positive takes the first", "Double 7", "0;(0);\\Z\\e\\r\\o", "7");
    addCase("empty negative section: first with minus", "Double -1234", "$#,##0;;\\Z\\e\\r\\o", "-$1,234");
    addCase("an empty zero section reuses the first", "Double 0", "0.0;(0.0);", "0.0");
    addCase("the section is chosen before rounding", "Double 0.001", "0.00;(0.00);\\Z", "0.00");
    addCase("a small negative keeps its minus", "Double -0.001", "0.00", "-0.00");
    addCase("a small negative takes the negative section", "Double -0.001", "0.00;(0.00);\\Z", "(0.00)");
    addCase("Null takes the fourth section", "Null", "0;0;0;\\N\\o\\n\\e", "None");
    addCase("Null without a fourth section is Null", "Null", "0;(0);\\Z", "Null");
    addCase("Empty takes the zero section", "Empty", "0;(0);\\Z", "Z");
    addCase("a semicolon inside quotes is no separator", "Double -5", "0\";\"0", "-0;5");
    addCase("an escaped semicolon is no separator", "Double 12", "0\\;0", "1;2");
    // Rounding.
    addCase("half rounds away from zero", "Double 2.5", "0", "3");
    addCase("a negative half rounds away from zero", "Double -2.5", "0", "-3");
    addCase("the decimal text decides, not the binary value", "Double 2.675", "0.00", "2.68");
    addCase("a carry adds an integer digit", "Double 9.996", "0.00", "10.00");
    addCase("a carry through every digit", "Double 999.5", "#,##0", "1,000");
    addCase("Currency rounds on its exact value", "Currency 0.125", "0.00", "0.13");
    addCase("Decimal keeps all its digits",
            "Decimal 12345678901234567890.125",
            "#,##0.00",
            "12,345,678,901,234,567,890.13");
    addCase("a Single shows its seven digits", "Single 1.1", "0.000000000", "1.100000000");
    addCase("Double has 15 digits", "Double 0.1", "0.00000000000000000000", "0.10000000000000000000");
    addCase("a large Double is written out", "Double 1E+20", "0", "100000000000000000000");
    addCase("a small value rounds to zero", "Double 0.0004", "0.000", "0.000");
    addCase("a negative that rounds to zero keeps its minus", "Double -0.4", "0", "-0");
    // Digit placeholders.
    addCase("zeros pad in front", "Integer 123", "00000", "00123");
    addCase("zeros pad behind the point", "Double 334.9", "###0.00", "334.90");
    addCase("number signs show no leading zero", "Double 0.5", "#.##", ".5");
    addCase("number signs drop trailing zeros", "Double 1.5", "0.##", "1.5");
    addCase("a number sign before a later zero shows its digit", "Double 1", "0.#0#", "1.00");
    addCase("the point stays without fraction digits", "Double 1", "0.##", "1.");
    addCase("a trailing point is shown", "Double 5", "#.", "5.");
    addCase("zero under number signs is empty", "Double 0", "#", "");
    addCase("zero under a zero placeholder", "Double 0", "0", "0");
    addCase("a fraction format without integer placeholders", "Double 12.5", ".00", "12.50");
    addCase("a leading zero from the first zero placeholder", "Double 0.25", "#0.00", "0.25");
    addCase("literals between placeholders", "Double 5551234567", "(###) ###-####", "(555) 123-4567");
    addCase("literals between placeholders of a short number", "Double 12", "#-#", "1-2");
    addCase("the leftmost placeholder takes the surplus digits", "Long 123456", "#-#", "12345-6");
    // Thousands separators and scaling.
    addCase("grouping every three digits", "Double 1234567", "#,##0", "1,234,567");
    addCase("grouping a small number adds nothing", "Double 5", "#,##0", "5");
    addCase("grouping the padding zeros", "Double 5", "0,000", "0,005");
    addCase("two trailing commas divide by a million", "Double 100000000", "##0,,", "100");
    addCase("scaling rounds half away from zero", "Double 500000", "##0,,", "1");
    addCase("scaling below half gives zero", "Double 499999", "##0,,", "0");
    addCase("a comma before the point divides by 1000", "Double 12345", "0,.0", "12.3");
    addCase("grouping and scaling together", "Double 1234567890", "#,##0,,", "1,235");
    addCase("grouping a negative", "Double -1234", "#,##0", "-1,234");
    // Percent and scientific notation.
    addCase("percent multiplies by 100", "Double 5", "0.00%", "500.00%");
    addCase("percent rounds after multiplying", "Double 0.125", "0%", "13%");
    addCase("percent where it stands", "Double 0.5", "%0", "%50");
    addCase("two percents multiply twice", "Double 0.01", "0%%", "100%%");
    addCase("E+ always signs", "Double 1234.5", "0.00E+00", "1.23E+03");
    addCase("E- signs only negative exponents", "Double 1234.5", "0.00E-00", "1.23E03");
    addCase("E- with a negative exponent", "Double 0.00012345", "0.00E-00", "1.23E-04");
    addCase("lower-case e", "Double 1234.5", "0.00e+0", "1.23e+3");
    addCase("exponent digits are a minimum", "Double 1E+100", "0.00E+0", "1.00E+100");
    addCase("a number sign adds no exponent digit", "Double 1.7", "0.0E+0#", "1.7E+0");
    addCase("rounding the mantissa up moves the exponent", "Double 9.96", "0.0E+00", "1.0E+01");
    addCase("two integer placeholders in the mantissa", "Double 1234.5", "00.0E+0", "12.3E+2");
    addCase("scientific zero", "Double 0", "0E+0", "0E+0");
    addCase("scientific negative", "Double -1234.5", "0.00E+00", "-1.23E+03");
    addCase("E without a sign is a literal", "Double 5", "0E", "5E");
    addCase("E+ without a placeholder after it is a literal", "Double 5", "0E+", "5E+");
    // Literals.
    addCase("a backslash shows the next character", "Double 5", "\\x0", "x5");
    addCase("an escaped percent does not scale", "Double 5", "0\\%", "5%");
    addCase("an escaped zero is no placeholder", "Double 5", "\\00", "05");
    addCase("a quoted text", "Double 5", "\"Total: \"0", "Total: 5");
    addCase("a quoted placeholder prints as itself", "Double 5", "0\" #0\"", "5 #0");
    addCase("two backslashes show one", "Double 5", "0\\\\", "5\\");
    addCase("signs, dollar, parentheses and spaces are literals", "Double 5", "+$ (0)", "+$ (5)");
    addCase("a colon prints the time separator", "Double 5", "0:0", "0:5");
    addCase("a slash prints the date separator", "Double 12", "0/0", "1/2");
    addCase("an unclosed quote runs to the end", "Double 5", "0\" kg", "5 kg");
    // The kinds of value formatted as numbers.
    addCase("a numeric text is formatted as a number", "String 12.5", "0.00", "12.50");
    addCase("a text with currency and separators", "String $1,000", "0", "1000");
    addCase("a text that is no number comes back", "String abc", "0.00", "abc");
    addCase("True is -1", "Boolean True", "0", "-1");
    addCase("a Date is its serial", "Date 36526.25", "0.00", "36526.25");
    addCase("Byte", "Byte 255", "0000", "0255");
    addCase("Integer", "Integer -32768", "#,##0", "-32,768");
    addCase("Long", "Long 2147483647", "#,##0", "2,147,483,647");
    addCase("Currency 4 places", "Currency 922337203685477.5807", "#,##0.0000", "922,337,203,685,477.5807");
    addCase("an Error Value shows its text", "Error 13", "0.00", "Error 13");
    addCase("an object's default value", "Object 5", "0.00", "5.00");
}

void TestFormat::dates_data()
{
    addColumns();
    addCase("d dd ddd dddd", sample(), "d dd ddd dddd", "2 02 Thu Thursday");
    addCase("ddddd is the short date", sample(), "ddddd", "1/2/2020");
    addCase("aaaa is the weekday name", sample(), "aaaa", "Thursday");
    addCase("dddddd is the long date", sample(), "dddddd", "Thursday, January 02, 2020");
    addCase("w counts from Sunday", sample(), "w", "5");
    addCase("m mm mmm", sample(), "m mm mmm", "1 01 Jan");
    addCase("mmmm", date(2020, 9, 1), "mmmm", "September");
    addCase("q", date(2020, 8, 31), "q", "3");
    addCase("y is the day of the year", date(2020, 12, 31), "y", "366");
    addCase("yy", date(2005, 6, 1), "yy", "05");
    addCase("yyyy of an early year has three digits", date(100, 1, 1), "yyyy", "100");
    addCase("h hh n nn s ss", date(2020, 1, 2, 7, 5, 3), "h hh n nn s ss", "7 07 5 05 3 03");
    addCase("ttttt is the long time", sample(), "ttttt", "1:45:07 PM");
    addCase("c shows date and time", sample(), "c", "1/2/2020 1:45:07 PM");
    addCase("c of a whole day", date(2020, 1, 2), "c", "1/2/2020");
    addCase("c of a time only", "Date 0.75", "c", "6:00:00 PM");
    addCase("tokens ignore letter case", sample(), "DD/MM/YYYY HH:NN", "02/01/2020 13:45");
    addCase("the reference example", date(1993, 1, 27), "dddd, mmm d yyyy", "Wednesday, Jan 27 1993");
    addCase("separators and literals", sample(), "yyyy-mm-dd\\Thh:nn:ss", "2020-01-02T13:45:07");
    addCase("a quoted literal", sample(), "\"Day \"d", "Day 2");
    addCase("an escaped token letter", sample(), "\\d d", "d 2");
    addCase("serial zero", "Date 0", "yyyy-mm-dd hh:nn", "1899-12-30 00:00");
    addCase("negative serial time forward", "Date -1.25", "yyyy-mm-dd hh:nn", "1899-12-29 06:00");
    addCase("rounding to midnight is the next day", "Date 43832.999999999", "d hh:nn:ss", "3 00:00:00");
    addCase("a number is a serial", "Double 36526.75", "yyyy-mm-dd hh:nn", "2000-01-01 18:00");
    addCase("a date text is read", "String 2020-01-02 13:45", "d mmm yyyy h:nn", "2 Jan 2020 13:45");
    addCase("a text that is no date comes back", "String hello", "yyyy", "hello");
    addCase("Empty is 30 December 1899", "Empty", "d/m/yyyy", "30/12/1899");
    addCase("Null is Null", "Null", "yyyy", "Null");
    addCase("three y are two-digit year and day of year", date(2020, 2, 1), "yyy", "2032");
    addCase("too many d stop at six", date(2020, 1, 2), "ddddddd", "Thursday, January 02, 20202");
    // AM and PM markers.
    addCase("AM/PM in the afternoon", sample(), "h AM/PM", "1 PM");
    addCase("am/pm in lower case", sample(), "h am/pm", "1 pm");
    addCase("A/P", sample(), "h A/P", "1 P");
    addCase("a/p", sample(), "h a/p", "1 p");
    addCase("AMPM gives the locale texts", sample(), "h AMPM", "1 PM");
    addCase("midnight is 12 AM", date(2020, 1, 2, 0, 30), "hh:nn AM/PM", "12:30 AM");
    addCase("noon is 12 PM", date(2020, 1, 2, 12, 0), "h AM/PM", "12 PM");
    addCase("morning", date(2020, 1, 2, 9, 15), "h:nn a/p", "9:15 a");
    addCase("without a marker the clock has 24 hours", date(2020, 1, 2, 17, 4, 23), "h:m:s", "17:4:23");
    addCase("a marker before the hour still sets the clock", sample(), "AM/PM h", "PM 1");
    addCase("a lone A is a literal", sample(), "A h", "A 13");
    // m right after h is the minute.
    addCase("m after h is the minute", date(2020, 3, 4, 5, 6, 7), "h:m", "5:6");
    addCase("mm after hh is the minute", date(2020, 3, 4, 5, 6, 7), "hh:mm", "05:06");
    addCase("mm before ss is still the month", date(2020, 3, 4, 5, 6, 7), "mm:ss", "03:07");
    addCase("m alone is the month", date(2020, 3, 4, 5, 6, 7), "m/d", "3/4");
    addCase("literals between hour and m", date(2020, 3, 4, 5, 6, 7), "h\" h \"m", "5 h 6");
    addCase("mmm after h is still the month", date(2020, 3, 4, 5, 6, 7), "h mmm", "5 Mar");
    addCase("a month after a date token", date(2020, 3, 4, 5, 6, 7), "d m h", "4 3 5");
    addCase("month, then hour and minute", date(2020, 3, 4, 5, 6, 7), "m/d h:mm", "3/4 5:06");
    // The first day of the week and the first week of the year.
    // Friday 1 January 2021: only two days of that week lie in 2021.
    const QString newYear2021 = date(2021, 1, 1);
    addWeekCase("ww: the week holding 1 January is week 1", newYear2021, "ww", 1, 1, "1");
    addWeekCase("ww: a two-day week is not a four-day week", newYear2021, "ww", 1, 2, "53");
    addWeekCase("ww: a two-day week is not a full week", newYear2021, "ww", 1, 3, "52");
    addWeekCase("ww: the system rule is 1 January", newYear2021, "ww", 0, 0, "1");
    addWeekCase("ww: Monday weeks, four-day rule, end of 2020", date(2020, 12, 31), "ww", 2, 2, "53");
    addWeekCase("ww: Monday weeks, four-day rule, next year's week 1", date(2019, 12, 30), "ww", 2, 2, "1");
    addWeekCase("ww: the first full week starts on its first Sunday", date(2020, 1, 5), "ww", 1, 3, "1");
    addWeekCase("ww: days before the first full week", date(2020, 1, 4), "ww", 1, 3, "52");
    addWeekCase("ww: 54 weeks in a leap year starting on a Saturday", date(2000, 12, 31), "ww", 1, 1, "54");
    addWeekCase("w: Monday first makes Thursday the fourth day", sample(), "w", 2, 1, "4");
    addWeekCase("w: Saturday first", sample(), "w", 7, 1, "6");
    addWeekCase("w: the system first day is Sunday", sample(), "w", 0, 1, "5");
    addWeekCase("the week arguments leave other tokens alone", sample(), "d/m", 2, 3, "2/1");
}

void TestFormat::textFormats_data()
{
    addColumns();
    addCase("@ fills from the right with spaces", "String ab", "@@@@", "  ab");
    addCase("! fills from the left", "String ab", "!@@@@", "ab  ");
    addCase("& shows nothing for a missing character", "String ab", "&&&&", "ab");
    addCase("a long text fills from its first character", "String abcdef", "@-@", "a-bcdef");
    addCase("the rest of a long text follows the section", "String abcdef", "!(@-@)", "(a-b)cdef");
    addCase("placeholders and literals", "String 1234567890", "@@@-@@@-@@@@", "123-456-7890");
    addCase("< forces lower case", "String HELLO", "<", "hello");
    addCase("> forces upper case", "String This is it", ">", "THIS IS IT");
    addCase("> with placeholders", "String abc", ">@@@@@", "  ABC");
    addCase("of < and > the first applies", "String MiXed", "<@@@@@>", "mixed");
    addCase("a literal around placeholders", "String abc", "(@@@@)", "( abc)");
    addCase("the second section serves the empty text", "String ", "@;\\e\\m\\p\\t\\y", "empty");
    addCase("the second section serves Null", "Null", "@;\\n\\u\\l\\l", "null");
    addCase("Null without a second section is Null", "Null", "@@", "Null");
    addCase("Empty is the empty text", "Empty", "@@@", "   ");
    addCase("a number shows its text", "Integer 123", "@@@@@", "  123");
    addCase("a Boolean shows its name", "Boolean True", "@@@@@@", "  True");
    addCase("a Date shows its text", date(2020, 1, 2), ">@", "1/2/2020");
}

QTEST_GUILESS_MAIN(TestFormat)
#include "TestFormat.moc"
