// The native layout: exact bytes, round trips, and files that must be refused.
#include "SequentialDevice.h"
#include "catalogue/Catalogue.h"
#include "storage/ByteWindow.h"
#include "storage/NativeListFile.h"
#include "support/ListFiles.h"

#include <QBuffer>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

class TestNativeListFile : public QObject
{
    Q_OBJECT

private slots:
    void writesExactBytes_data();
    void writesExactBytes();
    void roundTrips_data();
    void roundTrips();
    void holdsAtMostAFullCatalogue();
    void refusesOverlongText_data();
    void refusesOverlongText();
    void refusesMalformedFile_data();
    void refusesMalformedFile();
    void refusesFileThatFailsToRead();
    void refusesEveryTruncation();
    void ignoresBytesAfterLastFilm();
};

// A magic followed by bytes written in hex, so rows read like a dump of the file.
static QByteArray bytes(const char* magic, const char* hex)
{
    return QByteArray(magic) + QByteArray::fromHex(hex);
}

static QByteArray seventeenEmptyTexts()
{
    return QByteArray::fromHex(QByteArray("0000").repeated(FieldCount));
}

void TestNativeListFile::writesExactBytes_data()
{
    QTest::addColumn<ListDocument>("document");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty catalogue is the magic, both page texts and FF FF")
        << ListDocument{u"My Movie"_s, QString(), {}} << bytes("rkf01", "0800 4d79204d6f766965 0000 ffff");
    QTest::newRow("one empty film is last index 0 and seventeen empty texts")
        << ListDocument{u"My Movie"_s, QString(), {FilmRecord()}}
        << bytes("rkf01", "0800 4d79204d6f766965 0000 0000") + seventeenEmptyTexts();
    QTest::newRow("fields follow the field order")
        << ListDocument{QString(), QString(), {filmOf({u"A"_s, u"B"_s})}}
        << bytes("rkf01", "0000 0000 0000 0100 41 0100 42") +
               QByteArray::fromHex(QByteArray("0000").repeated(15));
    QTest::newRow("counts are little-endian")
        << ListDocument{QString(300, u'x'), QString(), {}}
        << bytes("rkf01", "2c01") + QByteArray(300, 'x') + QByteArray::fromHex("0000ffff");
    QTest::newRow("line breaks are stored as they are")
        << ListDocument{QString(), u"a\r\nb\nc"_s, {}} << bytes("rkf01", "0000 0600 610d0a620a63 ffff");
    QTest::newRow("Windows-1252 texts take one byte a character")
        << ListDocument{u"\u20AC\u00E9\u0081"_s, QString(), {}} << bytes("rkf01", "0300 80e981 0000 ffff");
    QTest::newRow("a text outside Windows-1252 makes every text UTF-8 under rkf02")
        << ListDocument{u"\u00E9"_s, u"\u03A9"_s, {}} << bytes("rkf02", "0200 c3a9 0200 cea9 ffff");
    QTest::newRow("a list read from rkf02 stays so, though its texts fit Windows-1252")
        << ListDocument{u"\u00E9"_s, QString(), {}, ListEncoding::Utf8WithMark}
        << bytes("rkf02", "0200 c3a9 0000 ffff");
    QTest::newRow("a missing page text is written empty")
        << ListDocument{std::nullopt, std::nullopt, {}} << bytes("rkf01", "0000 0000 ffff");
}

void TestNativeListFile::writesExactBytes()
{
    QFETCH(ListDocument, document);
    QFETCH(QByteArray, expected);
    const std::optional<QByteArray> written = writeNativeList(document);
    QVERIFY(written);
    QCOMPARE(written->toHex(' '), expected.toHex(' '));
}

void TestNativeListFile::roundTrips_data()
{
    QTest::addColumn<ListDocument>("document");

    QTest::newRow("the empty catalogue keeps its page texts")
        << ListDocument{u"Title"_s, u"About\r\nit"_s, {}};
    QTest::newRow("the five undefined bytes' characters")
        << ListDocument{u"\u0081\u008D\u008F\u0090\u009D"_s, QString(), {filmOf({u"\u0090"_s})}};
    QTest::newRow("a text of exactly 65,535 bytes") << ListDocument{QString(65535, u'\u00E9'), QString(), {}};
    // U+FEFF has no byte in Windows-1252, so each of these is written in UTF-8.
    const ListEncoding utf8 = ListEncoding::Utf8WithMark;
    QTest::newRow("a page title that begins with U+FEFF")
        << ListDocument{u"\uFEFFTitle"_s, QString(), {}, utf8};
    QTest::newRow("a page description that is U+FEFF alone")
        << ListDocument{QString(), u"\uFEFF"_s, {}, utf8};
    QTest::newRow("a film field that begins with U+FEFF")
        << ListDocument{QString(), QString(), {filmOf({u"Alien"_s, u"\uFEFF1979"_s})}, utf8};
    QTest::newRow("two U+FEFF at the start of a field")
        << ListDocument{QString(), QString(), {filmOf({u"\uFEFF\uFEFFAlien"_s})}, utf8};
}

