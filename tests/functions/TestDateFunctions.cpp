// The date and time functions: DateDiff and DatePart under every interval and week rule,
// DateSerial's roll-over, DateValue, the date parts and the clock.
#include "FunctionCall.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;

class TestDateFunctions : public QObject
{
    Q_OBJECT

private slots:
    void dateDiff_data();
    void dateDiff() { checkCall(); }
    void datePart_data();
    void datePart() { checkCall(); }
    void weekOfYear_data();
    void weekOfYear() { checkCall(); }
    void dateSerial_data();
    void dateSerial() { checkCall(); }
    void dateParts_data();
    void dateParts() { checkCall(); }
    void clock_data();
    void clock() { checkCall(); }
};

void TestDateFunctions::dateDiff_data()
{
    addCallColumns();
    // Boundaries crossed, not amounts elapsed.
    addCall("yyyy counts new years",
            "datediff",
            {"String yyyy", "String 12/31/2019", "String 1/1/2020"},
            "Long: 1");
    addCall("yyyy within a year is 0",
            "datediff",
            {"String yyyy", "String 1/1/2020", "String 12/31/2020"},
            "Long: 0");
    addCall(
        "q counts new quarters", "datediff", {"String q", "String 3/31/2020", "String 4/1/2020"}, "Long: 1");
    addCall("q within a quarter is 0",
            "datediff",
            {"String q", "String 1/1/2020", "String 3/31/2020"},
            "Long: 0");
    addCall("q backwards is negative",
            "datediff",
            {"String q", "String 4/1/2020", "String 3/31/2020"},
            "Long: -1");
    addCall("q across years", "datediff", {"String q", "String 12/31/2019", "String 1/1/2021"}, "Long: 5");
    addCall(
        "m counts new months", "datediff", {"String m", "String 1/31/2020", "String 2/1/2020"}, "Long: 1");
    addCall("m across years backwards",
            "datediff",
            {"String m", "String 2/1/2021", "String 12/31/2019"},
            "Long: -14");
    addCall("d ignores the times",
            "datediff",
            {"String d", "String 1/1/2020 23:00", "String 1/2/2020 01:00"},
            "Long: 1");
    addCall(
        "y counts days like d", "datediff", {"String y", "String 1/1/2020", "String 3/1/2020"}, "Long: 60");
    addCall(
        "w counts whole weeks", "datediff", {"String w", "String 1/5/2020", "String 1/11/2020"}, "Long: 0");
    addCall(
        "w counts a full week", "datediff", {"String w", "String 1/5/2020", "String 1/12/2020"}, "Long: 1");
    addCall("w backwards truncates toward zero",
            "datediff",
            {"String w", "String 1/12/2020", "String 1/4/2020"},
            "Long: -1");
    addCall("ww counts Sundays crossed",
            "datediff",
            {"String ww", "String 1/4/2020", "String 1/5/2020"},
            "Long: 1");
    addCall(
        "ww within a week is 0", "datediff", {"String ww", "String 1/5/2020", "String 1/11/2020"}, "Long: 0");
    addCall("ww counts Mondays with Monday first",
            "datediff",
            {"String ww", "String 1/4/2020", "String 1/5/2020", "Double 2"},
            "Long: 0");
    addCall("ww crosses a Monday with Monday first",
            "datediff",
            {"String ww", "String 1/4/2020", "String 1/6/2020", "Double 2"},
            "Long: 1");
    addCall("ww counts Thursdays with Thursday first",
            "datediff",
            {"String ww", "String 1/1/2020", "String 1/2/2020", "Double 5"},
            "Long: 1");
    addCall("ww backwards is negative",
            "datediff",
            {"String ww", "String 1/5/2020", "String 1/4/2020"},
            "Long: -1");
    addCall("h counts hour boundaries",
            "datediff",
            {"String h", "String 1/1/2020 10:59:59", "String 1/1/2020 11:00:00"},
            "Long: 1");
    addCall("h across days",
            "datediff",
            {"String h", "String 1/1/2020 23:30", "String 1/2/2020 00:10"},
            "Long: 1");
    addCall("n counts minute boundaries",
            "datediff",
            {"String n", "String 10:00:59", "String 10:01:00"},
            "Long: 1");
    addCall("s counts seconds", "datediff", {"String s", "String 10:00:00", "String 10:01:01"}, "Long: 61");
    addCall("h before 1900 reads the time away from zero",
            "datediff",
            {"String h", "Date -1.25", "Date 0.25"},
            "Long: 24");
    addCall("the interval in capitals",
            "datediff",
            {"String YYYY", "String 1/1/2019", "String 1/1/2020"},
            "Long: 1");
    addCall(
        "a numeric date is a serial", "datediff", {"String d", "Double 0", "Double 43832"}, "Long: 43832");
    addCall("a Null date gives Null", "datediff", {"String d", "Null", "String 1/1/2020"}, "Null: ");
    addCall("an unknown interval is an invalid call",
            "datediff",
            {"String x", "Double 1", "Double 2"},
            "raised 5");
    addCall("a first day of the week of 8 is an invalid call",
            "datediff",
            {"String d", "Double 1", "Double 2", "Double 8"},
            "raised 5");
    addCall("a first week of the year of 4 is an invalid call",
            "datediff",
            {"String d", "Double 1", "Double 2", "Double 1", "Double 4"},
            "raised 5");
    addCall("a text that is no date is a type mismatch",
            "datediff",
            {"String d", "String abc", "Double 2"},
            "raised 13");
    addCall("seconds across the whole range overflow",
            "datediff",
            {"String s", "Date -657434", "Date 2958465"},
            "raised 6");
}

