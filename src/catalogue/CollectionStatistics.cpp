// Counting a collection's films by genre, type, decade of release and the values of its rating and
// yes/no fields, and the counts as text.
#include "catalogue/CollectionStatistics.h"

#include "value/Compare.h"
#include "value/Locale.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <map>

namespace reelkeep {

namespace {

/// How a group turns values into bars.
enum class Bars
{
    /// One bar for each text, most films first.
    TextsByCount,
    /// One bar for each decade a release names, oldest first.
    Decades,
    /// One bar for each rating from 0 to 10.
    Ratings,
    /// "Yes" and "No".
    YesNo,
};

/// Every fact about one group of the statistics: a field of the seventeen, or each extra field of
/// a kind.
struct GroupFacts
{
    std::optional<Field> field;
    std::optional<ExtraKind> kind;
    /// The group's title for a field; an extra field's group is titled by the field.
    QStringView title;
    Bars bars;
    /// The bar of the films that hold no value the other bars count.
    QStringView noValue;
};

// The groups in the order the statistics show them, the extra fields' in the list's order.
constexpr std::array<GroupFacts, 5> Groups = {{
    {Field::Genre, std::nullopt, u"Genre", Bars::TextsByCount, u"No genre"},
    {Field::Type, std::nullopt, u"Type", Bars::TextsByCount, u"No type"},
    {Field::Release, std::nullopt, u"Decade of release", Bars::Decades, u"Unknown"},
    {std::nullopt, ExtraKind::Rating, {}, Bars::Ratings, u"Not set"},
    {std::nullopt, ExtraKind::YesNo, {}, Bars::YesNo, u"Not set"},
}};

const GroupFacts* groupOfKind(ExtraKind kind)
{
    const auto found = std::find_if(
        Groups.begin(), Groups.end(), [kind](const GroupFacts& group) { return group.kind == kind; });
    return found == Groups.end() ? nullptr : &*found;
}

bool isDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

// A text's spellings of one value, and how many films use each.
struct Spellings
{
    qsizetype films = 0;
    QList<StatisticsBar> spelt;

    void add(const QString& spelling)
    {
        ++films;
        for (StatisticsBar& known : spelt) {
            if (known.label == spelling) {
                ++known.films;
                return;
            }
        }
        spelt.append({spelling, 1});
    }

