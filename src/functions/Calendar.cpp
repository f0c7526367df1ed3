// Weekdays, weeks of the year and days of the year on day serials.
#include "functions/Calendar.h"

#include "value/DateSerial.h"
#include "value/Locale.h"
#include "value/RuntimeError.h"

namespace reelkeep {

namespace {

// The first day of week 1 of a year under a first-week rule.
std::int64_t firstWeekStart(int year, int firstDayOfWeek, int firstWeekOfYear)
{
    // Week 1 holds 1 January, or 4 January (its first four-day week), or starts on the first
    // first-day-of-week on or after 1 January (its first full week, which holds 7 January).
    static constexpr int DayInWeekOne[] = {0, 1, 4, 7};
    return weekStart(daySerial(year, 1, DayInWeekOne[firstWeekOfYear]), firstDayOfWeek);
}

} // namespace

int resolveFirstDayOfWeek(int firstDayOfWeek)
{
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7)
        raise(ErrorNumber::InvalidProcedureCall);
    return firstDayOfWeek == 0 ? locale().firstDayOfWeek : firstDayOfWeek;
}

int resolveFirstWeekOfYear(int firstWeekOfYear)
{
    if (firstWeekOfYear < 0 || firstWeekOfYear > 3)
        raise(ErrorNumber::InvalidProcedureCall);
    return firstWeekOfYear == 0 ? 1 : firstWeekOfYear;
}

int weekdayFrom(std::int64_t day, int firstDayOfWeek)
{
    return (weekdayOf(day) - firstDayOfWeek + 7) % 7 + 1;
}

std::int64_t weekStart(std::int64_t day, int firstDayOfWeek)
{
    return day - (weekdayFrom(day, firstDayOfWeek) - 1);
}

int weekOfYear(std::int64_t day, int firstDayOfWeek, int firstWeekOfYear)
{
    const int year = civilDate(day).year;
    std::int64_t start = firstWeekStart(year, firstDayOfWeek, firstWeekOfYear);
    if (day < start)
        start = firstWeekStart(year - 1, firstDayOfWeek, firstWeekOfYear);
    else if (firstWeekOfYear != 1 && day >= firstWeekStart(year + 1, firstDayOfWeek, firstWeekOfYear))
        return 1;
    return static_cast<int>((day - start) / 7) + 1;
}

int dayOfYear(std::int64_t day)
{
    return static_cast<int>(day - daySerial(civilDate(day).year, 1, 1)) + 1;
}

} // namespace reelkeep
