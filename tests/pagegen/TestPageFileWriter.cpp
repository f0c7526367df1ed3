// The page's file writer: buffers reach the file whole and in order, whichever thread writes them,
// and nothing is written after a buffer the file took only in part.
#include "pagegen/PageFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace reelkeep;

class TestPageFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheOrderAcrossThreads_data();
    void keepsTheOrderAcrossThreads();
    void aFullDiskStopsTheWriting_data();
    void aFullDiskStopsTheWriting();
};

void TestPageFileWriter::keepsTheOrderAcrossThreads_data()
{
    // Which thread writes each buffer, in turn: its own ('t') or the caller's ('h').
    QTest::addColumn<QByteArray>("writers");

    QTest::newRow("its own thread") << QByteArray("t");
    QTest::newRow("the caller's") << QByteArray("h");
    QTest::newRow("every other buffer") << QByteArray("th");
    QTest::newRow("runs of each") << QByteArray("ttthhhhtth");
}

void TestPageFileWriter::keepsTheOrderAcrossThreads()
{
    QFETCH(QByteArray, writers);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page.html"));
    QByteArray expected;
    {
        PageFileWriter writer(path);
        std::vector<char> buffer(4096);
        for (int i = 0; i < 200; ++i) {
            writer.setWritesHere(writers.at(i % writers.size()) == 'h');
            // Buffers of different lengths and bytes, so that a lost or swapped one shows.
            const qsizetype used = 1 + (i * 37) % qsizetype(buffer.size());
            std::fill_n(buffer.begin(), used, char('a' + i % 26));
            expected.append(buffer.data(), used);
            QVERIFY(writer.write(buffer, used));
        }
        QVERIFY(writer.finish());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
}

void TestPageFileWriter::aFullDiskStopsTheWriting_data()
{
    QTest::addColumn<bool>("writesHere");
    QTest::newRow("its own thread") << false;
    QTest::newRow("the caller's") << true;
}

void TestPageFileWriter::aFullDiskStopsTheWriting()
{
    QFETCH(bool, writesHere);
    const QString fullDisk = QStringLiteral("/dev/full");
    if (!QFileInfo(fullDisk).exists())
        QSKIP("this system has no /dev/full");
    PageFileWriter writer(fullDisk);
    writer.setWritesHere(writesHere);
    std::vector<char> buffer(4096, 'x');
    // Its own thread reports the failure with the next buffer; the caller's at once.
    QCOMPARE(writer.write(buffer, 4096), !writesHere);
    QVERIFY(!writer.write(buffer, 4096));
    writer.setWritesHere(!writesHere);
    QVERIFY(!writer.write(buffer, 4096));
    QVERIFY(!writer.finish());
}

QTEST_GUILESS_MAIN(TestPageFileWriter)
#include "TestPageFileWriter.moc"
