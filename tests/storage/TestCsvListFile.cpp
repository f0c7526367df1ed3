// The comma-separated form: the bytes as written, and reading fields as a stream, whole and in pieces.
#include "SequentialDevice.h"
#include "catalogue/Catalogue.h"
#include "storage/ByteWindow.h"
#include "storage/CsvListFile.h"
#include "support/ListFiles.h"
#include "text/Utf8.h"

#include <QBuffer>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;
using namespace reelkeep::test;

// Each film as its leading fields; the fields not given are empty.
using Films = QList<QStringList>;

class TestCsvListFile : public QObject
{
    Q_OBJECT

private slots:
    void writesExactBytes_data();
    void writesExactBytes();
    void reads_data();
    void reads();
    void findsEncoding_data();
    void findsEncoding();
    void refusesFileThatFailsToRead();
    void holdsAtMostAFullCatalogue();
};

static QList<FilmRecord> records(const Films& films)
{
    QList<FilmRecord> result;
    for (const QStringList& fields : films)
        result.append(filmOf(fields));
    return result;
}

// A line of seventeen quoted fields as written, the given ones first and the rest empty.
static QByteArray line(const QByteArrayList& quotedFields)
{
    QByteArrayList all = quotedFields;
    while (all.size() < FieldCount)
        all.append("\"\"");
    return all.join(',') + "\r\n";
}

void TestCsvListFile::writesExactBytes_data()
{
    QTest::addColumn<Films>("films");
    QTest::addColumn<int>("encoding"); // the list's
    QTest::addColumn<QByteArray>("expected");

    const int windows1252 = int(ListEncoding::Windows1252);
    QTest::newRow("no films is the empty file") << Films{} << windows1252 << QByteArray();
    QTest::newRow("an empty film is seventeen pairs of quotes")
        << Films{{}} << windows1252 << QByteArray("\"\",").repeated(16) + "\"\"\r\n";
    QTest::newRow("one line a film in field order")
        << Films{{u"Alien"_s, u"1979"_s}, {u"Heat"_s}} << windows1252
        << line({"\"Alien\"", "\"1979\""}) + line({"\"Heat\""});
    QTest::newRow("line breaks and commas stay inside the quotes")
        << Films{{u"a,b"_s, u"one\r\ntwo"_s}} << windows1252 << line({"\"a,b\"", "\"one\r\ntwo\""});
    QTest::newRow("a double quote inside a field is doubled")
        << Films{{u"say \"hi\""_s, u"\""_s}} << windows1252 << line({"\"say \"\"hi\"\"\"", "\"\"\"\""});
    QTest::newRow("Windows-1252 texts take one byte a character")
        << Films{{u"Caf\u00E9 \u20AC \u0081"_s}} << windows1252 << line({"\"Caf\xE9 \x80 \x81\""});
    QTest::newRow("a text outside Windows-1252 makes the file UTF-8 with a mark")
        << Films{{u"\u00E9"_s}, {u"\u03A9"_s}} << windows1252
        << "\xEF\xBB\xBF" + line({"\"\xC3\xA9\""}) + line({"\"\xCE\xA9\""});
    QTest::newRow("so does one before a quote")
        << Films{{u"\u03A9\"x"_s}} << windows1252 << "\xEF\xBB\xBF" + line({"\"\xCE\xA9\"\"x\""});
    QTest::newRow("a list read as UTF-8 without a mark is saved so")
        << Films{{u"M\u00E9pris"_s}} << int(ListEncoding::Utf8) << line({"\"M\xC3\xA9pris\""});
    QTest::newRow("a list read as UTF-8 with a mark keeps it, though its texts fit Windows-1252")
        << Films{{u"M\u00E9pris"_s}} << int(ListEncoding::Utf8WithMark)
        << "\xEF\xBB\xBF" + line({"\"M\xC3\xA9pris\""});
}

void TestCsvListFile::writesExactBytes()
{
    QFETCH(Films, films);
    QFETCH(int, encoding);
    QFETCH(QByteArray, expected);
    QCOMPARE(writeCsvList(records(films), ListEncoding(encoding)), expected);
}

