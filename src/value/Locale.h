// The locale conventions of the runtime, in one place: a US English system.
#pragma once

#include <QString>

#include <array>

namespace reelkeep {

/// Every locale-dependent detail of number and date texts. The runtime reads them only through
/// locale(), so another locale means another instance of this structure, nothing more.
struct LocaleConventions
{
    enum class DateOrder
    {
        MonthDayYear,
        DayMonthYear,
        YearMonthDay,
    };

    QChar decimalSeparator;
    QChar thousandsSeparator;
    QString currencySymbol;
    DateOrder dateOrder;
    QChar dateSeparator;
    QChar timeSeparator;
    bool twelveHourClock;
    QString amText;
    QString pmText;
    std::array<QString, 12> monthNames;
    std::array<QString, 12> monthAbbreviations;
    std::array<QString, 7> dayNames; // Sunday first
    std::array<QString, 7> dayAbbreviations;
    int firstDayOfWeek; // 1 = Sunday
    /// Two-digit years below this are 20xx, the others 19xx.
    int twoDigitYearPivot;
    /// The locale of the text collation used by StrComp in text mode.
    QString collationLocale;
    /// The date/time formats behind Format's named formats Long Date, Medium Date, Medium Time
    /// and Short Time, written in Format's own date tokens.
    QString longDateFormat;
    QString mediumDateFormat;
    QString mediumTimeFormat;
    QString shortTimeFormat;
};

/// The conventions in force: decimal ".", thousands ",", currency "$", short date M/d/yyyy,
/// long time h:mm:ss AM/PM, Sunday the first day of the week, years 00-29 as 20xx.
const LocaleConventions& locale();

/// The year that a year written with two digits (0 to 99) stands for: below the locale's pivot
/// 20xx, else 19xx.
inline int fullYear(int twoDigitYear)
{
    return twoDigitYear + (twoDigitYear < locale().twoDigitYearPivot ? 2000 : 1900);
}

} // namespace reelkeep
