// List files on disk: the form from the name, fixtures written by hand, and saves and loads that
// fail without harm.
#include "storage/ByteWindow.h"
#include "storage/InputLimits.h"
#include "storage/ListFile.h"
#include "support/ListFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void formFromName_data();
    void formFromName();
    void formFromContents_data();
    void formFromContents();
    void fixtureReadsAndWritesBack_data();
    void fixtureReadsAndWritesBack();
    void loadFailsWithReason_data();
    void loadFailsWithReason();
    void loadsBytesOnDisk_data();
    void loadsBytesOnDisk();
    void csvFieldBoundHoldsForSaveAndLoad_data();
    void csvFieldBoundHoldsForSaveAndLoad();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void saveThatRunsOutOfRoomKeepsOldFile_data();
    void saveThatRunsOutOfRoomKeepsOldFile();
    void saveReplacesTheOldFile_data();
    void saveReplacesTheOldFile();
    void saveKeepsThePreviousVersion_data();
    void saveKeepsThePreviousVersion();

private:
    QTemporaryDir m_folder;
};

void TestListFile::formFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("form"); // -1 for none

    QTest::newRow("rkf is native") << u"/films/x.rkf"_s << int(ListForm::Native);
    QTest::newRow("CSV in capitals is comma-separated") << u"x.CSV"_s << int(ListForm::CommaSeparated);
    QTest::newRow("mixed case counts") << u"x.RkF"_s << int(ListForm::Native);
    QTest::newRow("only the last three characters count") << u"xrkf"_s << int(ListForm::Native);
    QTest::newRow("a name of exactly three characters") << u"csv"_s << int(ListForm::CommaSeparated);
    QTest::newRow("any other ending chooses nothing") << u"x.txt"_s << -1;
    QTest::newRow("a previous version is in the form of the list it was")
        << u"x.csv.bak"_s << int(ListForm::CommaSeparated);
    QTest::newRow("a previous version of a previous version") << u"x.RKF.Bak.bak"_s << int(ListForm::Native);
    QTest::newRow("a previous version of no list") << u"x.bak"_s << -1;
    QTest::newRow("a name shorter than three characters") << u"sv"_s << -1;
    QTest::newRow("the empty name") << QString() << -1;
}

void TestListFile::formFromName()
{
    QFETCH(QString, name);
    QFETCH(int, form);
    const std::optional<ListForm> chosen = formFromFileName(name);
    QCOMPARE(chosen ? int(*chosen) : -1, form);
}

void TestListFile::formFromContents_data()
{
    QTest::addColumn<QByteArray>("bytes"); // the file's contents; a null array for no file at all
    QTest::addColumn<int>("otherwise");
    QTest::addColumn<int>("form");

    const int native = int(ListForm::Native);
    const int csv = int(ListForm::CommaSeparated);
    QTest::newRow("the Windows-1252 magic is native") << QByteArray("rkf01\0\0") << csv << native;
    QTest::newRow("the UTF-8 magic is native") << QByteArray("rkf02") << csv << native;
    QTest::newRow("a double quote is comma-separated") << QByteArray("\"a\",\"b\"") << native << csv;
    QTest::newRow("a quote after a byte-order mark is comma-separated")
        << QByteArray("\xEF\xBB\xBF\"a\"") << native << csv;
    QTest::newRow("a byte-order mark alone shows nothing") << QByteArray("\xEF\xBB\xBF") << native << native;
    QTest::newRow("other text shows nothing") << QByteArray("rkf0") << csv << csv;
    QTest::newRow("an empty file shows nothing") << QByteArray("") << csv << csv;
    QTest::newRow("a missing file shows nothing") << QByteArray() << native << native;
}

void TestListFile::formFromContents()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, otherwise);
    QFETCH(int, form);
    const QString path = m_folder.filePath(u"contents.list"_s);
    QFile::remove(path);
    if (!bytes.isNull())
        writeFileBytes(path, bytes);
    QCOMPARE(int(formOfContents(path, ListForm(otherwise))), form);
}

void TestListFile::fixtureReadsAndWritesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<ListDocument>("expected");

    FilmRecord amelie = filmOf({u"Am\u00E9lie"_s, u"2001"_s});
    FilmRecord cafe = filmOf({u"Caf\u00E9 \u20AC \u0081"_s});
    cafe[Field::WebUrl3] = u"http://example.com/"_s;
    QTest::newRow("a Windows-1252 native file")
        << u"windows1252.rkf"_s
        << ListDocument{u"Ma s\u00E9lection"_s, u"Line 1\r\nLine 2"_s, {amelie, cafe}};

    FilmRecord full = filmOf(
        {u"Am\u00E9lie"_s, u"2001"_s, u"Movie"_s, u"122"_s, u"Comedy"_s, {}, u"A plot\r\nover two lines"_s});
    QTest::newRow("a comma-separated file as Write # writes it")
        << u"written-by-write.csv"_s << ListDocument{std::nullopt, std::nullopt, {full, cafe}};
}

