// Calendar arithmetic shared by DatePart, DateDiff, Weekday and Format: weekdays counted from a
// chosen first day, weeks of the year under the three first-week rules, quarters.
#pragma once

#include <cstdint>

namespace reelkeep {

/// The first day of the week as the functions number it: 1 = Sunday ... 7 = Saturday; 0 means the
/// system's, which is Sunday.
/// Raises Invalid procedure call (5) outside 0 to 7. Returns 1 to 7.
int resolveFirstDayOfWeek(int firstDayOfWeek);

/// The first week of the year: 1 = the week holding 1 January, 2 = the first week with at least
/// four days in the year, 3 = the first full week; 0 means the system's, which is 1.
/// Raises Invalid procedure call (5) outside 0 to 3. Returns 1 to 3.
int resolveFirstWeekOfYear(int firstWeekOfYear);

/// The day of the week of a day serial counted from firstDayOfWeek (1 to 7): 1 ... 7.
int weekdayFrom(std::int64_t day, int firstDayOfWeek);

/// The day serial of the first day of the week on or before `day`.
std::int64_t weekStart(std::int64_t day, int firstDayOfWeek);

/// The week of the year of a day serial, 1 to 54, under a first-week rule (1 to 3): days before
/// week 1 belong to the last week of the previous year, and under rules 2 and 3 the last days
/// of December may belong to week 1 of the next year.
int weekOfYear(std::int64_t day, int firstDayOfWeek, int firstWeekOfYear);

/// The day of the year of a day serial, 1 to 366.
int dayOfYear(std::int64_t day);

/// The quarter of a month, 1 to 4.
constexpr int quarterOf(int month)
{
    return (month - 1) / 3 + 1;
}

} // namespace reelkeep