void TestCsvListFile::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Films>("films");

    QTest::newRow("the empty file is an empty catalogue") << QByteArray() << Films{};
    QTest::newRow("fields are a stream whatever the line ends")
        << QByteArray("\"a\",\"b\"\r\n\"c\"," + QByteArray("\"\",").repeated(13) + "\"q\"\r\n\"next\"\r\n")
        << Films{{u"a"_s, u"b"_s, u"c"_s, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"q"_s},
                 {u"next"_s}};
    QTest::newRow("a quoted field runs across commas and line ends")
        << line({"\"a,\r\nb\"", "\"c\""}) << Films{{u"a,\r\nb"_s, u"c"_s}};
    QTest::newRow("a doubled quote is one quote") << line({"\"say \"\"hi\"\"\""}) << Films{{u"say \"hi\""_s}};
    QTest::newRow("a lone quote ends the field and the rest to the comma is skipped")
        << line({"\"say \"hi\" now\"", "\"b\""}) << Films{{u"say "_s, u"b"_s}};
    QTest::newRow("blanks before a quoted field are skipped")
        << line({"  \"a\"", "\t\"b\""}) << Films{{u"a"_s, u"b"_s}};
    QTest::newRow("blanks inside quotes are kept") << line({"\" a \""}) << Films{{u" a "_s}};
    QTest::newRow("an unquoted field loses its outer blanks")
        << QByteArray("  plain text  ,next\r\n") << Films{{u"plain text"_s, u"next"_s}};
    QTest::newRow("an unquoted field keeps its inner quotes")
        << QByteArray("a\"b,c") << Films{{u"a\"b"_s, u"c"_s}};
    QTest::newRow("line feeds alone end lines") << QByteArray("a\nb\n") << Films{{u"a"_s, u"b"_s}};
    QTest::newRow("carriage returns alone end lines") << QByteArray("a\rb\r") << Films{{u"a"_s, u"b"_s}};
    QTest::newRow("a blank line is an empty field")
        << QByteArray("a\r\n\r\nc") << Films{{u"a"_s, {}, u"c"_s}};
    QTest::newRow("line ends after the last film add no film")
        << QByteArray("\"a\"" + QByteArray(",\"\"").repeated(16) + "\r\n\r\n\n") << Films{{u"a"_s}};
    QTest::newRow("bytes without a mark are Windows-1252")
        << line({"\"Caf\xE9 \x80\""}) << Films{{u"Caf\u00E9 \u20AC"_s}};
    QTest::newRow("a byte-order mark makes the file UTF-8")
        << "\xEF\xBB\xBF" + line({"\"Caf\xC3\xA9 \xE2\x82\xAC\""}) << Films{{u"Caf\u00E9 \u20AC"_s}};
    QTest::newRow("U+FEFF after the mark opens an unquoted first field")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFmark,b") << Films{{u"\uFEFFmark"_s, u"b"_s}};
    QTest::newRow("U+FEFF opens quoted fields") << "\xEF\xBB\xBF" + line({"\"\xEF\xBB\xBF"
                                                                          "a\"",
                                                                          "\"\xEF\xBB\xBF\xEF\xBB\xBF\""})
                                                << Films{{u"\uFEFFa"_s, u"\uFEFF\uFEFF"_s}};
    QTest::newRow("U+FEFF opens an unquoted later field") << QByteArray("\xEF\xBB\xBF"
                                                                        "a, \xEF\xBB\xBF")
                                                          << Films{{u"a"_s, u"\uFEFF"_s}};
    QTest::newRow("malformed UTF-8 reads as replacement characters, field by field")
        << QByteArray("\xEF\xBB\xBF\"a\xE2\x82\",\xC3,\xFF\xE2\x82\xAC\xF0")
        << Films{{u"a\uFFFD\uFFFD"_s, u"\uFFFD"_s, u"\uFFFD\u20AC\uFFFD"_s}};

    // Fields are found in the bytes and each decoded on its own; these rows put the bytes that need
    // more than widening, quotes and line ends at the edges of fields and of the file.
    QTest::newRow("bytes 80-9F open, split and close quoted fields")
        << line({"\"\x80"
                 "a\"",
                 "\"a\x9F"
                 "b\"",
                 "\"ab\x81\"",
                 "\"\x8D\""})
        << Films{{u"\u20ACa"_s, u"a\u0178b"_s, u"ab\u0081"_s, u"\u008D"_s}};
    QTest::newRow("bytes 80-9F at the ends of unquoted fields") << QByteArray("\x80"
                                                                              "a  ,  b\x9F\r\n")
                                                                << Films{{u"\u20ACa"_s, u"b\u0178"_s}};
    QTest::newRow("a no-break space is not a blank to trim")
        << QByteArray("\xA0x\xA0,y") << Films{{u"\u00A0x\u00A0"_s, u"y"_s}};
    QTest::newRow("bytes 80-9F after a closing quote are skipped")
        << QByteArray("\"a\"\x80\x9F,b") << Films{{u"a"_s, u"b"_s}};
    QTest::newRow("a doubled quote opens a quoted field") << line({"\"\"\"a\""}) << Films{{u"\"a"_s}};
    QTest::newRow("a doubled quote closes a quoted field") << line({"\"a\"\"\""}) << Films{{u"a\""_s}};
    QTest::newRow("a quoted field of doubled quotes alone")
        << line({"\"\"\"\"\"\"", "\"\"\"\""}) << Films{{u"\"\""_s, u"\""_s}};
    QTest::newRow("doubled quotes between bytes 80-9F")
        << line({"\"\x93\"\"\x94\"\"\""}) << Films{{u"\u201C\"\u201D\""_s}};
    QTest::newRow("a doubled quote at the end of the file leaves the field open")
        << QByteArray("\"a\"\"") << Films{{u"a\""_s}};
    QTest::newRow("a quote at the end of the file is an empty field")
        << QByteArray("a,\"") << Films{{u"a"_s, {}}};
    QTest::newRow("an unterminated quoted field keeps its commas, quotes and line ends")
        << QByteArray("a,\"b,\"\"c\r\nd\n") << Films{{u"a"_s, u"b,\"c\r\nd\n"_s}};
    QTest::newRow("a CR before a CR LF is a line end of its own")
        << QByteArray("a\r\r\nb") << Films{{u"a"_s, {}, u"b"_s}};
    QTest::newRow("an LF before a CR is a line end of its own")
        << QByteArray("a\n\rb") << Films{{u"a"_s, {}, u"b"_s}};
    QTest::newRow("blanks around an unquoted field in mid-line")
        << QByteArray("x, \t a b \t ,c") << Films{{u"x"_s, u"a b"_s, u"c"_s}};
    QTest::newRow("blanks alone are an empty field") << QByteArray("a, \t ,c") << Films{{u"a"_s, {}, u"c"_s}};
    QTest::newRow("blanks at the end of the file are dropped")
        << QByteArray("a,b \t ") << Films{{u"a"_s, u"b"_s}};
    QTest::newRow("empty quoted and unquoted fields") << QByteArray("\"\",,\"\"\r\n") << Films{{{}, {}, {}}};
    QTest::newRow("a file that ends without a line end")
        << line({"\"one\""}) + QByteArray("\"two\",\"2002\"") << Films{{u"one"_s}, {u"two"_s, u"2002"_s}};
    QTest::newRow("a UTF-8 file of line ends alone holds no films")
        << QByteArray("\xEF\xBB\xBF\r\n\n") << Films{};
    QTest::newRow("UTF-8 characters at the ends of fields")
        << QByteArray("\xEF\xBB\xBF\xC3\xA9,\"\xE2\x82\xAC\"\"\xE2\x82\xAC\"")
        << Films{{u"\u00E9"_s, u"\u20AC\"\u20AC"_s}};

    const QByteArray longBytes = QByteArray("x\x80y").repeated(40000);
    const QString longText = u"x\u20ACy"_s.repeated(40000);
    QTest::newRow("very long quoted, unquoted and doubled-quote fields")
        << "\"\x9F" + longBytes + "\x80\"," + longBytes + ",\"" + QByteArray("\"\"").repeated(50000) + "\""
        << Films{{u"\u0178"_s + longText + u"\u20AC"_s, longText, QString(50000, u'"')}};
}