void TestListFile::fixtureReadsAndWritesBack()
{
    QFETCH(QString, name);
    QFETCH(ListDocument, expected);
    QString failure;
    const std::optional<ListDocument> read = loadListFile(storedList(name), ListForm::FromName, &failure);
    QVERIFY2(read, qPrintable(failure));
    QCOMPARE(*read, expected);

    const QString copy = m_folder.filePath(name);
    QVERIFY2(saveListFile(copy, ListForm::FromName, *read, &failure), qPrintable(failure));
    QCOMPARE(fileContents(copy).toHex(' '), fileContents(storedList(name)).toHex(' '));
}

void TestListFile::loadFailsWithReason_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("reason");

    QTest::newRow("a missing file") << u"/nonexistent/folder/x.rkf"_s << int(ListForm::FromName)
                                    << u"No such file"_s;
    QTest::newRow("a name that chooses no form") << storedList(u"windows1252.rkf"_s) + u".txt"_s
                                                 << int(ListForm::FromName) << u"neither in rkf nor in csv"_s;
    QTest::newRow("a comma-separated file read as native")
        << storedList(u"written-by-write.csv"_s) << int(ListForm::Native) << u"not a Reelkeep list file"_s;
    QTest::newRow("a folder") << storedList(QString()) << int(ListForm::Native) << QString();
    QTest::newRow("a device whose field never ends") << u"/dev/zero"_s << int(ListForm::CommaSeparated)
                                                     << u"film 1 has a field of more than 1 MB at byte 1"_s;
}

void TestListFile::loadFailsWithReason()
{
    QFETCH(QString, path);
    QFETCH(int, form);
    QFETCH(QString, reason);
    QString failure;
    QVERIFY(!loadListFile(path, ListForm(form), &failure));
    QVERIFY(!failure.isEmpty());
    QVERIFY2(failure.contains(reason), qPrintable(failure));
}

