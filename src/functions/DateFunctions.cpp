// Date and time functions on Values.
#include "functions/DateFunctions.h"

#include "functions/Calendar.h"
#include "value/Coercion.h"
#include "value/DateSerial.h"
#include "value/RuntimeError.h"

#include <QHash>

#include <cmath>
#include <limits>
#include <optional>

namespace reelkeep {

namespace {

enum class Interval
{
    Year,
    Quarter,
    Month,
    DayOfYear,
    Day,
    Weekday,
    Week,
    Hour,
    Minute,
    Second,
};

Interval intervalOf(const QString& text)
{
    static const QHash<QString, Interval> intervals{
        {QStringLiteral("yyyy"), Interval::Year},
        {QStringLiteral("q"), Interval::Quarter},
        {QStringLiteral("m"), Interval::Month},
        {QStringLiteral("y"), Interval::DayOfYear},
        {QStringLiteral("d"), Interval::Day},
        {QStringLiteral("w"), Interval::Weekday},
        {QStringLiteral("ww"), Interval::Week},
        {QStringLiteral("h"), Interval::Hour},
        {QStringLiteral("n"), Interval::Minute},
        {QStringLiteral("s"), Interval::Second},
    };
    const auto found = intervals.constFind(text.toLower());
    if (found == intervals.constEnd())
        raise(ErrorNumber::InvalidProcedureCall);
    return *found;
}

// The parts of a date argument, or nothing for Null.
std::optional<DateParts> partsOf(const Value& date)
{
    const ResolvedValue value(date);
    if (value->isNull())
        return std::nullopt;
    return splitSerial(toDate(*value));
}

Value partOf(const Value& date, int (*part)(const DateParts&))
{
    const std::optional<DateParts> parts = partsOf(date);
    return parts ? Value::makeInteger(static_cast<std::int16_t>(part(*parts))) : Value::makeNull();
}

std::int64_t secondsOf(const DateParts& parts)
{
    return parts.day * 86400 + parts.time.hour * 3600 + parts.time.minute * 60 + parts.time.second;
}

std::int64_t floorDivide(std::int64_t number, std::int64_t divisor)
{
    const std::int64_t quotient = number / divisor;
    return quotient * divisor > number ? quotient - 1 : quotient;
}

std::int64_t boundaries(Interval interval, const DateParts& from, const DateParts& to, int firstDayOfWeek)
{
    const auto months = [](const DateParts& parts) {
        return std::int64_t(parts.date.year) * 12 + parts.date.month - 1;
    };
    switch (interval) {
    case Interval::Year:
        return to.date.year - from.date.year;
    case Interval::Quarter:
        return floorDivide(months(to), 3) - floorDivide(months(from), 3);
    case Interval::Month:
        return months(to) - months(from);
    case Interval::DayOfYear:
    case Interval::Day:
        return to.day - from.day;
    case Interval::Weekday:
        return (to.day - from.day) / 7;
    case Interval::Week:
        return (weekStart(to.day, firstDayOfWeek) - weekStart(from.day, firstDayOfWeek)) / 7;
    case Interval::Hour:
        return floorDivide(secondsOf(to), 3600) - floorDivide(secondsOf(from), 3600);
    case Interval::Minute:
        return floorDivide(secondsOf(to), 60) - floorDivide(secondsOf(from), 60);
    case Interval::Second:
        return secondsOf(to) - secondsOf(from);
    }
    return 0;
}

} // namespace

Value dateDiff(const QString& interval,
               const Value& from,
               const Value& to,
               std::int32_t firstDayOfWeek,
               std::int32_t firstWeekOfYear)
{
    const Interval unit = intervalOf(interval);
    const int weekFirstDay = resolveFirstDayOfWeek(firstDayOfWeek);
    resolveFirstWeekOfYear(firstWeekOfYear);
    const std::optional<DateParts> start = partsOf(from);
    const std::optional<DateParts> end = partsOf(to);
    if (!start || !end)
        return Value::makeNull();
    const std::int64_t count = boundaries(unit, *start, *end, weekFirstDay);
    if (count < std::numeric_limits<std::int32_t>::min() || count > std::numeric_limits<std::int32_t>::max())
        raise(ErrorNumber::Overflow);
    return Value::makeLong(static_cast<std::int32_t>(count));
}

Value datePart(const QString& interval,
               const Value& date,
               std::int32_t firstDayOfWeek,
               std::int32_t firstWeekOfYear)
{
    const Interval unit = intervalOf(interval);
    const int weekFirstDay = resolveFirstDayOfWeek(firstDayOfWeek);
    const int weekOneRule = resolveFirstWeekOfYear(firstWeekOfYear);
    const std::optional<DateParts> parts = partsOf(date);
    if (!parts)
        return Value::makeNull();
    int part = 0;
    switch (unit) {
    case Interval::Year:
        part = parts->date.year;
        break;
    case Interval::Quarter:
        part = quarterOf(parts->date.month);
        break;
    case Interval::Month:
        part = parts->date.month;
        break;
    case Interval::DayOfYear:
        part = dayOfYear(parts->day);
        break;
    case Interval::Day:
        part = parts->date.day;
        break;
    case Interval::Weekday:
        part = weekdayFrom(parts->day, weekFirstDay);
        break;
    case Interval::Week:
        part = weekOfYear(parts->day, weekFirstDay, weekOneRule);
        break;
    case Interval::Hour:
        part = parts->time.hour;
        break;
    case Interval::Minute:
        part = parts->time.minute;
        break;
    case Interval::Second:
        part = parts->time.second;
        break;
    }
    return Value::makeInteger(static_cast<std::int16_t>(part));
}

Value dateSerialDate(std::int16_t year, std::int16_t month, std::int16_t day)
{
    const std::optional<double> serial = dateSerial(year, month, day);
    if (!serial)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeDate(*serial);
}

Value dateValue(const QString& text)
{
    return Value::makeDate(std::trunc(toDate(Value::makeString(text))));
}

Value day(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.date.day; });
}

Value month(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.date.month; });
}

Value year(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.date.year; });
}

Value hour(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.time.hour; });
}

Value minute(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.time.minute; });
}

Value second(const Value& date)
{
    return partOf(date, [](const DateParts& parts) { return parts.time.second; });
}

Value weekday(const Value& date, std::int32_t firstDayOfWeek)
{
    const int weekFirstDay = resolveFirstDayOfWeek(firstDayOfWeek);
    const std::optional<DateParts> parts = partsOf(date);
    return parts ? Value::makeInteger(static_cast<std::int16_t>(weekdayFrom(parts->day, weekFirstDay)))
                 : Value::makeNull();
}

Value dateOf(const QDateTime& now)
{
    const QDate today = now.date();
    return Value::makeDate(double(daySerial(today.year(), today.month(), today.day())));
}

Value nowOf(const QDateTime& now)
{
    const QDate today = now.date();
    const std::int64_t daySerialNumber = daySerial(today.year(), today.month(), today.day());
    return Value::makeDate(joinSerial(daySerialNumber, timeOf(now).asDate()));
}

Value timeOf(const QDateTime& now)
{
    const QTime time = now.time();
    return Value::makeDate(timeFraction(time.hour(), time.minute(), time.second()));
}

} // namespace reelkeep