// Whole, then a piece at a time: every field, quote, blank and line end may fall across the end of
// a piece, from a device whose size is known or not.
void TestCsvListFile::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(Films, films);
    const std::optional<ListDocument> read = readCsvList(file);
    QVERIFY(read);
    QCOMPARE(read->films, records(films));
    for (const int piece : {1, 2, 3, 5, 16}) {
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        SequentialDevice pipe(file, SequentialDevice::AtEnd::Ends);
        for (QIODevice* device : {static_cast<QIODevice*>(&buffer), static_cast<QIODevice*>(&pipe)}) {
            ByteWindow window(*device, piece);
            QVERIFY2(readCsvList(window) == read, qPrintable(u"in pieces of %1"_s.arg(piece)));
        }
    }
}

// Bytes without a mark are UTF-8 when every field's bytes are, else Windows-1252; the same from a
// pipe, which cannot be read twice, a byte or a few at a time.
void TestCsvListFile::findsEncoding_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("findingAt"); // the byte a warning names, -1 for none

    const int windows1252 = int(ListEncoding::Windows1252);
    QTest::newRow("ASCII alone is Windows-1252")
        << line({"\"Alien\""}) << windows1252 << QStringList{u"Alien"_s} << -1;
    QTest::newRow("UTF-8 without a mark") << line({"\"Le M\xC3\xA9pris\""}) << int(ListEncoding::Utf8)
                                          << QStringList{u"Le M\u00E9pris"_s} << -1;
    QTest::newRow("a byte that is not UTF-8 makes it Windows-1252")
        << line({"\"\xE9\x80!\""}) << windows1252 << QStringList{u"\u00E9\u20AC!"_s} << -1;
    QTest::newRow("UTF-8 read again as Windows-1252 after a byte that is not, told where")
        << line({"\"M\xC3\xA9pris\""}) + line({"\"\xC3\xA9\""}).repeated(2) + line({"\"Am\xE9lie\""})
        << windows1252
        << QStringList{u"M\u00C3\u00A9pris"_s, u"\u00C3\u00A9"_s, u"\u00C3\u00A9"_s, u"Am\u00E9lie"_s} << 2;
    QTest::newRow("UTF-8 after Windows-1252, told where")
        << line({"\"Am\xE9lie\""}) + line({"\"M\xC3\xA9pris\""}) << windows1252
        << QStringList{u"Am\u00E9lie"_s, u"M\u00C3\u00A9pris"_s} << 60;
    QTest::newRow("Windows-1252 letters that pair as UTF-8 in a field that is not UTF-8 are no UTF-8")
        << line({"\"Am\xE9lie\""}) + line({"\"CAF\xC9\xA0: \xE9t\xE9\""}) << windows1252
        << QStringList{u"Am\u00E9lie"_s, u"CAF\u00C9\u00A0: \u00E9t\u00E9"_s} << -1;
    QTest::newRow("malformed bytes after a mark, told where")
        << "\xEF\xBB\xBF" + line({"\"a\xFF\""}) << int(ListEncoding::Utf8WithMark)
        << QStringList{u"a\uFFFD"_s} << 5;
}

