// A collection's statistics: how values group into bars, the order of the bars, and the films
// without a value.
#include "catalogue/CollectionStatistics.h"
#include "support/ListFiles.h"

#include <QTest>

using namespace reelkeep;
using namespace reelkeep::test;
using namespace Qt::StringLiterals;

class TestCollectionStatistics : public QObject
{
    Q_OBJECT

private slots:
    void bars_data();
    void bars();
};

static void addBars(const char* rule, const QString& group, const QStringList& values, const QString& bars)
{
    QTest::newRow(rule) << group << values << bars;
}

void TestCollectionStatistics::bars_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("values"); // each film's value in the group's field
    QTest::addColumn<QString>("bars");       // each bar as "label count", separated by "|"

    addBars("case and spaces make one genre, spelt as most films spell it",
            u"Genre"_s,
            {u"drama"_s, u"Drama"_s, u" Drama "_s, u"Science  fiction"_s, u"science\tfiction"_s},
            u"Drama 3|Science fiction 2"_s);
    addBars("genres of as many films go by name, case aside",
            u"Genre"_s,
            {u"Western"_s, u"alien"_s, u"Action"_s, u"Noir"_s, u"noir"_s},
            u"Noir 2|Action 1|alien 1|Western 1"_s);
    addBars(
        "films without a type come last", u"Type"_s, {QString(), u"DVD"_s, u"  "_s}, u"DVD 1|No type 2"_s);
    addBars("a genre typed as no genre counts with those left empty",
            u"Genre"_s,
            {u"no genre"_s, QString(), u"Drama"_s},
            u"Drama 1|No genre 2"_s);
    addBars("an empty collection has no genres", u"Genre"_s, {}, QString());
    addBars("a four-digit year anywhere in the release, oldest decade first",
            u"Decade of release"_s,
            {u"1985"_s, u"12 May 1979"_s, u"1985-05-12"_s, u"DVD 2003"_s, u"0815 print of 1959, 2004"_s},
            u"1950s 1|1970s 1|1980s 2|2000s 1"_s);
    addBars("two digits alone take the page generator's century",
            u"Decade of release"_s,
            {u"85"_s, u"'29"_s, u"\u201930"_s},
            u"1930s 1|1980s 1|2020s 1"_s);
    addBars("a release without a year is unknown",
            u"Decade of release"_s,
            {QString(), u"102 min"_s, u"12345"_s, u"1799"_s, u"05/12/85"_s, u"1988"_s},
            u"1980s 1|Unknown 5"_s);
    addBars("every rating has a bar, films or none",
            u"Stars (rating)"_s,
            {u"7"_s, u"10"_s, u"7"_s, QString()},
            u"0 0|1 0|2 0|3 0|4 0|5 0|6 0|7 2|8 0|9 0|10 1|Not set 1"_s);
    addBars("yes before no", u"Seen (yes/no)"_s, {u"no"_s, u"yes"_s, u"yes"_s}, u"Yes 2|No 1"_s);
}

// Each film holds the row's value in its genre, type and release, and in the list's rating and
// yes/no fields; a text field has no chart.
void TestCollectionStatistics::bars()
{
    QFETCH(QString, group);
    QFETCH(QStringList, values);
    QFETCH(QString, bars);
    QList<FilmRecord> films;
    for (const QString& value : values) {
        FilmRecord film = filmOf({u"Title"_s, value, value, QString(), value});
        film.extra = {value, value, value};
        films.append(film);
    }
    const ExtraFields fields = {
        {u"Shelf"_s, ExtraKind::Text}, {u"Stars"_s, ExtraKind::Rating}, {u"Seen"_s, ExtraKind::YesNo}};
    const CollectionStatistics statistics = collectionStatistics(films, fields);
    QCOMPARE(statistics.films, values.size());
    QStringList titles;
    QStringList shown;
    for (const StatisticsGroup& counted : statistics.groups) {
        titles.append(counted.title);
        for (const StatisticsBar& bar : counted.bars) {
            if (counted.title == group)
                shown.append(u"%1 %2"_s.arg(bar.label).arg(bar.films));
        }
    }
    QCOMPARE(titles,
             (QStringList{
                 u"Genre"_s, u"Type"_s, u"Decade of release"_s, u"Stars (rating)"_s, u"Seen (yes/no)"_s}));
    QCOMPARE(shown.join(u'|'), bars);
}

QTEST_GUILESS_MAIN(TestCollectionStatistics)
#include "TestCollectionStatistics.moc"
