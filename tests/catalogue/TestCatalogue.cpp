// The catalogue's entries and the history rule of the type and genre boxes.
#include "catalogue/Catalogue.h"
#include "catalogue/History.h"
#include "support/ListFiles.h"

#include <QSignalSpy>
#include <QTest>

using namespace reelkeep;
using reelkeep::test::filmOf;

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void history_data();
    void history();
    void modelShowsTitlesInStep();
    void appendStopsAtCapacity();
};

static QStringList titlesShown(const Catalogue& catalogue)
{
    QStringList lines;
    for (int row = 0; row < catalogue.rowCount(); ++row)
        lines.append(catalogue.data(catalogue.index(row)).toString());
    return lines;
}

void TestCatalogue::history_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("empty text changes nothing")
        << QStringList{u"Drama"_qs} << QString() << QStringList{u"Drama"_qs};
    QTest::newRow("spaces count as text") << QStringList{} << u" "_qs << QStringList{u" "_qs};
    QTest::newRow("equal ignoring case moves to top in the case typed")
        << QStringList{u"Drama"_qs, u"Comedy"_qs} << u"comedy"_qs << QStringList{u"comedy"_qs, u"Drama"_qs};
    QTest::newRow("a match at the top takes the case typed")
        << QStringList{u"Drama"_qs, u"Comedy"_qs} << u"drama"_qs << QStringList{u"drama"_qs, u"Comedy"_qs};
    QTest::newRow("ninth text drops the eighth")
        << u"1 2 3 4 5 6 7 8"_qs.split(u' ') << u"9"_qs << u"9 1 2 3 4 5 6 7"_qs.split(u' ');
    QTest::newRow("known text in a full list keeps the other seven")
        << u"1 2 3 4 5 6 7 8"_qs.split(u' ') << u"8"_qs << u"8 1 2 3 4 5 6 7"_qs.split(u' ');
}

void TestCatalogue::history()
{
    QFETCH(QStringList, before);
    QFETCH(QString, typed);
    QFETCH(QStringList, after);
    rememberInHistory(before, typed);
    QCOMPARE(before, after);
}

void TestCatalogue::modelShowsTitlesInStep()
{
    Catalogue catalogue;
    QCOMPARE(catalogue.lastIndex(), -1);
    QVERIFY(catalogue.append(filmOf({u"A"_qs})));
    QVERIFY(catalogue.append(filmOf({u"B"_qs})));
    QVERIFY(catalogue.append(filmOf({u"C"_qs})));
    catalogue.exchangeWithNext(0);
    QCOMPARE(titlesShown(catalogue), (QStringList{u"B"_qs, u"A"_qs, u"C"_qs}));
    catalogue.replace(2, filmOf({QString()}));
    catalogue.remove(0);
    QCOMPARE(titlesShown(catalogue), (QStringList{u"A"_qs, QString()}));
    QCOMPARE(catalogue.lastIndex(), 1);
    catalogue.replaceAll({});
    QCOMPARE(catalogue.lastIndex(), -1);
    QCOMPARE(catalogue.rowCount(), 0);
}

void TestCatalogue::appendStopsAtCapacity()
{
    Catalogue catalogue;
    catalogue.replaceAll(QList<FilmRecord>(Catalogue::MaxEntries - 1));
    QVERIFY(catalogue.append(filmOf({u"last"_qs})));
    QCOMPARE(catalogue.lastIndex(), 32766);
    QVERIFY(!catalogue.append(filmOf({u"one too many"_qs})));
    QCOMPARE(catalogue.count(), Catalogue::MaxEntries);
    QSignalSpy modified(&catalogue, &Catalogue::modifiedChanged);
    catalogue.setModified(true);
    catalogue.setModified(true);
    QCOMPARE(modified.count(), 1);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "TestCatalogue.moc"
