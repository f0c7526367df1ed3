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
    void dateSerial_data();
    void dateSerial() { checkCall(); }
    void dateParts_data();
    void dateParts() { checkCall(); }
};

void TestDateFunctions::dateDiff_data()
{
    addCallColumns();
    const auto diff = callsOf("datediff");
    // Boundaries crossed, not amounts elapsed.
    diff("yyyy counts new years", {"String yyyy", "String 12/31/2019", "String 1/1/2020"}, "Long: 1");
    diff("yyyy within a year is 0", {"String yyyy", "String 1/1/2020", "String 12/31/2020"}, "Long: 0");
    diff("q counts new quarters", {"String q", "String 3/31/2020", "String 4/1/2020"}, "Long: 1");
    diff("q within a quarter is 0", {"String q", "String 1/1/2020", "String 3/31/2020"}, "Long: 0");
    diff("q backwards is negative", {"String q", "String 4/1/2020", "String 3/31/2020"}, "Long: -1");
    diff("q across years", {"String q", "String 12/31/2019", "String 1/1/2021"}, "Long: 5");
    diff("m counts new months", {"String m", "String 1/31/2020", "String 2/1/2020"}, "Long: 1");
    diff("m across years backwards", {"String m", "String 2/1/2021", "String 12/31/2019"}, "Long: -14");
    diff("d ignores the times", {"String d", "String 1/1/2020 23:00", "String 1/2/2020 01:00"}, "Long: 1");
    diff("y counts days like d", {"String y", "String 1/1/2020", "String 3/1/2020"}, "Long: 60");
    diff("w counts whole weeks", {"String w", "String 1/5/2020", "String 1/11/2020"}, "Long: 0");
    diff("w counts a full week", {"String w", "String 1/5/2020", "String 1/12/2020"}, "Long: 1");
    diff("w backwards truncates", {"String w", "String 1/12/2020", "String 1/4/2020"}, "Long: -1");
    diff("ww counts Sundays crossed", {"String ww", "String 1/4/2020", "String 1/5/2020"}, "Long: 1");
    diff("ww within a week is 0", {"String ww", "String 1/5/2020", "String 1/11/2020"}, "Long: 0");
    diff("ww from Monday", {"String ww", "String 1/4/2020", "String 1/5/2020", "Double 2"}, "Long: 0");
    diff(
        "ww from Monday crosses", {"String ww", "String 1/4/2020", "String 1/6/2020", "Double 2"}, "Long: 1");
    diff("ww from Thursday", {"String ww", "String 1/1/2020", "String 1/2/2020", "Double 5"}, "Long: 1");
    diff("ww backwards is negative", {"String ww", "String 1/5/2020", "String 1/4/2020"}, "Long: -1");
    diff("h boundaries", {"String h", "String 1/1/2020 10:59:59", "String 1/1/2020 11:00:00"}, "Long: 1");
    diff("h across days", {"String h", "String 1/1/2020 23:30", "String 1/2/2020 00:10"}, "Long: 1");
    diff("n counts minute boundaries", {"String n", "String 10:00:59", "String 10:01:00"}, "Long: 1");
    diff("s counts seconds", {"String s", "String 10:00:00", "String 10:01:01"}, "Long: 61");
    diff("h before 1900 reads the time away from zero", {"String h", "Date -1.25", "Date 0.25"}, "Long: 24");
    diff("the interval in capitals", {"String YYYY", "String 1/1/2019", "String 1/1/2020"}, "Long: 1");
    diff("a numeric date is a serial", {"String d", "Double 0", "Double 43832"}, "Long: 43832");
    diff("a Null date gives Null", {"String d", "Null", "String 1/1/2020"}, "Null: ");
    diff("an unknown interval is an invalid call", {"String x", "Double 1", "Double 2"}, "raised 5");
    diff("first day 8 raises 5", {"String d", "Double 1", "Double 2", "Double 8"}, "raised 5");
    diff("first week 4 raises 5", {"String d", "Double 1", "Double 2", "Double 1", "Double 4"}, "raised 5");
    diff("a text that is no date is a type mismatch", {"String d", "String abc", "Double 2"}, "raised 13");
    diff("seconds across the whole range overflow", {"String s", "Date -657434", "Date 2958465"}, "raised 6");
}

