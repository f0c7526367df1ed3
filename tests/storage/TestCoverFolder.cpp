// Covers kept with a list: copied beside it under names that never replace another picture.
#include "storage/CoverFolder.h"
#include "support/ListFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace reelkeep;
using test::fileContents;
using test::writeFileBytes;
using namespace Qt::StringLiterals;

class TestCoverFolder : public QObject
{
    Q_OBJECT

private slots:
    void copiesNeverReplaceAPicture_data();
    void copiesNeverReplaceAPicture();
};

// The list is "my films.rkf" in a folder; "in/poster.jpg" holds the bytes "new". `present` names
// files made first, relative to the list's folder, each holding "old" unless it is the image itself.
void TestCoverFolder::copiesNeverReplaceAPicture_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("source"); // empty: the copy fails
    QTest::newRow("the first copy takes the image's name in a folder made for it")
        << u"in/poster.jpg"_s << QStringList() << u"my films covers/poster.jpg"_s;
    QTest::newRow("a different picture of the name is kept, the copy numbered")
        << u"in/poster.jpg"_s
        << QStringList{u"my films covers/poster.jpg"_s, u"my films covers/poster (2).jpg"_s}
        << u"my films covers/poster (3).jpg"_s;
    QTest::newRow("the same picture already there is the copy")
        << u"in/poster.jpg"_s << QStringList{u"my films covers/poster.jpg=new"_s}
        << u"my films covers/poster.jpg"_s;
    QTest::newRow("an image in the folder is named where it is")
        << u"my films covers/poster.jpg"_s << QStringList{u"my films covers/poster.jpg=new"_s}
        << u"my films covers/poster.jpg"_s;
    QTest::newRow("a name without a suffix is numbered at its end")
        << u"in/poster"_s << QStringList{u"my films covers/poster"_s} << u"my films covers/poster (2)"_s;
    QTest::newRow("a missing image fails") << u"in/gone.jpg"_s << QStringList() << QString();
    QTest::newRow("a file where the folder goes fails")
        << u"in/poster.jpg"_s << QStringList{u"my films covers"_s} << QString();
}

void TestCoverFolder::copiesNeverReplaceAPicture()
{
    QFETCH(QString, image);
    QFETCH(QStringList, present);
    QFETCH(QString, source);
    QTemporaryDir folder;
    const QDir list(folder.path());
    QVERIFY(list.mkpath(u"in"_s));
    writeFileBytes(list.filePath(u"in/poster.jpg"_s), "new");
    writeFileBytes(list.filePath(u"in/poster"_s), "new");
    for (const QString& entry : present) {
        const QString path = list.filePath(entry.section(u'=', 0, 0));
        QVERIFY(list.mkpath(QFileInfo(path).path()));
        writeFileBytes(path, entry.contains(u'=') ? entry.section(u'=', 1).toUtf8() : "old");
    }
    const KeptCover kept = keepCoverWithList(list.filePath(image), list.filePath(u"my films.rkf"_s));
    QCOMPARE(kept.source, source);
    QCOMPARE(kept.failure.isEmpty(), !source.isEmpty());
    if (!source.isEmpty())
        QCOMPARE(fileContents(list.filePath(source)), QByteArray("new"));
    // No picture there before is replaced.
    for (const QString& entry : present) {
        if (!entry.contains(u'='))
            QCOMPARE(fileContents(list.filePath(entry)), QByteArray("old"));
    }
}

QTEST_GUILESS_MAIN(TestCoverFolder)
#include "TestCoverFolder.moc"