// A file is read in pieces of ByteWindow::FilePiece bytes; the "piece" files end at the end of a
// piece, or one byte after it, inside a field. Bytes that are not UTF-8 in a UTF-8 file are told.
void TestListFile::loadsBytesOnDisk_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("firstTitle"); // the first film's title, or the failure's words
    QTest::addColumn<QString>("warning");    // the end of it, or empty for none

    constexpr int Piece = int(ByteWindow::FilePiece);
    QTest::newRow("an empty comma-separated file is an empty catalogue")
        << u"empty.csv"_s << QByteArray() << QString() << QString();
    QTest::newRow("an empty native file is refused")
        << u"empty.rkf"_s << QByteArray() << u"not a Reelkeep"_s << QString();
    QTest::newRow("a comma-separated file named rkf loads as comma-separated")
        << u"misnamed.rkf"_s << QByteArray("\"Alien\"\r\n") << u"Alien"_s << QString();
    QTest::newRow("a native file named csv loads as native")
        << u"misnamed.csv"_s << QByteArray("rkf01\0\0\0\0\0\0\x05\0Alien", 18) + QByteArray(32, '\0')
        << u"Alien"_s << QString();
    QTest::newRow("a piece-long file ending in an open quote")
        << u"piece.csv"_s << "\"" + QByteArray(Piece - 1, 'x') << QString(Piece - 1, u'x') << QString();
    QTest::newRow("a file one byte longer than a piece, ending in an unquoted field")
        << u"unquoted.csv"_s << QByteArray(Piece + 1, 'y') << QString(Piece + 1, u'y') << QString();
    QTest::newRow("a quote that runs past the longest field")
        << u"open.csv"_s << "\"a\",\"" + QByteArray(MaxCsvFieldBytes, 'x')
        << u"film 1 has a field of more than 1 MB at byte 5"_s << QString();
    QTest::newRow("a piece-long native file")
        << u"piece.rkf"_s
        << QByteArray("rkf01\0\0\0\0\0\0", 11) + QByteArray::fromHex("d3ff") + QByteArray(0xFFD3, 'z') +
               QByteArray(32, '\0')
        << QString(0xFFD3, u'z') << QString();
    QTest::newRow("a UTF-8 comma-separated file, told at the byte")
        << u"bad.csv"_s << QByteArray("\xEF\xBB\xBF\"Am\xE9lie\"\r\n") << u"Am\uFFFDlie"_s
        << u"the first at byte 7, line 1"_s;
    QTest::newRow("a UTF-8 field with doubled quotes, told at the field")
        << u"quotes.csv"_s << QByteArray("\xEF\xBB\xBF\"ok\",\r\n\"a\"\"\x80\"\r\n") << u"ok"_s
        << u"the first at byte 11, line 2"_s;
    QTest::newRow("UTF-8 without a mark, as editors and scripts save it")
        << u"nomark.csv"_s << QByteArray("\"Le M\xC3\xA9pris\"\r\n") << u"Le M\u00E9pris"_s << QString();
    QTest::newRow("UTF-8 among Windows-1252, told on its line")
        << u"mixed.csv"_s << QByteArray("\"Am\xE9lie\"\r\n\"x\"\r\n\"L\xC3\xA9on\"") << u"Am\u00E9lie"_s
        << u"all read as Windows-1252, the first at byte 18, line 3"_s;
    QTest::newRow("an unquoted field at the bound, then its line end")
        << u"bound.csv"_s << QByteArray(MaxCsvFieldBytes, 'x') + "\r\n"
        << QString(MaxCsvFieldBytes, u'x') << QString();
    QTest::newRow("a field one byte past the bound")
        << u"past.csv"_s << QByteArray(MaxCsvFieldBytes + 1, 'x') + "\r\n"
        << u"film 1 has a field of more than 1 MB at byte 1"_s << QString();
    QTest::newRow("a Windows-1252 comma-separated file has no such bytes")
        << u"fine.csv"_s << QByteArray("\"Am\xE9lie\"\r\n") << u"Am\u00E9lie"_s << QString();
    QTest::newRow("a UTF-8 native file, told in a film's field")
        << u"bad.rkf"_s << QByteArray("rkf02\0\0\0\0\0\0\x02\0a\xFF", 15) + QByteArray(32, '\0')
        << u"a\uFFFD"_s << u"the first at byte 15"_s;
    QTest::newRow("a UTF-8 native file, told past the first piece")
        << u"far.rkf"_s
        << QByteArray("rkf02\0\0\0\0\0\0", 11) + QByteArray::fromHex("f0ff") + QByteArray(0xFFF0, 'z') +
               QByteArray("\x02\0a\xFF", 4) + QByteArray(30, '\0')
        << QString(0xFFF0, u'z') << u"the first at byte 65537"_s;
}

void TestListFile::loadsBytesOnDisk()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, firstTitle);
    QFETCH(QString, warning);
    const QString path = m_folder.filePath(name);
    writeFileBytes(path, bytes);
    QString failure;
    QString told;
    const std::optional<ListDocument> read = loadListFile(path, ListForm::FromName, &failure, &told);
    if (!read) {
        QVERIFY2(!firstTitle.isEmpty() && failure.contains(firstTitle), qPrintable(failure));
        return;
    }
    QCOMPARE(read->films.isEmpty() ? QString() : read->films.first().title(), firstTitle);
    QCOMPARE(told.isEmpty(), warning.isEmpty());
    QVERIFY2(told.endsWith(warning), qPrintable(told));
}

// A field takes its quotes and doubled quotes in the file, in the encoding written; a field that
// saves at the bound loads again.
void TestListFile::csvFieldBoundHoldsForSaveAndLoad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("saves");

    const qsizetype inside = MaxCsvFieldBytes - 2; // the bytes between the quotes
    QTest::newRow("Windows-1252 at the bound") << QString(inside, u'x') << true;
    QTest::newRow("Windows-1252 a byte past it") << QString(inside + 1, u'x') << false;
    QTest::newRow("a letter of two bytes in UTF-8 takes one in Windows-1252")
        << QString(inside, u'\u00E9') << true;
    QTest::newRow("UTF-8 at the bound") << QString(inside / 2, u'\u03A9') << true;
    QTest::newRow("UTF-8 a character past it") << QString(inside / 2 + 1, u'\u03A9') << false;
    QTest::newRow("doubled quotes at the bound") << QString(inside / 2, u'"') << true;
    QTest::newRow("doubled quotes past it") << QString(inside / 2, u'"') + u'x' << false;
}

