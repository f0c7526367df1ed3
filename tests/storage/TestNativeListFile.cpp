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
    void refusesWhatWouldNotLoad_data();
    void refusesWhatWouldNotLoad();
    void refusesMalformedFile_data();
    void refusesMalformedFile();
    void refusesFileThatFailsToRead();
    void refusesEveryTruncation();
    void ignoresWhatALaterVersionAdds_data();
    void ignoresWhatALaterVersionAdds();
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

// An "rkf03" file of empty page texts and one empty film, followed by parts written in hex.
static QByteArray withParts(const char* hex)
{
    return bytes("rkf03", "0000 0000 0000") + seventeenEmptyTexts() + QByteArray::fromHex(hex);
}

// Parts that give the film the rating 8 in a field "Rating", without the end part.
static const char RatingParts[] = "464c4453 12000000 0100 0600 526174696e67 0600 726174696e67"
                                  "56414c53 03000000 0100 38";

// The parts of a list of one extra field of text called `name`, which the film holds no value in.
static QByteArray partsNaming(const QString& name)
{
    const QByteArray utf8 = name.toUtf8();
    QByteArray fields = QByteArray::fromHex("0100");
    fields += char(utf8.size() & 0xFF) + QByteArray(1, char(utf8.size() >> 8)) + utf8 + "\x04\0text"_ba;
    const QByteArray length =
        QByteArray::fromHex(QByteArray::number(fields.size(), 16).rightJustified(2, '0'));
    return withParts("") + "FLDS" + length + "\0\0\0"_ba + fields + "VALS\x02\0\0\0\0\0ENDS\0\0\0\0"_ba;
}

static ListDocument withFields(ExtraFields fields, QList<FilmRecord> films)
{
    ListDocument document{QString(), QString(), std::move(films), ListEncoding::Utf8WithMark};
    document.fields = std::move(fields);
    return document;
}

