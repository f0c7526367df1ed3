// Serial <-> calendar on the proleptic Gregorian calendar (days-from-civil arithmetic).
#include "value/DateSerial.h"

#include "value/Locale.h"

#include <cmath>

namespace reelkeep {
namespace {

// Days from 1 Jan 1970 to 30 Dec 1899.
constexpr std::int64_t EpochOffset = -25569;

std::int64_t floorDivide(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

std::int64_t daySerial(int year, int month, int day)
{
    const std::int64_t y = std::int64_t(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = floorDivide(y, 400);
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 - EpochOffset;
}

CivilDate civilDate(std::int64_t serial)
{
    const std::int64_t z = serial + EpochOffset + 719468;
    const std::int64_t era = floorDivide(z, 146097);
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    const int year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return CivilDate{year, month, day};
}

int weekdayOf(std::int64_t serial)
{
    // Serial 0, 30 Dec 1899, was a Saturday.
    return int(((serial + 6) % 7 + 7) % 7) + 1;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : Days[month - 1];
}

bool isValidDateSerial(double serial)
{
    if (!std::isfinite(serial))
        return false;
    const double day = std::trunc(serial);
    return day >= MinDateSerial && day <= MaxDateDay;
}

double joinSerial(std::int64_t day, double fraction)
{
    return day >= 0 ? double(day) + fraction : double(day) - fraction;
}

DateParts splitSerial(double serial)
{
    const double wholeDay = std::trunc(serial);
    std::int64_t day = std::int64_t(wholeDay);
    std::int64_t seconds = std::llround(std::fabs(serial - wholeDay) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    DateParts parts;
    parts.day = day;
    parts.date = civilDate(day);
    parts.time = TimeOfDay{int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60)};
    return parts;
}

double timeFraction(int hour, int minute, int second)
{
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

std::optional<double> dateSerial(int year, int month, int day)
{
    if (year >= 0 && year <= 99)
        year = fullYear(year);
    const std::int64_t monthIndex = std::int64_t(year) * 12 + (month - 1);
    const std::int64_t normalYear = floorDivide(monthIndex, 12);
    const int normalMonth = int(monthIndex - normalYear * 12) + 1;
    if (normalYear < -100000 || normalYear > 100000)
        return std::nullopt;
    const std::int64_t serial = daySerial(int(normalYear), normalMonth, 1) + (day - 1);
    if (serial < MinDateSerial || serial > MaxDateDay)
        return std::nullopt;
    return double(serial);
}

} // namespace reelkeep