// Whole, then a piece at a time, so that counts and texts fall across the ends of pieces.
void TestNativeListFile::roundTrips()
{
    QFETCH(ListDocument, document);
    std::optional<QByteArray> written = writeNativeList(document);
    QVERIFY(written);
    QString failure;
    const std::optional<ListDocument> read = readNativeList(*written, &failure);
    QVERIFY2(read, qPrintable(failure));
    QCOMPARE(*read, document);
    for (const int piece : {1, 2, 3, 7, 64}) {
        QBuffer buffer(&*written);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ByteWindow window(buffer, piece);
        QVERIFY2(readNativeList(window) == read, qPrintable(u"in pieces of %1"_s.arg(piece)));
    }
}

void TestNativeListFile::holdsAtMostAFullCatalogue()
{
    QList<FilmRecord> films(Catalogue::MaxEntries, filmOf({u"x"_s}));
    const ListDocument full{u"All"_s, QString(), films};
    const std::optional<QByteArray> written = writeNativeList(full);
    QVERIFY(written);
    QCOMPARE(readNativeList(*written), full);
    QCOMPARE(written->mid(written->indexOf("All") + 5, 2), QByteArray::fromHex("fe7f"));
    films.append(FilmRecord());
    QString failure;
    QVERIFY(!writeNativeList(ListDocument{QString(), QString(), films}, &failure));
    QVERIFY(failure.contains(u"32,767"_s));
}

void TestNativeListFile::refusesOverlongText_data()
{
    QTest::addColumn<ListDocument>("document");
    QTest::addColumn<QString>("named");

    FilmRecord longPlot = filmOf({u"Alien"_s});
    longPlot[Field::Plot] = QString(65536, u'p');
    QTest::newRow("a field of 65,536 bytes names its film and field")
        << ListDocument{QString(), QString(), {FilmRecord(), longPlot}}
        << u"the plot of film 2 (\"Alien\")"_s;
    QTest::newRow("the page description of 65,536 bytes")
        << ListDocument{QString(), QString(65536, u'd'), {}} << u"the page description"_s;
    FilmRecord wideTitle = filmOf({QString(32768, u'\u00E9'), u"\u03A9"_s});
    QTest::newRow("a text that fits in Windows-1252 but not once it is UTF-8")
        << ListDocument{QString(), QString(), {wideTitle}} << u"the title of film 1"_s;
}

void TestNativeListFile::refusesOverlongText()
{
    QFETCH(ListDocument, document);
    QFETCH(QString, named);
    QString failure;
    QVERIFY(!writeNativeList(document, &failure));
    QVERIFY2(failure.contains(named), qPrintable(failure));
    QVERIFY2(failure.contains(u"65,535"_s), qPrintable(failure));
    QVERIFY2(failure.size() < 200, "an overlong title must not flood the message");
}

void TestNativeListFile::refusesMalformedFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");

    const QString foreign = u"not a Reelkeep list file"_s;
    const QString early = u"ends before its last film"_s;
    QTest::newRow("the magic in another case") << bytes("RKF01", "0000 0000 ffff") << foreign;
    QTest::newRow("a magic Reelkeep never writes") << bytes("rkf03", "0000 0000 ffff") << foreign;
    QTest::newRow("a last index below -1") << bytes("rkf01", "0000 0000 feff") << u"-2"_s;
    QTest::newRow("a last index of 32,767 means one film too many")
        << bytes("rkf01", "0000 0000 ff7f") << u"32767"_s;
    QTest::newRow("a huge last index in a short file") << bytes("rkf01", "0000 0000 fe7f") << early;
}

void TestNativeListFile::refusesMalformedFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QString failure;
    QVERIFY(!readNativeList(file, &failure));
    QVERIFY2(failure.contains(reason), qPrintable(failure));
}

// The films read so far are complete, but a file that cannot be read to its end is refused.
void TestNativeListFile::refusesFileThatFailsToRead()
{
    const std::optional<QByteArray> whole =
        writeNativeList(ListDocument{u"Page"_s, QString(), {filmOf({u"One"_s})}});
    QVERIFY(whole);
    SequentialDevice device(*whole, SequentialDevice::AtEnd::Fails);
    ByteWindow window(device, 4);
    QString failure;
    QVERIFY(!readNativeList(window, &failure));
    QCOMPARE(failure, u"the disk failed"_s);
}

// Cut anywhere, inside the magic, a count, a text or the last index, a file is refused for it.
void TestNativeListFile::refusesEveryTruncation()
{
    const std::optional<QByteArray> whole = writeNativeList(
        ListDocument{u"Page"_s, u"Text"_s, {filmOf({u"One"_s, u"1999"_s}), filmOf({u"Two"_s, u"\u03A9"_s})}});
    QVERIFY(whole);
    for (qsizetype length = 0; length < whole->size(); ++length) {
        QString failure;
        QVERIFY2(!readNativeList(whole->first(length), &failure), qPrintable(QString::number(length)));
        QVERIFY2(
            failure.contains(length < 5 ? u"not a Reelkeep list file"_s : u"ends before its last film"_s),
            qPrintable(QString::number(length) + u": "_s + failure));
    }
    QVERIFY(readNativeList(*whole));
}

void TestNativeListFile::ignoresBytesAfterLastFilm()
{
    const std::optional<ListDocument> read =
        readNativeList(bytes("rkf01", "0100 54 0000 0000") + seventeenEmptyTexts() + "trailing");
    QVERIFY(read);
    QCOMPARE(*read, (ListDocument{u"T"_s, QString(), {FilmRecord()}}));
}

QTEST_GUILESS_MAIN(TestNativeListFile)
#include "TestNativeListFile.moc"
