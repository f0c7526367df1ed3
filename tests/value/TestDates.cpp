// The Date model: serials and the calendar, DateSerial roll-over, and date texts.
#include "ValueNotation.h"
#include "value/DateSerial.h"
#include "value/DateText.h"

#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestDates : public QObject
{
    Q_OBJECT

private slots:
    void serialsCountEveryDay();
    void weekdays();
    void dateSerialRollsOver_data();
    void dateSerialRollsOver();
    void parse_data();
    void parse();
    void parseUnderGermanLocale_data() { parse_data(); }
    void parseUnderGermanLocale()
    {
        underGermanLocale([this] { parse(); });
    }
    void yearFromTheClock();
};

// Every day from 1 January 100 to 31 December 9999 is one serial on from the day before, both ways,
// and day 0 is 30 December 1899.
void TestDates::serialsCountEveryDay()
{
    QCOMPARE(daySerial(1899, 12, 30), std::int64_t(0));
    CivilDate expected{100, 1, 1};
    for (std::int64_t serial = std::int64_t(MinDateSerial); serial <= std::int64_t(MaxDateDay); ++serial) {
        const CivilDate date = civilDate(serial);
        if (date.year != expected.year || date.month != expected.month || date.day != expected.day ||
            daySerial(expected.year, expected.month, expected.day) != serial)
            QFAIL(qPrintable(QStringLiteral("serial %1 is not the day after the one before").arg(serial)));
        if (++expected.day > daysInMonth(expected.year, expected.month)) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
    QCOMPARE(expected.year, 10000); // the last serial was 31 December 9999
}

void TestDates::weekdays()
{
    QCOMPARE(weekdayOf(0), 7);                       // 30 Dec 1899, a Saturday
    QCOMPARE(weekdayOf(-1), 6);                      // 29 Dec 1899, a Friday
    QCOMPARE(weekdayOf(daySerial(2020, 1, 5)), 1);   // a Sunday
    QCOMPARE(weekdayOf(daySerial(100, 1, 1)), 6);    // proleptic Gregorian: a Friday
    QCOMPARE(weekdayOf(daySerial(9999, 12, 31)), 6); // a Friday
}

void TestDates::dateSerialRollsOver_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all three arguments roll back") << 1990 - 10 << 8 - 2 << 1 - 1 << u"5/31/1980"_s;
    QTest::newRow("month 13 is January next year") << 2020 << 13 << 1 << u"1/1/2021"_s;
    QTest::newRow("month 0 is December last year") << 2020 << 0 << 1 << u"12/1/2019"_s;
    QTest::newRow("day 0 is the last of the previous month") << 2020 << 3 << 0 << u"2/29/2020"_s;
    QTest::newRow("day 35 rolls into the next month") << 2020 << 1 << 35 << u"2/4/2020"_s;
    QTest::newRow("negative month rolls back years") << 2020 << -13 << 1 << u"11/1/2018"_s;
    QTest::newRow("year 29 is 2029") << 29 << 1 << 1 << u"1/1/2029"_s;
    QTest::newRow("year 30 is 1930") << 30 << 1 << 1 << u"1/1/1930"_s;
    QTest::newRow("year 100 is taken as it is") << 100 << 1 << 1 << u"1/1/100"_s;
    QTest::newRow("beyond 9999 is no date") << 10000 << 1 << 1 << u"none"_s;
    QTest::newRow("rolling below year 100 is no date") << 100 << 1 << 0 << u"none"_s;
}

void TestDates::dateSerialRollsOver()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, expected);
    const std::optional<double> serial = dateSerial(year, month, day);
    QCOMPARE(serial ? dateText(*serial) : QStringLiteral("none"), expected);
}