static FilmRecord filmWithValues(const QStringList& values)
{
    FilmRecord film = filmOf({u"Alien"_s});
    film.extra = values;
    return film;
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
    QTest::newRow("a list read from rkf02 whose texts fit Windows-1252 goes back to rkf01")
        << ListDocument{u"\u00E9"_s, QString(), {}, ListEncoding::Utf8WithMark}
        << bytes("rkf01", "0100 e9 0000 ffff");
    QTest::newRow("a missing page text is written empty")
        << ListDocument{std::nullopt, std::nullopt, {}} << bytes("rkf01", "0000 0000 ffff");
    FilmRecord rated;
    rated.extra = {u"8"_s};
    QTest::newRow("extra fields take rkf03: the films, then their fields, values and end parts")
        << withFields({{u"Rating"_s, ExtraKind::Rating}}, {rated})
        << withParts(RatingParts) + "ENDS\0\0\0\0"_ba;
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
    const ExtraFields everyKind = {{u"Shelf"_s, ExtraKind::Text},
                                   {u"Notes"_s, ExtraKind::LongText},
                                   {u"Copies"_s, ExtraKind::Number},
                                   {u"Rating"_s, ExtraKind::Rating},
                                   {u"Seen"_s, ExtraKind::YesNo},
                                   {u"Bought"_s, ExtraKind::Date}};
    QTest::newRow("a name of 64 characters that each take a surrogate pair")
        << withFields({{QString::fromUcs4(U"\U0001F3AC", 1).repeated(64), ExtraKind::Text}}, {});
    QTest::newRow("a value of every kind, films holding some or none") << withFields(
        everyKind,
        {filmWithValues({u"A3"_s, u"Good\r\nvery"_s, u"-2.5"_s, u"10"_s, u"no"_s, u"2024-02-29"_s}),
         filmWithValues({}),
         filmWithValues({QString(), QString(), u"1e+300"_s}),
         filmWithValues({u"\u03A9"_s, QString(65535 / 3, u'\u20AC')})});
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

void TestNativeListFile::refusesWhatWouldNotLoad_data()
{
    QTest::addColumn<ListDocument>("document");
    QTest::addColumn<QString>("named");

    FilmRecord longPlot = filmOf({u"Alien"_s});
    longPlot[Field::Plot] = QString(65536, u'p');
    QTest::newRow("a field of 65,536 bytes names its film and field")
        << ListDocument{QString(), QString(), {FilmRecord(), longPlot}}
        << u"the plot of film 2 (\"Alien\") is longer than 65,535 bytes"_s;
    QTest::newRow("the page description of 65,536 bytes")
        << ListDocument{QString(), QString(65536, u'd'), {}}
        << u"the page description is longer than 65,535 bytes"_s;
    FilmRecord wideTitle = filmOf({QString(32768, u'\u00E9'), u"\u03A9"_s});
    QTest::newRow("a text that fits in Windows-1252 but not once it is UTF-8")
        << ListDocument{QString(), QString(), {wideTitle}} << u"the title of film 1"_s;
    const ExtraFields rating = {{u"Rating"_s, ExtraKind::Rating}};
    QTest::newRow("an extra value of 65,536 bytes")
        << withFields({{u"Notes"_s, ExtraKind::LongText}},
                      {FilmRecord(), filmWithValues({QString(65536, u'n')})})
        << u"the extra field \"Notes\" of film 2 (\"Alien\") is longer than 65,535 bytes"_s;
    QTest::newRow("a value not in its kind's canonical text")
        << withFields(rating, {filmWithValues({u"7.5"_s})})
        << u"the extra field \"Rating\" of film 1 (\"Alien\") is \"7.5\", not a rating from 0 to 10"_s;
    QTest::newRow("a value of a field the list does not have")
        << withFields(rating, {filmWithValues({u"7"_s, u"x"_s})})
        << u"film 1 holds a value of an extra field the list does not have"_s;
    QTest::newRow("two fields whose names differ in case only")
        << withFields({{u"Seen"_s, ExtraKind::YesNo}, {u"SEEN"_s, ExtraKind::Text}}, {})
        << u"the extra field \"SEEN\" cannot be: the list has a field called \"Seen\" already"_s;
    ExtraFields tooMany;
    for (int i = 0; i <= MaxExtraFields; ++i)
        tooMany.append({u"F%1"_s.arg(i), ExtraKind::Text});
    QTest::newRow("more extra fields than a list holds")
        << withFields(tooMany, {}) << u"there are 65 extra fields, more than the 64 a list holds"_s;
}

void TestNativeListFile::refusesWhatWouldNotLoad()
{
    QFETCH(ListDocument, document);
    QFETCH(QString, named);
    QString failure;
    QVERIFY(!writeNativeList(document, &failure));
    QVERIFY2(failure.contains(named), qPrintable(failure));
    QVERIFY2(failure.size() < 200, "an overlong title must not flood the message");
}

void TestNativeListFile::refusesMalformedFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");

    const QString foreign = u"not a Reelkeep list file"_s;
    const QString early = u"ends before its last film"_s;
    QTest::newRow("the magic in another case") << bytes("RKF01", "0000 0000 ffff") << foreign;
    QTest::newRow("a magic Reelkeep never writes") << bytes("rkf04", "0000 0000 ffff") << foreign;
    QTest::newRow("a last index below -1") << bytes("rkf01", "0000 0000 feff") << u"-2"_s;
    QTest::newRow("a last index of 32,767 means one film too many")
        << bytes("rkf01", "0000 0000 ff7f") << u"32767"_s;
    QTest::newRow("a huge last index in a short file") << bytes("rkf01", "0000 0000 fe7f") << early;
    QTest::newRow("a part whose tag begins with a capital must be understood")
        << withParts("58545241 00000000 454e4453 00000000")
        << u"the file holds a part \"XTRA\" that this version cannot read"_s;
    QTest::newRow("the parts run to their end part")
        << withParts(RatingParts) << u"ends before its end part"_s;
    QTest::newRow("a part that ends where its length does not say")
        << withParts("464c4453 03000000 0000 454e4453 00000000") << u"\"FLDS\" does not end where"_s;
    QTest::newRow("extra fields need their values")
        << withParts("464c4453 12000000 0100 0600 526174696e67 0600 726174696e67 454e4453 00000000")
        << u"no part with their values"_s;
    QTest::newRow("values come after their fields")
        << withParts("56414c53 00000000 464c4453 02000000 0000 454e4453 00000000") << u"after their values"_s;
    QTest::newRow("a kind a later version may add")
        << withParts("464c4453 11000000 0100 0600 526174696e67 0500 6d6f6e6579 454e4453 00000000")
        << u"the extra field \"Rating\" is of a kind this version does not know (\"money\")"_s;
    QTest::newRow("a field named after one of the seventeen")
        << withParts("464c4453 10000000 0100 0500 5469746c65 0400 74657874 454e4453 00000000")
        << u"\"Title\" is one of the seventeen fields"_s;
    QTest::newRow("a value not in its kind's canonical text")
        << withParts("464c4453 12000000 0100 0600 526174696e67 0600 726174696e67"
                     "56414c53 04000000 0200 3038 454e4453 00000000")
        << u"the extra field \"Rating\" of film 1 (\"\") is \"08\", not a rating from 0 to 10"_s;
    QTest::newRow("more extra fields than a list holds")
        << withParts("464c4453 02000000 4100 454e4453 00000000") << u"65 extra fields, more than the 64"_s;
    QTest::newRow("the extra fields' part twice, the first of no fields")
        << withParts("464c4453 02000000 0000 464c4453 02000000 0000 454e4453 00000000")
        << u"the extra fields' part comes twice"_s;
    QTest::newRow("an end part that says it holds something")
        << withParts("454e4453 01000000 00") << u"the end part has a length of 1"_s;
    QTest::newRow("a name that turns the direction of the text")
        << partsNaming(u"Seen\u202E"_s) << u"a control of the text's direction or U+FEFF"_s;
    QTest::newRow("a name that begins with U+FEFF")
        << partsNaming(u"\uFEFFSeen"_s) << u"a control of the text's direction or U+FEFF"_s;
    const QString clapper = QString::fromUcs4(U"\U0001F3AC", 1);
    QTest::newRow("a name too long, shown without cutting a character")
        << partsNaming(QString(39, u'n') + clapper.repeated(26))
        << u"\""_s + QString(39, u'n') + clapper +
               u"\u2026\" cannot be: the name is longer than 64 characters"_s;
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

// Cut anywhere, inside the magic, a count, a text, the last index or a part, a file is refused for it.
void TestNativeListFile::refusesEveryTruncation()
{
    ListDocument document{u"Page"_s,
                          u"Text"_s,
                          {filmOf({u"One"_s, u"1999"_s}), filmOf({u"Two"_s, u"\u03A9"_s})},
                          ListEncoding::Utf8WithMark};
    for (const bool fields : {false, true}) {
        if (fields)
            document =
                withFields({{u"Seen"_s, ExtraKind::YesNo}}, {filmWithValues({u"yes"_s}), FilmRecord()});
        const std::optional<QByteArray> whole = writeNativeList(document);
        QVERIFY(whole);
        const qsizetype parts = fields ? whole->indexOf("FLDS") : whole->size();
        for (qsizetype length = 0; length < whole->size(); ++length) {
            QString failure;
            QVERIFY2(!readNativeList(whole->first(length), &failure), qPrintable(QString::number(length)));
            const QString reason = length < 5       ? u"not a Reelkeep list file"_s
                                   : length < parts ? u"ends before its last film"_s
                                                    : u"ends before its end part"_s;
            QVERIFY2(failure.contains(reason), qPrintable(QString::number(length) + u": "_s + failure));
        }
        QCOMPARE(readNativeList(*whole), document);
    }
}

void TestNativeListFile::ignoresWhatALaterVersionAdds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<ListDocument>("document");

    QTest::newRow("bytes after the last film")
        << bytes("rkf01", "0100 54 0000 0000") + seventeenEmptyTexts() + "trailing"
        << ListDocument{u"T"_s, QString(), {FilmRecord()}};
    FilmRecord rated;
    rated.extra = {u"8"_s};
    QTest::newRow("a part whose tag begins with a small letter, and bytes after the end part")
        << withParts("78747261 02000000 ffff") + withParts(RatingParts).sliced(withParts("").size()) +
               "ENDS\0\0\0\0trailing"_ba
        << withFields({{u"Rating"_s, ExtraKind::Rating}}, {rated});
}

void TestNativeListFile::ignoresWhatALaterVersionAdds()
{
    QFETCH(QByteArray, file);
    QFETCH(ListDocument, document);
    QString failure;
    const std::optional<ListDocument> read = readNativeList(file, &failure);
    QVERIFY2(read, qPrintable(failure));
    QCOMPARE(*read, document);
}

QTEST_GUILESS_MAIN(TestNativeListFile)
#include "TestNativeListFile.moc"
