// Date and time functions: DateDiff, DatePart, DateSerial, DateValue, the date and time parts,
// and the current date and time.
#pragma once

#include "value/Value.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace reelkeep {

// The date arguments below are taken as is: Null gives Null; any other Value is Let-coerced to
// a Date (a text that is not a date raises Type mismatch (13), a number outside 1 Jan 100 ...
// 31 Dec 9999 Overflow (6)). Times count to the nearest second.

/// DateDiff: the Long number of interval boundaries crossed from `from` to `to`, negative when
/// `to` is earlier. "yyyy" years, "q" quarters, "m" months, "y" and "d" days, "w" whole weeks
/// (days \ 7), "ww" first days of the week, "h" hours, "n" minutes, "s" seconds; the interval in
/// any letter case. Invalid procedure call (5) for another interval, a first day of the week
/// outside 0 to 7 or a first week of the year outside 0 to 3; Overflow (6) beyond the Long range.
Value dateDiff(const QString& interval,
               const Value& from,
               const Value& to,
               std::int32_t firstDayOfWeek,
               std::int32_t firstWeekOfYear);
/// DatePart: one part of a date as an Integer: "yyyy" year, "q" quarter, "m" month, "y" day of
/// the year, "d" day, "w" weekday counted from the first day of the week, "ww" week of the year
/// under the first-week rule, "h", "n", "s" the time. Errors as dateDiff().
Value datePart(const QString& interval,
               const Value& date,
               std::int32_t firstDayOfWeek,
               std::int32_t firstWeekOfYear);
/// DateSerial: the Date of a year, month and day, with years 0-29 as 2000-2029 and 30-99 as
/// 1930-1999 and months and days beyond their ranges rolling into the neighbouring months and
/// years. Invalid procedure call (5) when the result is outside 1 Jan 100 ... 31 Dec 9999.
Value dateSerialDate(std::int16_t year, std::int16_t month, std::int16_t day);
/// DateValue: the day of a date text (its time dropped); Type mismatch (13) when the text is not
/// a date or time.
Value dateValue(const QString& text);

/// Day, Month, Year, Hour, Minute, Second: the Integer part of a date.
Value day(const Value& date);
Value month(const Value& date);
Value year(const Value& date);
Value hour(const Value& date);
Value minute(const Value& date);
Value second(const Value& date);
/// Weekday: the Integer day of the week counted from `firstDayOfWeek` (1 = Sunday, 0 the
/// system's); Invalid procedure call (5) outside 0 to 7.
Value weekday(const Value& date, std::int32_t firstDayOfWeek);

/// Date: the Date of the day of a clock reading, no time.
Value dateOf(const QDateTime& now);
/// Now: the Date of a clock reading, to the second.
Value nowOf(const QDateTime& now);
/// Time: the time of day of a clock reading, to the second, as a Date on day 0.
Value timeOf(const QDateTime& now);

} // namespace reelkeep
