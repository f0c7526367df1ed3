// Date texts: the text form of a Date serial and the parser behind CDate and DateValue.
#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace reelkeep {

/// The text form of a Date (locale conventions): the short date alone for a whole day
/// ("1/2/2020"), the long time alone when the day is 30 Dec 1899 ("1:45:00 PM", serial 0 gives
/// "12:00:00 AM"), otherwise both ("1/2/2020 1:45:00 PM"). A serial outside 1 Jan 100 ...
/// 31 Dec 9999 has no text: Overflow (6).
QString dateText(double serial);
/// The short date of a serial's day: "1/2/2020", "1/1/100".
QString shortDateText(double serial);
/// The long time of a serial's time of day: "1:45:00 PM".
QString longTimeText(double serial);

/// Reads a date, a time, or both, as CDate, DateValue and IsDate accept them: "1/2/2020" (month
/// first), "2020-01-02", "January 2, 2020", "2 Jan 2020", "Jan 2 2020", "13:45", "1:45 PM",
/// "1/2/2020 1:45:00 PM". Numbers joined by ":" or "." are a time ("2.5" is 2:05 AM, "1.5.2"
/// 1:05:02 AM), "AM", "PM", "A" or "P" after a time of at most 12 hours sets its half of the day,
/// and the time stands before or after the date, never inside it. Two numbers that cannot be
/// month and day are year and month ("30 2" is February 1930). Two-digit years 00-29 are 20xx
/// and 30-99 19xx; a date without a year takes `currentYear`. A lone number and texts naming a
/// weekday are not dates. Empty when the text is not a date or lies outside 1 Jan 100 ...
/// 31 Dec 9999.
std::optional<double> parseDateText(QStringView text, int currentYear);
/// parseDateText() with the current year from the clock set by setCurrentYearSource().
std::optional<double> parseDateText(QStringView text);

/// Sets where a date text without a year takes its year from (the desktop's clock); by default
/// the system clock.
void setCurrentYearSource(std::function<int()> source);

} // namespace reelkeep