void TestDates::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month first with slashes") << u"1/2/2020"_s << u"1/2/2020"_s;
    QTest::newRow("ISO order") << u"2020-01-02"_s << u"1/2/2020"_s;
    QTest::newRow("year first with slashes") << u"2020/1/2"_s << u"1/2/2020"_s;
    QTest::newRow("full month name") << u"January 2, 2020"_s << u"1/2/2020"_s;
    QTest::newRow("day before month abbreviation") << u"2 Jan 2020"_s << u"1/2/2020"_s;
    QTest::newRow("month abbreviation first") << u"Jan 2 2020"_s << u"1/2/2020"_s;
    QTest::newRow("abbreviation with a point") << u"Jan. 2, 2020"_s << u"1/2/2020"_s;
    QTest::newRow("dashes and month name") << u"2-jan-2020"_s << u"1/2/2020"_s;
    QTest::newRow("month and year") << u"Jan 2020"_s << u"1/1/2020"_s;
    QTest::newRow("24-hour time") << u"13:45"_s << u"1:45:00 PM"_s;
    QTest::newRow("12-hour time") << u"1:45 PM"_s << u"1:45:00 PM"_s;
    QTest::newRow("time with seconds and no space") << u"1:45:30pm"_s << u"1:45:30 PM"_s;
    QTest::newRow("hour with PM only") << u"3 PM"_s << u"3:00:00 PM"_s;
    QTest::newRow("midnight written 12 AM") << u"12:00 AM"_s << u"12:00:00 AM"_s;
    QTest::newRow("half past noon") << u"12:30 PM"_s << u"12:30:00 PM"_s;
    QTest::newRow("date and time") << u"1/2/2020 1:45:00 PM"_s << u"1/2/2020 1:45:00 PM"_s;
    QTest::newRow("time before the date") << u"13:45 1/2/2020"_s << u"1/2/2020 1:45:00 PM"_s;
    QTest::newRow("two-digit year 29 is 2029") << u"1/2/29"_s << u"1/2/2029"_s;
    QTest::newRow("two-digit year 30 is 1930") << u"1/2/30"_s << u"1/2/1930"_s;
    QTest::newRow("day beyond 12 first is read day first") << u"31/12/2020"_s << u"12/31/2020"_s;
    QTest::newRow("first valid day") << u"1/1/100"_s << u"1/1/100"_s;
    QTest::newRow("last valid day") << u"12/31/9999"_s << u"12/31/9999"_s;
    QTest::newRow("date before 1899 with a time") << u"1/1/1800 6:00 AM"_s << u"1/1/1800 6:00:00 AM"_s;
    QTest::newRow("a weekday name is not a date") << u"Thursday, January 2, 2020"_s << u"none"_s;
    QTest::newRow("a lone number is not a date") << u"1"_s << u"none"_s;
    QTest::newRow("a point between two numbers parts hour and minute") << u"2.5"_s << u"2:05:00 AM"_s;
    QTest::newRow("three numbers joined by points are a time") << u"04.28.14"_s << u"4:28:14 AM"_s;
    QTest::newRow("a lone p after a time is PM") << u"12:59 p"_s << u"12:59:00 PM"_s;
    QTest::newRow("two numbers that are no month and day are year and month") << u"30 2"_s << u"2/1/1930"_s;
    QTest::newRow("three numbers are read year first before day first") << u"14 2 3"_s << u"2/3/2014"_s;
    QTest::newRow("a time before two numbers of the date") << u"1.2 3 4"_s << u"3/4/2021 1:02:00 AM"_s;
    QTest::newRow("a time inside the date is no date") << u"1 2 am 3"_s << u"none"_s;
    QTest::newRow("February 30 is not a date") << u"2/30/2020"_s << u"none"_s;
    QTest::newRow("hour 25 is not a time") << u"25:00"_s << u"none"_s;
    QTest::newRow("minute 60 is not a time") << u"1:60"_s << u"none"_s;
    QTest::newRow("PM after hour 12 is ignored") << u"13:45 PM"_s << u"1:45:00 PM"_s;
    QTest::newRow("year 10000 is out of range") << u"1/1/10000"_s << u"none"_s;
    QTest::newRow("two month names") << u"Jan Feb 2020"_s << u"none"_s;
    QTest::newRow("words are not dates") << u"abc"_s << u"none"_s;
    QTest::newRow("empty text is not a date") << u""_s << u"none"_s;
    QTest::newRow("two times are not a date") << u"1:00 2:00"_s << u"none"_s;
}

void TestDates::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::optional<double> serial = parseDateText(text, 2021);
    QCOMPARE(serial ? dateText(*serial) : QStringLiteral("none"), expected);
}

void TestDates::yearFromTheClock()
{
    static int readings; // static: the source outlives this test if a comparison fails
    readings = 0;
    setCurrentYearSource([] {
        ++readings;
        return 2021;
    });
    const std::optional<double> serial = parseDateText(u"1/2");
    QVERIFY(serial);
    QCOMPARE(dateText(*serial), QStringLiteral("1/2/2021"));
    QCOMPARE(dateText(*parseDateText(u"January 2")), QStringLiteral("1/2/2021"));
    QCOMPARE(readings, 2);
    // A text with its year leaves the clock alone: reading it costs more than the parse.
    QCOMPARE(dateText(*parseDateText(u"1/2/2020")), QStringLiteral("1/2/2020"));
    QCOMPARE(dateText(*parseDateText(u"13:45")), QStringLiteral("1:45:00 PM"));
    QCOMPARE(readings, 2);
    setCurrentYearSource([] { return QDate::currentDate().year(); });
}

QTEST_GUILESS_MAIN(TestDates)
#include "TestDates.moc"