void TestCsvListFile::findsEncoding()
{
    QFETCH(QByteArray, file);
    QFETCH(int, encoding);
    QFETCH(QStringList, titles);
    QFETCH(int, findingAt);
    for (const int piece : {0, 1, 3}) {
        SequentialDevice pipe(file, SequentialDevice::AtEnd::Ends);
        ByteWindow whole(file);
        ByteWindow pieces(pipe, qMax(piece, 1));
        TextFindings findings;
        const std::optional<ListDocument> read = readCsvList(piece == 0 ? whole : pieces, nullptr, &findings);
        QVERIFY(read);
        QStringList readTitles;
        for (const FilmRecord& film : read->films)
            readTitles.append(film.title());
        QCOMPARE(readTitles, titles);
        QCOMPARE(int(read->encoding), encoding);
        QCOMPARE(textFindingsPosition(findings), qsizetype(findingAt));
    }
}

void TestCsvListFile::refusesFileThatFailsToRead()
{
    SequentialDevice device(line({"\"Alien\""}), SequentialDevice::AtEnd::Fails);
    ByteWindow window(device, 4);
    QString failure;
    QVERIFY(!readCsvList(window, &failure));
    QCOMPARE(failure, u"the disk failed"_s);
}

void TestCsvListFile::holdsAtMostAFullCatalogue()
{
    const QByteArray full = line({"\"x\""}).repeated(Catalogue::MaxEntries);
    const std::optional<ListDocument> read = readCsvList(full);
    QVERIFY(read);
    QCOMPARE(read->films.size(), Catalogue::MaxEntries);
    QString failure;
    QVERIFY(!readCsvList(full + line({}), &failure));
    QVERIFY2(failure.contains(u"32,767"_s), qPrintable(failure));
}

QTEST_GUILESS_MAIN(TestCsvListFile)
#include "TestCsvListFile.moc"