void TestDateFunctions::datePart_data()
{
    addCallColumns();
    const auto part = callsOf("datepart");
    // Thursday 2 January 2020, 1:45:30 PM.
    part("yyyy is the year", {"String yyyy", "String 1/2/2020 13:45:30"}, "Integer: 2020");
    part("q is the quarter", {"String q", "String 5/1/2020"}, "Integer: 2");
    part("m is the month", {"String m", "String 5/1/2020"}, "Integer: 5");
    part("y is the day of the year", {"String y", "String 12/31/2020"}, "Integer: 366");
    part("d is the day", {"String d", "String 12/31/2020"}, "Integer: 31");
    part("w is the weekday from Sunday", {"String w", "String 1/2/2020"}, "Integer: 5");
    part("w of a Thursday counted from day 2", {"String w", "String 1/2/2020", "Double 2"}, "Integer: 4");
    part("w of a Thursday counted from day 5", {"String w", "String 1/2/2020", "Double 5"}, "Integer: 1");
    part("w of a Thursday counted from day 6", {"String w", "String 1/2/2020", "Double 6"}, "Integer: 7");
    part("w of a Thursday counted from day 7", {"String w", "String 1/2/2020", "Double 7"}, "Integer: 6");
    part("h is the hour", {"String h", "String 1/2/2020 13:45:30"}, "Integer: 13");
    part("n is the minute", {"String n", "String 1/2/2020 13:45:30"}, "Integer: 45");
    part("s is the second", {"String s", "String 1/2/2020 13:45:30"}, "Integer: 30");
    part("a Null date gives Null", {"String d", "Null"}, "Null: ");
    part("an unknown interval is an invalid call", {"String yy", "Double 1"}, "raised 5");
    part("first day -1 raises 5", {"String w", "Double 1", "Double -1"}, "raised 5");
    // ww, the week of the year.
    // Rule 1: week 1 holds 1 January.
    part("the first Sunday starts week 2", {"String ww", "String 1/5/2020"}, "Integer: 2");
    // Rule 2: week 1 is the first with four days in the year.
    part("four-day week 1 of 2021", {"String ww", "String 1/4/2021", "Double 2", "Double 2"}, "Integer: 1");
    part("four-day from Sunday", {"String ww", "String 12/29/2019", "Double 1", "Double 2"}, "Integer: 1");
    // Rule 3: week 1 is the first full week.
    part("full-week reaches 53", {"String ww", "String 12/31/2018", "Double 2", "Double 3"}, "Integer: 53");
    part("ww of a Thursday from Thursday", {"String ww", "String 1/2/2020", "Double 5"}, "Integer: 2");
    part("four-day rule from Saturday: a full week starting 1 January is week 1",
         {"String ww", "String 1/1/2022", "Double 7", "Double 2"},
         "Integer: 1");
    part("four-day rule from Saturday: the day before is in week 52",
         {"String ww", "String 12/31/2021", "Double 7", "Double 2"},
         "Integer: 52");
    part("first week 4 raises 5", {"String ww", "Double 1", "Double 1", "Double 4"}, "raised 5");
}

void TestDateFunctions::dateSerial_data()
{
    addCallColumns();
    addCall("a plain date", "dateserial", {"Double 2020", "Double 1", "Double 2"}, "Date: 1/2/2020");
    addCall("numeric text is read", "dateserial", {"String 2020", "String 1", "String 2"}, "Date: 1/2/2020");
    addCall("year 10000 raises 5", "dateserial", {"Double 10000", "Double 1", "Double 1"}, "raised 5");
    addCall("day 32768 overflows", "dateserial", {"Double 2020", "Double 1", "Double 32768"}, "raised 6");
    addCall("datevalue drops the time", "datevalue", {"String 1/2/2020 13:45"}, "Date: 1/2/2020");
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
    addCall("rounding to midnight is the next day", "day", {"Date 43832.999999999"}, "Integer: 3");
    addCall("hour of a time that rounds to midnight", "hour", {"Date 0.999999999"}, "Integer: 0");
    addCall("hour of Empty is midnight", "hour", {"Empty"}, "Integer: 0");
    addCall("day of Null is Null", "day", {"Null"}, "Null: ");
    addCall("day of a text that is no date", "day", {"String abc"}, "raised 13");
    addCall("day of a number beyond the Date range overflows", "day", {"Double 10000000"}, "raised 6");
    addCall("month of an Error Value is a type mismatch", "month", {"Error 5"}, "raised 13");
    // The clock.
    addCall("date is the day of the clock", "date", {}, "Date: 1/2/2020");
    addCall("now is the clock to the second", "now", {}, "Date: 1/2/2020 1:45:30 PM");
    addCall("time is the time of day alone", "time", {}, "Date: 1:45:30 PM");
}

QTEST_GUILESS_MAIN(TestDateFunctions)
#include "TestDateFunctions.moc"