void TestListFile::csvFieldBoundHoldsForSaveAndLoad()
{
    QFETCH(QString, text);
    QFETCH(bool, saves);
    const QString path = m_folder.filePath(u"bound-%1.csv"_s.arg(QTest::currentDataTag()));
    const ListDocument document{std::nullopt, std::nullopt, {filmOf({u"first"_s, text, u"last"_s})}};
    QString failure;
    QCOMPARE(saveListFile(path, ListForm::CommaSeparated, document, &failure), saves);
    if (!saves) {
        QVERIFY2(failure.contains(u"the release of film 1"_s), qPrintable(failure));
        return;
    }
    const std::optional<ListDocument> read = loadListFile(path, ListForm::CommaSeparated, &failure);
    QVERIFY2(read, qPrintable(failure));
    QCOMPARE(read->films, document.films);
}

void TestListFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<ListDocument>("document");
    QTest::addColumn<int>("form");

    const ListDocument small{u"New"_s, QString(), {filmOf({u"new"_s})}};
    FilmRecord longCast = filmOf({u"Epic"_s});
    longCast[Field::Cast] = QString(70000, u'c');
    QTest::newRow("a folder that does not exist") << u"missing/x.rkf"_s << small << int(ListForm::Native);
    QTest::newRow("a parent that is a regular file") << u"old.rkf/x.rkf"_s << small << int(ListForm::Native);
    QTest::newRow("a path that is a folder") << u"folder.rkf"_s << small << int(ListForm::Native);
    QTest::newRow("a text too long to count")
        << u"old.rkf"_s << ListDocument{u"New"_s, QString(), {longCast}} << int(ListForm::Native);
    longCast[Field::Plot] = QString(MaxCsvFieldBytes / 2, u'\u0101'); // two bytes each in UTF-8
    QTest::newRow("a field longer than loading reads")
        << u"old.rkf"_s << ListDocument{u"New"_s, QString(), {longCast}} << int(ListForm::CommaSeparated);
}

void TestListFile::failedSaveKeepsOldFile()
{
    QFETCH(QString, path);
    QFETCH(ListDocument, document);
    QFETCH(int, form);
    QTemporaryDir folder;
    const QString old = folder.filePath(u"old.rkf"_s);
    const QByteArray oldBytes("rkf01\x03\x00Old\x00\x00\xff\xff", 14);
    writeFileBytes(old, oldBytes);
    QVERIFY(QDir(folder.path()).mkdir(u"folder.rkf"_s));
    const QStringList before =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    QString failure;
    QVERIFY(!saveListFile(folder.filePath(path), ListForm(form), document, &failure));
    QVERIFY(!failure.isEmpty());
    QCOMPARE(fileContents(old), oldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}

void TestListFile::saveThatRunsOutOfRoomKeepsOldFile_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<qint64>("limit"); // bytes a file may grow to

    QTest::newRow("native, no room at all") << int(ListForm::Native) << qint64(0);
    QTest::newRow("native, full halfway") << int(ListForm::Native) << qint64(64 * 1024);
    QTest::newRow("comma-separated, full halfway") << int(ListForm::CommaSeparated) << qint64(64 * 1024);
}

// The save runs in a child process whose files may not grow past the limit, as on a full disk;
// the write then fails with EFBIG instead of the child being stopped by SIGXFSZ.
void TestListFile::saveThatRunsOutOfRoomKeepsOldFile()
{
    QFETCH(int, form);
    QFETCH(qint64, limit);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"films.list"_s);
    QVERIFY(saveListFile(path, ListForm(form), ListDocument{u"Old"_s, QString(), {filmOf({u"old"_s})}}));
    const QByteArray oldBytes = fileContents(path);
    const ListDocument bigger{u"New"_s, QString(), QList<FilmRecord>(2000, filmOf({QString(100, u'n')}))};

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        // The failure names the system's reason, not "Unknown error".
        QString failure;
        const bool saved = saveListFile(path, ListForm(form), bigger, &failure);
        _exit(saved ? 0 : failure == qt_error_string(EFBIG) ? 1 : 2);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 1); // the save reports its failure and the system's reason
    QCOMPARE(fileContents(path), oldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"films.list"_s});
}

void TestListFile::saveReplacesTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("form");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("comma-separated, shorter than the old file")
        << u"replace.csv"_s << int(ListForm::CommaSeparated)
        << "\"A\"" + QByteArray(",\"\"").repeated(16) + "\r\n";
    QTest::newRow("the form asked for, not the one the name chooses")
        << u"native-inside.csv"_s << int(ListForm::Native)
        << QByteArray("rkf01\x08\0My Movie\0\0\0\0\x01\0A", 22) + QByteArray(32, '\0');
}

