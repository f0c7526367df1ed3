// The US English conventions.
#include "value/Locale.h"

namespace reelkeep {

const LocaleConventions& locale()
{
    static const LocaleConventions usEnglish{
        u'.',
        u',',
        QStringLiteral("$"),
        LocaleConventions::DateOrder::MonthDayYear,
        u'/',
        u':',
        true,
        QStringLiteral("AM"),
        QStringLiteral("PM"),
        {QStringLiteral("January"),
         QStringLiteral("February"),
         QStringLiteral("March"),
         QStringLiteral("April"),
         QStringLiteral("May"),
         QStringLiteral("June"),
         QStringLiteral("July"),
         QStringLiteral("August"),
         QStringLiteral("September"),
         QStringLiteral("October"),
         QStringLiteral("November"),
         QStringLiteral("December")},
        {QStringLiteral("Jan"),
         QStringLiteral("Feb"),
         QStringLiteral("Mar"),
         QStringLiteral("Apr"),
         QStringLiteral("May"),
         QStringLiteral("Jun"),
         QStringLiteral("Jul"),
         QStringLiteral("Aug"),
         QStringLiteral("Sep"),
         QStringLiteral("Oct"),
         QStringLiteral("Nov"),
         QStringLiteral("Dec")},
        {QStringLiteral("Sunday"),
         QStringLiteral("Monday"),
         QStringLiteral("Tuesday"),
         QStringLiteral("Wednesday"),
         QStringLiteral("Thursday"),
         QStringLiteral("Friday"),
         QStringLiteral("Saturday")},
        {QStringLiteral("Sun"),
         QStringLiteral("Mon"),
         QStringLiteral("Tue"),
         QStringLiteral("Wed"),
         QStringLiteral("Thu"),
         QStringLiteral("Fri"),
         QStringLiteral("Sat")},
        1,
        30,
        QStringLiteral("en_US"),
        QStringLiteral("dddd, mmmm dd, yyyy"),
        QStringLiteral("dd-mmm-yy"),
        QStringLiteral("hh:mm AM/PM"),
        QStringLiteral("hh:mm"),
    };
    return usEnglish;
}

} // namespace reelkeep
