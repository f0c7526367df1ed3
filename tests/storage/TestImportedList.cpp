// Importing films from spreadsheets and other programs' exports: encodings, separators, quoting,
// column names, rows of the wrong length and refusals.
#include "storage/ImportedList.h"

#include <QStringEncoder>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestImportedList : public QObject
{
    Q_OBJECT

private slots:
    void importsRealLookingFiles_data();
    void importsRealLookingFiles();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void tellsWhereTheTextChanged_data();
    void tellsWhereTheTextChanged();
};

void TestImportedList::importsRealLookingFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("found"); // the encoding, the separator and each column's field, "-" for none
    QTest::addColumn<QString>("films"); // the fields of each film that are not empty, films between " / "
    QTest::addColumn<QString>("problemLines"); // of rows with more or fewer cells than the header

    QTest::newRow("UTF-8 without a mark, as spreadsheets save it, no end on the last line")
        << "Title,Year,Format\r\nAm\xC3\xA9lie,2001,DVD\r\nAlien,1979,"_ba
        << u"UTF-8, commas: title release type"_s
        << u"title=Am\u00E9lie|release=2001|type=DVD / title=Alien|release=1979"_s << QString();
    QTest::newRow("UTF-8 with a byte-order mark, LF line ends")
        << "\xEF\xBB\xBFName,Released\nAm\xC3\xA9lie,2001\n"_ba
        << u"UTF-8 with a byte-order mark, commas: title release"_s << u"title=Am\u00E9lie|release=2001"_s
        << QString();
    QTest::newRow("Windows-1252 from an older program")
        << "Title;Genre\r\nAm\xE9lie;Com\xE9"
           "die \x80\r\n"_ba
        << u"Windows-1252, semicolons: title genre"_s << u"title=Am\u00E9lie|genre=Com\u00E9die \u20AC"_s
        << QString();
    QTest::newRow("semicolons of a European spreadsheet, commas inside cells")
        << "Title;Duration;Rating\r\nL\xC3\xA9on;1,5 h;4,5\r\n"_ba << u"UTF-8, semicolons: title time -"_s
        << u"title=L\u00E9on|time=1,5 h"_s << QString();
    QTest::newRow("tabs, names other programs give the fields")
        << "Original title\tGenres\tCover\tRuntime\tDirector(s)\nAlien\tSci-Fi\ta.jpg\t117\tScott\n"_ba
        << u"UTF-8, tabs: title genre imgsrc time cast"_s
        << u"title=Alien|time=117|genre=Sci-Fi|cast=Scott|imgsrc=a.jpg"_s << QString();
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("UTF-16 text of a spreadsheet, with its mark")
        << QByteArray(utf16(u"Title\tYear\r\n\u65E5\u672C\t1954\r\n"_s))
        << u"UTF-16LE with a byte-order mark, tabs: title release"_s << u"title=\u65E5\u672C|release=1954"_s
        << QString();
    QTest::newRow("quotes, doubled quotes and line breaks inside cells")
        << "Title,Plot\r\n\"Alien, the \"\"cut\"\"\",\"In space\r\nno one\"\r\n"_ba
        << u"UTF-8, commas: title plot"_s << u"title=Alien, the \"cut\"|plot=In space\r\nno one"_s
        << QString();
    QTest::newRow("header names match whatever their case, accents and punctuation")
        << "ORIGINAL TITLE,Running-Time,Pl\xC3\xB3t,Notes\nA,1,p,n\n"_ba
        << u"UTF-8, commas: title time plot comment"_s << u"title=A|time=1|plot=p|comment=n"_s << QString();
    QTest::newRow("a field goes to the column of its best name, others are left out")
        << "Original title,Title,Rating,Director,Actors\nO,T,5,Scott,Weaver\n"_ba
        << u"UTF-8, commas: - title - - cast"_s << u"title=T|cast=Weaver"_s << QString();
    QTest::newRow("web links take the free link fields and name their texts")
        << "Title,IMDb,weburl1,Website,Link,URL\nA,i,w,s,l,u\nB,,,s2,,\n"_ba
        << u"UTF-8, commas: title weburl2 weburl1 weburl3 - -"_s
        << u"title=A|weburl1=w|webtext2=IMDb|weburl2=i|webtext3=Website|weburl3=s / "
           u"title=B|webtext3=Website|weburl3=s2"_s
        << QString();
    QTest::newRow("short and long rows keep the line they begin on")
        << "Title,Year\nA\n\"B\nB\",2,x\nC,3\n"_ba << u"UTF-8, commas: title release"_s
        << u"title=A / title=B\nB|release=2 / title=C|release=3"_s << u"2 3"_s;
    QTest::newRow("blank rows are no films, before the header too")
        << "\r\nTitle,Year\r\n\r\nA,1\r\n,\r\n\"\",\r\n"_ba << u"UTF-8, commas: title release"_s
        << u"title=A|release=1"_s << QString();
}

void TestImportedList::importsRealLookingFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, found);
    QFETCH(QString, films);
    QFETCH(QString, problemLines);

    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes, &failure);
    QVERIFY2(analysis, qPrintable(failure));
    QStringList fields;
    for (const std::optional<Field>& field : analysis->guessed)
        fields.append(field ? fieldName(*field).toString() : u"-"_s);
    QCOMPARE(analysis->table.encoding + u", "_s + separatorName(analysis->table.separator) + u": "_s +
                 fields.join(u' '),
             found);

    const std::optional<QList<FilmRecord>> imported = importFilms(*analysis, analysis->guessed);
    QVERIFY(imported);
    QStringList texts;
    for (const FilmRecord& film : *imported) {
        QStringList named;
        for (int i = 0; i < FieldCount; ++i) {
            if (const QString& text = film.fields[static_cast<size_t>(i)]; !text.isEmpty())
                named.append(fieldName(fieldAt(i)).toString() + u'=' + text);
        }
        texts.append(named.join(u'|'));
    }
    QCOMPARE(texts.join(u" / "_s), films);
    QStringList lines;
    for (const TableRow& row : analysis->table.rows) {
        if (row.cellCount != analysis->table.columns.size())
            lines.append(QString::number(row.line));
    }
    QCOMPARE(lines.join(u' '), problemLines);
    QCOMPARE(rowProblems(analysis->table, 100).size(), lines.size());
}

