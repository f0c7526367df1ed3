// The Qt desktop's translation of filter texts into the file dialog's name filters.
#include "desktop/qt/QtDesktopServices.h"

#include <QTest>

using namespace reelkeep;

class TestQtDesktopServices : public QObject
{
    Q_OBJECT

private slots:
    void nameFilters_data();
    void nameFilters();
};

void TestQtDesktopServices::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("a description showing its pattern is kept")
        << QStringLiteral("Reelkeep File(*.rkf)|*.rkf|Coma Delimited (*.csv)|*.csv")
        << QStringList{QStringLiteral("Reelkeep File(*.rkf)"), QStringLiteral("Coma Delimited (*.csv)")};
    QTest::newRow("a description that is the pattern shows once")
        << QStringLiteral("*.html|*.html") << QStringList{QStringLiteral("*.html")};
    QTest::newRow("a plain description gets its pattern")
        << QStringLiteral("Pages|*.htm;*.html") << QStringList{QStringLiteral("Pages (*.htm;*.html)")};
    QTest::newRow("a description without a pattern is dropped") << QStringLiteral("Lonely") << QStringList{};
}

void TestQtDesktopServices::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(filter), expected);
}

QTEST_MAIN(TestQtDesktopServices)
#include "TestQtDesktopServices.moc"
