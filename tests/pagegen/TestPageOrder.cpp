// The page order: the films sorted by one of their first six fields, ties in catalogue order.
#include "pagegen/PageOrder.h"
#include "value/Compare.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace reelkeep;
using namespace Qt::StringLiterals;

using Order = QList<std::int16_t>;

class TestPageOrder : public QObject
{
    Q_OBJECT

private slots:
    void otherNamesKeepCatalogueOrder_data();
    void otherNamesKeepCatalogueOrder();
    void matchesSelectionSort_data();
    void matchesSelectionSort();
    void extraFieldsSortByTheirKind_data();
    void extraFieldsSortByTheirKind();
};

namespace {

Order catalogueOrder(qsizetype count)
{
    Order order;
    for (qsizetype i = 0; i < count; ++i)
        order.append(std::int16_t(i));
    return order;
}

// The plainest sort: take the first best of the films left, again and again, comparing with
// StrComp in text mode. Ascending, a film is better when the comparison says -1; descending, when
// it says 1.
Order selectionSort(const QList<FilmRecord>& films, Field field, bool ascending)
{
    Order remaining = catalogueOrder(films.size());
    Order order;
    while (!remaining.isEmpty()) {
        qsizetype best = 0;
        for (qsizetype i = 1; i < remaining.size(); ++i) {
            const int comparison =
                compareStrings(films[remaining[i]][field], films[remaining[best]][field], CompareMode::Text);
            if (ascending ? comparison < 0 : comparison > 0)
                best = i;
        }
        order.append(remaining.takeAt(best));
    }
    return order;
}

// Films whose six sort fields are drawn from `texts`, now and then in capitals, so that many tie.
QList<FilmRecord> randomCatalogue(QRandomGenerator& random, const QStringList& texts)
{
    QList<FilmRecord> films(random.bounded(0, 300));
    for (FilmRecord& film : films) {
        for (int field = 0; field <= static_cast<int>(Field::Date); ++field) {
            const QString& text = texts[random.bounded(int(texts.size()))];
            film[fieldAt(field)] = random.bounded(3) == 0 ? text.toUpper() : text;
        }
    }
    return films;
}

} // namespace

void TestPageOrder::otherNamesKeepCatalogueOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plot is not a sort field") << "plot";
    QTest::newRow("field names are matched exactly") << "Title";
    QTest::newRow("no name") << "";
}

void TestPageOrder::otherNamesKeepCatalogueOrder()
{
    QFETCH(QString, name);
    QList<FilmRecord> films(3);
    for (int i = 0; i < 3; ++i)
        films[i][Field::Title] = QString(QLatin1Char("cab"[i]));
    QCOMPARE(sortedPageOrder(films, {}, name, true), catalogueOrder(3));
    QCOMPARE(sortedPageOrder(films, {}, name, false), catalogueOrder(3));
}

// The texts between the bars.
static QStringList texts(const char* barred)
{
    return QString::fromUtf8(barred).split(u'|');
}

