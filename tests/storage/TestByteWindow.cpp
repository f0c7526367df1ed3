// The window that moves along a file's bytes keeps what a reader still needs and reads more after
// it. The readers' tests read every table in small pieces, and through a device that fails.
#include "storage/ByteWindow.h"

#include <QBuffer>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestByteWindow : public QObject
{
    Q_OBJECT

private slots:
    void keepsBytesFromWhereItMovesOn_data();
    void keepsBytesFromWhereItMovesOn();
};

static QByteArray counting(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>('a' + i % 26));
    return bytes;
}

void TestByteWindow::keepsBytesFromWhereItMovesOn_data()
{
    QTest::addColumn<QList<int>>("moves"); // the position of each move on, in the window as it is then
    QTest::addColumn<QByteArray>("inView");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("atDataEnd");
    QTest::addColumn<int>("limit"); // -1 for none; a window past it fails

    // Forty bytes a, b, c ... read in pieces of eight.
    QTest::newRow("a piece follows the bytes kept")
        << QList<int>{5} << QByteArray("fghijklmnop") << 5 << false << -1;
    QTest::newRow("as many as are kept follow them when that is more than a piece")
        << QList<int>{0, 0} << counting(32) << 0 << false << -1;
    QTest::newRow("fewer follow at the end of the data")
        << QList<int>{0, 0, 0} << counting(40) << 0 << true << -1;
    QTest::newRow("data past the limit ends where it was read")
        << QList<int>{0, 0} << counting(32) << 0 << true << 20;
    QTest::newRow("offsets add up") << QList<int>{5, 3, 10} << counting(40).mid(18, 14) << 18 << false << -1;
}

void TestByteWindow::keepsBytesFromWhereItMovesOn()
{
    QFETCH(QList<int>, moves);
    QFETCH(QByteArray, inView);
    QFETCH(int, offset);
    QFETCH(bool, atDataEnd);
    QFETCH(int, limit);
    QByteArray data = counting(40);
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    ByteWindow window(buffer, 8, limit);
    for (const int from : moves)
        window.moveOn(from);
    QCOMPARE(window.bytes().toByteArray(), inView);
    QCOMPARE(window.offset(), offset);
    QCOMPARE(window.atDataEnd(), atDataEnd);
    QCOMPARE(window.failure().contains(u"larger than"), limit >= 0);
}

QTEST_GUILESS_MAIN(TestByteWindow)
#include "TestByteWindow.moc"