void TestDateFunctions::datePart_data()
{
    addCallColumns();
    // Thursday 2 January 2020, 1:45:30 PM.
    addCall("yyyy is the year", "datepart", {"String yyyy", "String 1/2/2020 13:45:30"}, "Integer: 2020");
    addCall("q is the quarter", "datepart", {"String q", "String 5/1/2020"}, "Integer: 2");
    addCall("m is the month", "datepart", {"String m", "String 5/1/2020"}, "Integer: 5");
    addCall("y is the day of the year", "datepart", {"String y", "String 12/31/2020"}, "Integer: 366");
    addCall("d is the day", "datepart", {"String d", "String 12/31/2020"}, "Integer: 31");
    addCall("w is the weekday from Sunday", "datepart", {"String w", "String 1/2/2020"}, "Integer: 5");
    addCall("w is the weekday from Monday",
            "datepart",
            {"String w", "String 1/2/2020", "Double 2"},
            "Integer: 4");
    addCall("w from the system's first day is from Sunday",
            "datepart",
            {"String w", "String 1/2/2020", "Double 0"},
            "Integer: 5");
    addCall("w from Saturday", "datepart", {"String w", "String 1/2/2020", "Double 7"}, "Integer: 6");
    addCall("w of a Thursday counted from day 1",
            "datepart",
            {"String w", "String 1/2/2020", "Double 1"},
            "Integer: 5");
    addCall("w of a Thursday counted from day 2",
            "datepart",
            {"String w", "String 1/2/2020", "Double 2"},
            "Integer: 4");
    addCall("w of a Thursday counted from day 3",
            "datepart",
            {"String w", "String 1/2/2020", "Double 3"},
            "Integer: 3");
    addCall("w of a Thursday counted from day 4",
            "datepart",
            {"String w", "String 1/2/2020", "Double 4"},
            "Integer: 2");
    addCall("w of a Thursday counted from day 5",
            "datepart",
            {"String w", "String 1/2/2020", "Double 5"},
            "Integer: 1");
    addCall("w of a Thursday counted from day 6",
            "datepart",
            {"String w", "String 1/2/2020", "Double 6"},
            "Integer: 7");
    addCall("w of a Thursday counted from day 7",
            "datepart",
            {"String w", "String 1/2/2020", "Double 7"},
            "Integer: 6");
    addCall("h is the hour", "datepart", {"String h", "String 1/2/2020 13:45:30"}, "Integer: 13");
    addCall("n is the minute", "datepart", {"String n", "String 1/2/2020 13:45:30"}, "Integer: 45");
    addCall("s is the second", "datepart", {"String s", "String 1/2/2020 13:45:30"}, "Integer: 30");
    addCall("a Null date gives Null", "datepart", {"String d", "Null"}, "Null: ");
    addCall("an unknown interval is an invalid call", "datepart", {"String yy", "Double 1"}, "raised 5");
    addCall("a first day of the week of -1 is an invalid call",
            "datepart",
            {"String w", "Double 1", "Double -1"},
            "raised 5");
}