    /// The spelling most films use; the first met of those that tie.
    const QString& commonest() const
    {
        return std::max_element(spelt.begin(),
                                spelt.end(),
                                [](const auto& left, const auto& right) { return left.films < right.films; })
            ->label;
    }
};

bool beforeByCount(const StatisticsBar& left, const StatisticsBar& right)
{
    if (left.films != right.films)
        return left.films > right.films;
    const int byName = compareStrings(left.label, right.label, CompareMode::Text);
    return byName != 0 ? byName < 0 : left.label < right.label;
}

// The values' texts on one line, grouped without regard to case; the keys keep the order in which
// each group was first met, so that spellings tie by it.
QList<StatisticsBar> textBars(const QStringList& values, qsizetype& noValue)
{
    QHash<QString, Spellings> byKey;
    for (const QString& value : values) {
        const QString spelling = value.simplified();
        if (spelling.isEmpty())
            ++noValue;
        else
            byKey[spelling.toCaseFolded()].add(spelling);
    }
    QList<StatisticsBar> bars;
    bars.reserve(byKey.size());
    for (const Spellings& spellings : std::as_const(byKey))
        bars.append({spellings.commonest(), spellings.films});
    std::sort(bars.begin(), bars.end(), beforeByCount);
    return bars;
}

QList<StatisticsBar> decadeBars(const QStringList& values, qsizetype& noValue)
{
    std::map<int, qsizetype> byDecade;
    for (const QString& value : values) {
        if (const std::optional<int> year = releaseYear(value))
            ++byDecade[*year / 10 * 10];
        else
            ++noValue;
    }
    QList<StatisticsBar> bars;
    for (const auto& [decade, films] : byDecade)
        bars.append({QStringLiteral("%1s").arg(decade), films});
    return bars;
}

// A bar for each canonical value in `keys`, labelled by `labels`, whether films hold it or not.
QList<StatisticsBar>
fixedBars(const QStringList& values, const QStringList& keys, const QStringList& labels, qsizetype& noValue)
{
    QList<StatisticsBar> bars;
    for (const QString& label : labels)
        bars.append({label, 0});
    for (const QString& value : values) {
        const qsizetype bar = keys.indexOf(value);
        if (bar >= 0)
            ++bars[bar].films;
        else
            ++noValue;
    }
    return bars;
}

QList<StatisticsBar> countBars(Bars bars, const QStringList& values, qsizetype& noValue)
{
    static const QStringList Ratings = [] {
        QStringList ratings;
        for (int rating = 0; rating <= 10; ++rating)
            ratings.append(QString::number(rating));
        return ratings;
    }();
    switch (bars) {
    case Bars::TextsByCount:
        return textBars(values, noValue);
    case Bars::Decades:
        return decadeBars(values, noValue);
    case Bars::Ratings:
        return fixedBars(values, Ratings, Ratings, noValue);
    case Bars::YesNo:
        return fixedBars(values,
                         {QStringLiteral("yes"), QStringLiteral("no")},
                         {QStringLiteral("Yes"), QStringLiteral("No")},
                         noValue);
    }
    return {};
}

// Takes out the bar of a text that says no value ("No genre" typed as a genre), as its films say
// what an empty value does and a chart tells its bars apart by their labels; its films.
qsizetype takeTypedNoValue(QList<StatisticsBar>& bars, QStringView noValue)
{
    const auto typed = std::find_if(bars.begin(), bars.end(), [noValue](const StatisticsBar& bar) {
        return bar.label.compare(noValue, Qt::CaseInsensitive) == 0;
    });
    if (typed == bars.end())
        return 0;
    const qsizetype films = typed->films;
    bars.erase(typed);
    return films;
}

StatisticsGroup countGroup(const GroupFacts& facts, const QString& title, const QStringList& values)
{
    qsizetype noValue = 0;
    StatisticsGroup group{title, countBars(facts.bars, values, noValue)};
    noValue += takeTypedNoValue(group.bars, facts.noValue);
    if (noValue > 0)
        group.bars.append({facts.noValue.toString(), noValue});
    return group;
}

} // namespace

CollectionStatistics collectionStatistics(const QList<FilmRecord>& films, const ExtraFields& fields)
{
    CollectionStatistics statistics{films.size(), {}};
    QStringList values;
    values.reserve(films.size());
    for (const GroupFacts& facts : Groups) {
        if (!facts.field)
            continue;
        values.clear();
        for (const FilmRecord& film : films)
            values.append(film[*facts.field]);
        statistics.groups.append(countGroup(facts, facts.title.toString(), values));
    }
    for (qsizetype field = 0; field < fields.size(); ++field) {
        const GroupFacts* facts = groupOfKind(fields[field].kind);
        if (!facts)
            continue;
        values.clear();
        for (const FilmRecord& film : films)
            values.append(film.extraValue(field));
        statistics.groups.append(countGroup(*facts, headerOfExtraField(fields[field]), values));
    }
    return statistics;
}

std::optional<int> releaseYear(QStringView release)
{
    for (qsizetype start = 0; start < release.size();) {
        qsizetype end = start;
        while (end < release.size() && isDigit(release[end]))
            ++end;
        if (end - start == 4) {
            const int year = release.sliced(start, 4).toInt();
            if (year >= 1800 && year <= 2199)
                return year;
        }
        start = end > start ? end : start + 1;
    }
    QStringView twoDigits = release.trimmed();
    if (twoDigits.startsWith(u'\'') || twoDigits.startsWith(u'\u2019'))
        twoDigits = twoDigits.sliced(1);
    if (twoDigits.size() != 2 || !isDigit(twoDigits[0]) || !isDigit(twoDigits[1]))
        return std::nullopt;
    return fullYear(twoDigits.toInt());
}

QString statisticsText(const CollectionStatistics& statistics)
{
    QString text = filmCountText(statistics.films) + u'\n';
    for (const StatisticsGroup& group : statistics.groups) {
        text += u'\n' + group.title + u'\n';
        for (const StatisticsBar& bar : group.bars)
            text += QStringLiteral("%1\t%2\n").arg(bar.films).arg(bar.label);
    }
    return text;
}

} // namespace reelkeep