void TestPageOrder::matchesSelectionSort_data()
{
    QTest::addColumn<QStringList>("texts");
    const char* ascii =
        "|a|A|a |a\t|a\r\n|a-b|ab|a b|b|10|9|coop|co-op|The End|the end!|zebra|zebra |\u0001|\u007fa";
    QTest::newRow("ASCII texts with case, space and punctuation ties")
        << texts(ascii) + QStringList{u"a"_s + QChar(0), QString(QChar(0))};
    QTest::newRow("long beginnings in common")
        << texts("The Film of Cafe No. 1|The Film of Cafe No. 10|The Film of Cafe No. 1 |The Film of Cafe No."
                 "|the film of cafe no. 2|abcdefg|abcdefgh|abcdefghi|abcdefghabcdefgh|abcdefghabcdefg"
                 "|abcdefghabcdefgh-|abcdefghabcdefgh |abcdefghabcdefghe|abcdefghabcdefgh\u00e9"
                 "|\u00e0bcdefghabcdefghe|abcdefghabcdefgh\u00e9\u00e9|abcdefghabcdefghee");
    QTest::newRow("Latin-1 accents") << texts(
        "cote|c\u00f4te|cot\u00e9|c\u00f4t\u00e9|Caf\u00e9|cafe|caf\u00e9|caf\u0001\u00e9|Am\u00e9lie"
        "|amelie|\u00d8re|ore|\u00deing|e|\u00e9|\u00e8|\u00c9|\u007f\u00e9|na\u00efve|naive");
    QTest::newRow("case ties, empty texts, ignored characters alone, word boundaries")
        << texts("b|B|a|A|x|X|y||\u0001|\u00c6|a |a\t|ab|a-b|a b|abcdefghi|ABCDEFGH|abcdefg|abcdefgh") +
               QStringList{QString(QChar(0))};
    QTest::newRow("words with accents, digits and the empty text")
        << texts("apple|Apple|\u00e4pple|b|B|1999|85||co-op|coop|Zebra|zebra ");
    QTest::newRow("texts beyond the rank keys send every text to the collation keys")
        << texts(ascii) +
               texts("Stra\u00dfe|\u00c6on|a\ufeffb|\U0001F600|\u0141\u00f3d\u017a|l\u00b7l|caf\u00e9") +
               QStringList{QString(QChar(0))};
}

void TestPageOrder::matchesSelectionSort()
{
    QFETCH(QStringList, texts);
    QRandomGenerator random(20240611);
    for (int round = 0; round < 8; ++round) {
        const QList<FilmRecord> films = randomCatalogue(random, texts);
        for (int field = 0; field <= static_cast<int>(Field::Date); ++field) {
            const QString name = fieldName(fieldAt(field)).toString();
            for (const bool ascending : {true, false}) {
                QCOMPARE(sortedPageOrder(films, {}, name, ascending),
                         selectionSort(films, fieldAt(field), ascending));
            }
        }
    }
}

void TestPageOrder::extraFieldsSortByTheirKind_data()
{
    QTest::addColumn<ExtraKind>("kind");
    QTest::addColumn<QStringList>("values"); // of the films at positions 0, 1, ...
    QTest::addColumn<Order>("ascending");
    QTest::addColumn<Order>("descending");
    QTest::newRow("numbers by value, not as texts") << ExtraKind::Number << texts("10|9||-2.5|1e+21|9")
                                                    << Order{2, 3, 1, 5, 0, 4} << Order{4, 0, 1, 5, 3, 2};
    QTest::newRow("ratings by value")
        << ExtraKind::Rating << texts("10|2||0") << Order{2, 3, 1, 0} << Order{0, 1, 3, 2};
    QTest::newRow("dates by day, across years")
        << ExtraKind::Date << texts("2024-01-02|1999-12-31||2024-01-01") << Order{2, 1, 3, 0}
        << Order{0, 3, 1, 2};
    QTest::newRow("no before yes") << ExtraKind::YesNo << texts("yes|no||yes|no") << Order{2, 1, 4, 0, 3}
                                   << Order{0, 3, 1, 4, 2};
    QTest::newRow("texts by the titles' collation, ignoring case")
        << ExtraKind::LongText << texts("b|A||a|C\nD") << Order{2, 1, 3, 0, 4} << Order{4, 0, 1, 3, 2};
}

void TestPageOrder::extraFieldsSortByTheirKind()
{
    QFETCH(ExtraKind, kind);
    QFETCH(QStringList, values);
    QFETCH(Order, ascending);
    QFETCH(Order, descending);
    const ExtraFields fields = {{u"Other"_s, ExtraKind::Text}, {u"Kept"_s, kind}};
    QList<FilmRecord> films(values.size());
    for (qsizetype i = 0; i < values.size(); ++i)
        films[i].setExtraValue(1, values[i]);
    QCOMPARE(sortedPageOrder(films, fields, u"kept"_s, true), ascending);
    QCOMPARE(sortedPageOrder(films, fields, u"kept"_s, false), descending);
}

QTEST_GUILESS_MAIN(TestPageOrder)
#include "TestPageOrder.moc"