void TestDateFunctions::weekOfYear_data()
{
    addCallColumns();
    // Rule 1: week 1 holds 1 January.
    addCall("the first Sunday starts week 2", "datepart", {"String ww", "String 1/5/2020"}, "Integer: 2");
    addCall("a leap year starting on Saturday reaches week 54",
            "datepart",
            {"String ww", "String 12/31/2000"},
            "Integer: 54");
    // Rule 2: week 1 is the first with four days in the year.
    addCall("four-day rule starts week 1 on 4 January 2021",
            "datepart",
            {"String ww", "String 1/4/2021", "Double 2", "Double 2"},
            "Integer: 1");
    addCall("four-day rule puts late December in week 1",
            "datepart",
            {"String ww", "String 12/29/2003", "Double 2", "Double 2"},
            "Integer: 1");
    addCall("four-day rule from Sunday",
            "datepart",
            {"String ww", "String 12/29/2019", "Double 1", "Double 2"},
            "Integer: 1");
    // Rule 3: week 1 is the first full week.
    addCall("full-week rule puts 1 January 2020 in week 52",
            "datepart",
            {"String ww", "String 1/1/2020", "Double 1", "Double 3"},
            "Integer: 52");
    addCall("full-week rule reaches week 53",
            "datepart",
            {"String ww", "String 12/31/2018", "Double 2", "Double 3"},
            "Integer: 53");
    addCall("a Thursday starts a week when weeks start on Thursday",
            "datepart",
            {"String ww", "String 1/2/2020", "Double 5"},
            "Integer: 2");
    addCall("four-day rule from Saturday: a full week starting 1 January is week 1",
            "datepart",
            {"String ww", "String 1/1/2022", "Double 7", "Double 2"},
            "Integer: 1");
    addCall("four-day rule from Saturday: the day before is in week 52",
            "datepart",
            {"String ww", "String 12/31/2021", "Double 7", "Double 2"},
            "Integer: 52");
    addCall("a first week of the year of 4 is an invalid call",
            "datepart",
            {"String ww", "Double 1", "Double 1", "Double 4"},
            "raised 5");
}

void TestDateFunctions::dateSerial_data()
{
    addCallColumns();
    addCall("a plain date", "dateserial", {"Double 2020", "Double 1", "Double 2"}, "Date: 1/2/2020");
    addCall("numeric text is read", "dateserial", {"String 2020", "String 1", "String 2"}, "Date: 1/2/2020");
    addCall("a year after 9999 is an invalid call",
            "dateserial",
            {"Double 10000", "Double 1", "Double 1"},
            "raised 5");
    addCall("a day beyond the Integer range overflows",
            "dateserial",
            {"Double 2020", "Double 1", "Double 32768"},
            "raised 6");
    addCall("datevalue drops the time", "datevalue", {"String 1/2/2020 13:45"}, "Date: 1/2/2020");
    addCall("datevalue of a long date", "datevalue", {"String January 2, 2020"}, "Date: 1/2/2020");
    addCall("datevalue of a time alone is day 0", "datevalue", {"String 13:45"}, "Date: 12:00:00 AM");
    addCall("datevalue of a text that is no date", "datevalue", {"String abc"}, "raised 13");
    addCall("datevalue of an impossible time", "datevalue", {"String 1/2/2020 89:98"}, "raised 13");
}

void TestDateFunctions::dateParts_data()
{
    addCallColumns();
    addCall("day", "day", {"String 1/2/2020 13:45:30"}, "Integer: 2");
    addCall("month", "month", {"String 1/2/2020"}, "Integer: 1");
    addCall("year", "year", {"Date 43832.5"}, "Integer: 2020");
    addCall("hour", "hour", {"String 1:45:30 PM"}, "Integer: 13");
    addCall("minute", "minute", {"String 1:45:30 PM"}, "Integer: 45");
    addCall("second", "second", {"String 1:45:30 PM"}, "Integer: 30");
    addCall("weekday of a Thursday", "weekday", {"String 1/2/2020"}, "Integer: 5");
    addCall("weekday before 1900", "weekday", {"Date -1.25"}, "Integer: 6");
    addCall("a number is a serial", "day", {"Double 43832"}, "Integer: 2");
    addCall("a time that rounds to midnight moves to the next day",
            "day",
            {"Date 43832.999999999"},
            "Integer: 3");
    addCall("hour of a time that rounds to midnight", "hour", {"Date 0.999999999"}, "Integer: 0");
    addCall("hour of Empty is midnight", "hour", {"Empty"}, "Integer: 0");
    addCall("day of Null is Null", "day", {"Null"}, "Null: ");
    addCall("day of a text that is no date", "day", {"String abc"}, "raised 13");
    addCall("day of a number beyond the Date range overflows", "day", {"Double 10000000"}, "raised 6");
    addCall("month of an Error Value is a type mismatch", "month", {"Error 5"}, "raised 13");
}

void TestDateFunctions::clock_data()
{
    addCallColumns();
    addCall("date is the day of the clock", "date", {}, "Date: 1/2/2020");
    addCall("now is the clock to the second", "now", {}, "Date: 1/2/2020 1:45:30 PM");
    addCall("time is the time of day alone", "time", {}, "Date: 1:45:30 PM");
}

QTEST_GUILESS_MAIN(TestDateFunctions)
#include "TestDateFunctions.moc"
