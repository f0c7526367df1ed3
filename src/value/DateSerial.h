// The Date model: day serials counted from 30 December 1899 and the proleptic Gregorian calendar.
#pragma once

#include <cstdint>
#include <optional>

namespace reelkeep {

struct CivilDate
{
    int year = 1899;
    int month = 12;
    int day = 30;
};

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/// A Date serial taken apart: the calendar day and the time of day, rounded to the second.
struct DateParts
{
    CivilDate date;
    TimeOfDay time;
    std::int64_t day = 0; // the day's serial (0 = 30 Dec 1899)
};

inline constexpr double MinDateSerial = -657434.0; // 1 January 100
inline constexpr double MaxDateDay = 2958465.0;    // 31 December 9999

/// The serial of a calendar day (30 Dec 1899 is 0, 1 Jan 2000 is 36526); no range check.
std::int64_t daySerial(int year, int month, int day);
/// The calendar day of a day serial.
CivilDate civilDate(std::int64_t daySerial);
/// The weekday of a day serial, 1 = Sunday ... 7 = Saturday.
int weekdayOf(std::int64_t daySerial);
bool isLeapYear(int year);
int daysInMonth(int year, int month);

/// True when the serial's day lies from 1 Jan 100 to 31 Dec 9999.
bool isValidDateSerial(double serial);
/// Joins a day and a time of day (0 <= time < 1). Below zero the time counts away from zero,
/// so day -1 at 6 AM is -1.25.
double joinSerial(std::int64_t day, double timeFraction);
/// Splits a serial into day and time of day, the time rounded to the nearest second
/// (a time that rounds to midnight moves to the next day). -1.25 is 29 Dec 1899 6:00:00 AM.
DateParts splitSerial(double serial);
/// The time of day of hours, minutes and seconds as a fraction of a day.
double timeFraction(int hour, int minute, int second);

/// DateSerial(year, month, day): years 0-29 are 2000-2029 and 30-99 are 1930-1999; months and days
/// outside their ranges roll over into the neighbouring months and years. Empty when the
/// result lies outside 1 Jan 100 ... 31 Dec 9999.
std::optional<double> dateSerial(int year, int month, int day);

} // namespace reelkeep