// A second name for the old file still shows the old bytes after the save: the new file was
// written elsewhere and renamed over the old name, never written into the old file.
void TestListFile::saveReplacesTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(int, form);
    QFETCH(QByteArray, written);
    const QString path = m_folder.filePath(name);
    const QString secondName = m_folder.filePath(name + u".link"_s);
    const QByteArray oldBytes(1000, 'x');
    writeFileBytes(path, oldBytes);
    QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(secondName).constData()) == 0);
    const ListDocument document{u"My Movie"_s, QString(), {filmOf({u"A"_s})}};
    QVERIFY(saveListFile(path, ListForm(form), document));
    QCOMPARE(fileContents(path).toHex(' '), written.toHex(' '));
    QCOMPARE(fileContents(secondName), oldBytes);
    const std::optional<ListDocument> read = loadListFile(path, ListForm(form));
    QVERIFY(read);
    QCOMPARE(read->films, document.films);
}

void TestListFile::saveKeepsThePreviousVersion_data()
{
    QTest::addColumn<QByteArray>("list"); // the list file's bytes before the save; null for none
    QTest::addColumn<QString>("kept");    // what is at NAME.bak before: "", "file" or "folder"; "new" for
                                          // none, and a file of the user's called NAME.bak.new
    QTest::addColumn<bool>("elsewhere");  // the list is a link to a file on another file system
    QTest::addColumn<int>("previous");
    QTest::addColumn<QByteArray>("keptAfter"); // NAME.bak after the save; null for none

    const int keep = int(PreviousVersion::Keep);
    const QByteArray old("old list");
    QTest::newRow("a save over a list keeps it") << old << QString() << false << keep << old;
    QTest::newRow("in place of the version kept before") << old << u"file"_s << false << keep << old;
    QTest::newRow("told not to, it keeps none")
        << old << QString() << false << int(PreviousVersion::Discard) << QByteArray();
    QTest::newRow("a new list has none to keep")
        << QByteArray() << QString() << false << keep << QByteArray();
    QTest::newRow("a list that links to another file system, by a copy")
        << old << QString() << true << keep << old;
    QTest::newRow("a save that cannot keep it fails, leaving the list")
        << old << u"folder"_s << false << keep << QByteArray();
    QTest::newRow("a file of the user's named like a link to it stays")
        << old << u"new"_s << false << keep << old;
}

void TestListFile::saveKeepsThePreviousVersion()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, kept);
    QFETCH(bool, elsewhere);
    QFETCH(int, previous);
    QFETCH(QByteArray, keptAfter);
    QTemporaryDir folder;
    QTemporaryDir otherDisk(u"/dev/shm/reelkeep-test-XXXXXX"_s);
    const QString path = folder.filePath(u"films.rkf"_s);
    const QString bak = previousVersionPath(path);
    QCOMPARE(bak, path + u".bak"_s);
    const QString target = elsewhere ? otherDisk.filePath(u"films.rkf"_s) : path;
    if (!list.isNull())
        writeFileBytes(target, list);
    QVERIFY(!elsewhere || QFile::link(target, path));
    if (kept == u"file")
        writeFileBytes(bak, "older");
    if (kept == u"new")
        writeFileBytes(bak + u".new"_s, "mine");
    QVERIFY(kept != u"folder" || (QDir(folder.path()).mkdir(u"films.rkf.bak"_s) &&
                                  QFile(bak + u"/inside"_s).open(QIODevice::WriteOnly)));

    const ListDocument document{u"New"_s, QString(), {filmOf({u"new"_s})}};
    QString failure;
    const bool saved = saveListFile(path, ListForm::Native, document, &failure, PreviousVersion(previous));
    QCOMPARE(saved, kept != u"folder");
    QCOMPARE(QFileInfo(bak).isFile(), !keptAfter.isNull());
    QCOMPARE(fileContents(bak), keptAfter);
    QCOMPARE(fileContents(bak + u".new"_s), kept == u"new" ? QByteArray("mine") : QByteArray());
    // Nothing is left beside the list but what the save keeps.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).filter(u".new"_s).size(),
             kept == u"new" ? 1 : 0);
    if (!saved) {
        QVERIFY2(failure.contains(u"cannot be kept as"_s), qPrintable(failure));
        QCOMPARE(fileContents(path), list);
        return;
    }
    QCOMPARE(loadListFile(path, ListForm::Native)->films, document.films);
}

QTEST_GUILESS_MAIN(TestListFile)
#include "TestListFile.moc"
