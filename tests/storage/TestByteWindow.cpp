// The window that moves along a file's bytes: every byte comes into view once as it moves on, it
// keeps what the reader still needs, and a device that fails says why.
#include "SequentialDevice.h"
#include "storage/ByteWindow.h"

#include <QBuffer>
#include <QTest>

using namespace reelkeep;

class TestByteWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsEveryByteOnce_data();
    void showsEveryByteOnce();
    void keepsBytesFromWhereItMovesOn_data();
    void keepsBytesFromWhereItMovesOn();
    void saysWhyDeviceFailed();
};

static QByteArray counting(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>('a' + i % 26));
    return bytes;
}

void TestByteWindow::showsEveryByteOnce_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("piece");
    QTest::addColumn<bool>("sequential");

    QTest::newRow("pieces of one byte") << 10 << 1 << false;
    QTest::newRow("a size that is a whole number of pieces") << 64 << 16 << false;
    QTest::newRow("a last piece cut short") << 70 << 16 << false;
    QTest::newRow("all in the first piece") << 10 << 256 << false;
    QTest::newRow("no bytes at all") << 0 << 16 << false;
    QTest::newRow("a sequential device, whose size is not known") << 70 << 16 << true;
}

void TestByteWindow::showsEveryByteOnce()
{
    QFETCH(int, size);
    QFETCH(int, piece);
    QFETCH(bool, sequential);
    QByteArray data = counting(size);
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    SequentialDevice pipe(data, SequentialDevice::AtEnd::Ends);
    ByteWindow window(sequential ? static_cast<QIODevice&>(pipe) : buffer, piece);
    QCOMPARE(window.expectedSize(), sequential ? -1 : size);

    QByteArray seen;
    for (;;) {
        QCOMPARE(window.offset(), seen.size());
        seen += window.bytes().toByteArray();
        QVERIFY(window.bytes().size() <= piece);
        if (window.atDataEnd())
            break;
        window.moveOn(window.bytes().size());
    }
    QCOMPARE(seen, data);
    QVERIFY(window.failure().isEmpty());
}

void TestByteWindow::keepsBytesFromWhereItMovesOn_data()
{
    QTest::addColumn<QList<int>>("moves"); // the position of each move on, in the window as it is then
    QTest::addColumn<QByteArray>("inView");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("atDataEnd");

    // Forty bytes a, b, c ... read in pieces of eight.
    QTest::newRow("a piece follows the bytes kept")
        << QList<int>{5} << QByteArray("fghijklmnop") << 5 << false;
    QTest::newRow("as many as are kept follow them when that is more than a piece")
        << QList<int>{0, 0} << counting(32) << 0 << false;
    QTest::newRow("fewer follow at the end of the data") << QList<int>{0, 0, 0} << counting(40) << 0 << true;
    QTest::newRow("offsets add up") << QList<int>{5, 3, 10} << counting(40).mid(18, 14) << 18 << false;
}

void TestByteWindow::keepsBytesFromWhereItMovesOn()
{
    QFETCH(QList<int>, moves);
    QFETCH(QByteArray, inView);
    QFETCH(int, offset);
    QFETCH(bool, atDataEnd);
    QByteArray data = counting(40);
    QBuffer buffer(&data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    ByteWindow window(buffer, 8);
    for (const int from : moves)
        window.moveOn(from);
    QCOMPARE(window.bytes().toByteArray(), inView);
    QCOMPARE(window.offset(), offset);
    QCOMPARE(window.atDataEnd(), atDataEnd);
}

void TestByteWindow::saysWhyDeviceFailed()
{
    SequentialDevice device(counting(10), SequentialDevice::AtEnd::Fails);
    ByteWindow window(device, 4);
    while (!window.atDataEnd())
        window.moveOn(window.bytes().size());
    QCOMPARE(window.offset() + window.bytes().size(), 10);
    QCOMPARE(window.failure(), QStringLiteral("the disk failed"));
}

QTEST_GUILESS_MAIN(TestByteWindow)
#include "TestByteWindow.moc"
