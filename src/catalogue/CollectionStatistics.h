// A collection's statistics: how many films fall in each genre, type and decade of release, and
// at each value of the list's rating and yes/no fields.
#pragma once

#include "catalogue/ExtraField.h"
#include "catalogue/FilmRecord.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace reelkeep {

/// One bar of a chart: the value it stands for, as people read it, and how many films hold it.
struct StatisticsBar
{
    QString label;
    qsizetype films = 0;

    bool operator==(const StatisticsBar&) const = default;
};

/// The films counted by the values of one field.
struct StatisticsGroup
{
    /// "Genre", "Type", "Decade of release", or an extra field's name with its kind's words in
    /// brackets, as the spreadsheet export heads its column: "Seen (yes/no)".
    QString title;
    QList<StatisticsBar> bars;

    bool operator==(const StatisticsGroup&) const = default;
};

struct CollectionStatistics
{
    qsizetype films = 0;
    QList<StatisticsGroup> groups;

    bool operator==(const CollectionStatistics&) const = default;
};

/// The films counted by genre, by type, by decade of release, then by each rating and yes/no
/// field of the list in the list's order.
/// - Genres and types group without regard to case and to spaces around and between words; a
///   bar shows the spelling most films use (on a tie the first in the list), and the bars go by
///   count, most films first, then by name, case aside, in the text collation that StrComp uses.
/// - Decades follow releaseYear(), oldest first.
/// - A rating field has a bar for each rating from 0 to 10 and a yes/no field "Yes" and "No", in
///   that order, with or without films.
/// - Films without a value come last, in "No genre", "No type", "Unknown" (no year in the
///   release) or "Not set", a bar there only when some film has no value; a genre or a type
///   typed as "No genre" or "No type" counts there too.
CollectionStatistics collectionStatistics(const QList<FilmRecord>& films, const ExtraFields& fields);

/// The year a free-text release names: its first run of exactly four digits that is a year from
/// 1800 to 2199 ("1985", "12 May 1985", "1985-05-12", "DVD 2003"); else a release of two digits
/// alone, with or without an apostrophe before them ("85", "'85"), read as the page generator
/// reads a two-digit year (00 to 29 in the 2000s, the others in the 1900s). Nothing otherwise.
std::optional<int> releaseYear(QStringView release);

/// The statistics as plain text: the film count on the first line, then each group after an
/// empty line, its title on a line of its own and each bar on a line as its count, a tab and its
/// label. A label holds no tab and no line break.
QString statisticsText(const CollectionStatistics& statistics);

} // namespace reelkeep