void TestImportedList::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("failure"); // of analyseImport, else of importFilms; empty for none

    QTest::newRow("an empty file has no header") << QByteArray() << u"the file has no header line"_s;
    QTest::newRow("nor has one of blank lines") << "\r\n\n,\r\n"_ba << u"the file has no header line"_s;
    QTest::newRow("a header alone imports no films") << "Title\r\n"_ba << QString();
    QTest::newRow("a quote never closed would swallow the rest")
        << "Title\nA\n\"B,\nC\n"_ba << u"the quoted cell that begins on line 3 has no closing quote"_s;
    QTest::newRow("a full list is imported") << "Title\n"_ba + "x\n"_ba.repeated(32767) << QString();
    QTest::newRow("one film more than a list holds")
        << "Title\n"_ba + "x\n"_ba.repeated(32768) << u"the file holds more than 32,767 films"_s;
    QTest::newRow("a header of more columns than a film could use")
        << ",x"_ba.repeated(MaxTableColumns) << u"the header has more than 1024 columns"_s;
    QTest::newRow("a file beyond the bound")
        << QByteArray(MaxTableBytes + 1, 'x') << u"the file is larger than 64 MB"_s;
    QTest::newRow("no column goes to the title")
        << "Rating;Year\n5;2001\n"_ba
        << u"no column goes to the title; the columns are \"Rating\", \"Year\""_s;
}

void TestImportedList::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, failure);
    QString reason;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes, &reason);
    const bool imported = analysis && importFilms(*analysis, analysis->guessed, &reason);
    QCOMPARE(reason, failure);
    QCOMPARE(imported, failure.isEmpty());
}

static QStringList titles(const ImportAnalysis& analysis)
{
    QStringList titles;
    for (const FilmRecord& film : importFilms(analysis, analysis.guessed).value_or(QList<FilmRecord>()))
        titles.append(film.title());
    return titles;
}

// Every byte that reading replaces or leaves out is told with its line and its place in the file.
void TestImportedList::tellsWhereTheTextChanged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("changes");

    const QString sheet = u"Title\tYear\r\nAlien\t1979\r\n"_s;
    QTest::newRow("UTF-16 without a mark, little-endian")
        << QByteArray(QStringEncoder(QStringConverter::Utf16LE)(sheet)) << u"UTF-16LE"_s
        << QStringList{u"Alien"_s} << QStringList();
    QTest::newRow("UTF-16 without a mark, big-endian")
        << QByteArray(QStringEncoder(QStringConverter::Utf16BE)(sheet)) << u"UTF-16BE"_s
        << QStringList{u"Alien"_s} << QStringList();
    QStringEncoder marked(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("an odd byte at the end of UTF-16 is left out, not a film")
        << QByteArray(marked(u"Title\r\nAlien\r\n"_s)) + "A" << u"UTF-16LE with a byte-order mark"_s
        << QStringList{u"Alien"_s}
        << QStringList{
               u"line 3: byte 31 is not a whole UTF-16LE character at the end of the file, left out"_s};
    marked.resetState();
    QTest::newRow("half a surrogate pair")
        << QByteArray(marked(u"Title\r\nA"_s + QChar(0xD800) + u"B\r\n"_s))
        << u"UTF-16LE with a byte-order mark"_s << QStringList{u"A\uFFFDB"_s}
        << QStringList{u"line 2: bytes 19-20 are not UTF-16LE, read as U+FFFD"_s};
    QTest::newRow("bytes that are not UTF-8 after a mark")
        << "\xEF\xBB\xBFTitle\r\nA\xFF\r\nB\xE2\x82\r\n"_ba << u"UTF-8 with a byte-order mark"_s
        << QStringList{u"A\uFFFD"_s, u"B\uFFFD\uFFFD"_s}
        << QStringList{u"line 2: byte 12 is not UTF-8, read as U+FFFD"_s,
                       u"line 3: byte 16 is not UTF-8, read as U+FFFD"_s,
                       u"line 3: byte 17 is not UTF-8, read as U+FFFD"_s};
    QStringList twenty;
    for (int byte = 11; byte <= 30; ++byte)
        twenty.append(u"line 2: byte %1 is not UTF-8, read as U+FFFD"_s.arg(byte));
    QTest::newRow("twenty told, the rest counted")
        << "\xEF\xBB\xBFTitle\r\n"_ba + QByteArray(25, '\xFF') << u"UTF-8 with a byte-order mark"_s
        << QStringList{QString(25, QChar::ReplacementCharacter)}
        << twenty + QStringList{u"and 5 more places read as U+FFFD"_s};
}

void TestImportedList::tellsWhereTheTextChanged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, changes);
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes);
    QVERIFY(analysis);
    QCOMPARE(analysis->table.encoding, encoding);
    QCOMPARE(::titles(*analysis), titles);
    QCOMPARE(analysis->table.textChanges, changes);
}

QTEST_GUILESS_MAIN(TestImportedList)
#include "TestImportedList.moc"
