// Importing films from spreadsheets and other programs' exports: encodings, separators, quoting,
// column names, rows of the wrong length, refusals, and imported films saved and loaded back.
#include "storage/ImportedList.h"
#include "storage/ListFile.h"

#include <QStringEncoder>
#include <QTemporaryDir>
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
    void choosingAColumnByName_data();
    void choosingAColumnByName();
    void importedFilmsSaveAndLoadBackEqual();
};

// Each column's field, or "-" for a column left out.
static QString mappingText(const ImportMapping& mapping)
{
    QStringList names;
    for (const std::optional<Field>& field : mapping)
        names.append(field ? fieldName(*field).toString() : u"-"_s);
    return names.join(u' ');
}

// A film's fields that are not empty, as "name=text" in field order.
static QString filmText(const FilmRecord& film)
{
    QStringList texts;
    for (int i = 0; i < FieldCount; ++i) {
        if (!film.fields[static_cast<size_t>(i)].isEmpty())
            texts.append(fieldName(fieldAt(i)).toString() + u'=' + film.fields[static_cast<size_t>(i)]);
    }
    return texts.join(u'|');
}

static QByteArray utf16WithMark(const QString& text)
{
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder(text);
}

void TestImportedList::importsRealLookingFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("mapping");
    QTest::addColumn<QStringList>("films");
    QTest::addColumn<QList<int>>("problemLines"); // rows with more or fewer cells than the header

    QTest::newRow("UTF-8 without a mark, as spreadsheets save it")
        << "Title,Year,Format\r\nAm\xC3\xA9lie,2001,DVD\r\n"_ba << u"UTF-8"_s << u"commas"_s
        << u"title release type"_s << QStringList{u"title=Am\u00E9lie|release=2001|type=DVD"_s}
        << QList<int>{};
    QTest::newRow("UTF-8 with a byte-order mark")
        << "\xEF\xBB\xBFName,Released\nAm\xC3\xA9lie,2001\n"_ba << u"UTF-8 with a byte-order mark"_s
        << u"commas"_s << u"title release"_s << QStringList{u"title=Am\u00E9lie|release=2001"_s}
        << QList<int>{};
    QTest::newRow("Windows-1252 from an older program")
        << "Title;Genre\r\nAm\xE9lie;Com\xE9"
           "die \x80\r\n"_ba
        << u"Windows-1252"_s << u"semicolons"_s << u"title genre"_s
        << QStringList{u"title=Am\u00E9lie|genre=Com\u00E9die \u20AC"_s} << QList<int>{};
    QTest::newRow("semicolons of a European spreadsheet, commas inside cells")
        << "Title;Duration;Rating\r\nL\xC3\xA9on;1,5 h;4,5\r\n"_ba << u"UTF-8"_s << u"semicolons"_s
        << u"title time -"_s << QStringList{u"title=L\u00E9on|time=1,5 h"_s} << QList<int>{};
    QTest::newRow("tabs, names another program gives the fields")
        << "Original title\tGenres\tCover\tRuntime\nAlien\tSci-Fi\talien.jpg\t117\n"_ba << u"UTF-8"_s
        << u"tabs"_s << u"title genre imgsrc time"_s
        << QStringList{u"title=Alien|time=117|genre=Sci-Fi|imgsrc=alien.jpg"_s} << QList<int>{};
    QTest::newRow("UTF-16 text of a spreadsheet, with its mark")
        << utf16WithMark(u"Title\tYear\r\n\u65E5\u672C\t1954\r\n"_s) << u"UTF-16LE with a byte-order mark"_s
        << u"tabs"_s << u"title release"_s << QStringList{u"title=\u65E5\u672C|release=1954"_s}
        << QList<int>{};
    QTest::newRow("quotes, doubled quotes and line breaks inside cells")
        << "Title,Plot\r\n\"Alien, the \"\"cut\"\"\",\"In space\r\nno one\"\r\n"_ba << u"UTF-8"_s
        << u"commas"_s << u"title plot"_s
        << QStringList{u"title=Alien, the \"cut\"|plot=In space\r\nno one"_s} << QList<int>{};
    QTest::newRow("LF line ends and no end on the last line")
        << "Title,Year\nA,1\nB,2"_ba << u"UTF-8"_s << u"commas"_s << u"title release"_s
        << QStringList{u"title=A|release=1"_s, u"title=B|release=2"_s} << QList<int>{};
    QTest::newRow("header names match whatever their case, accents and punctuation")
        << "ORIGINAL TITLE,Running-Time,Pl\xC3\xB3t,Notes\nA,1,p,n\n"_ba << u"UTF-8"_s << u"commas"_s
        << u"title time plot comment"_s << QStringList{u"title=A|time=1|plot=p|comment=n"_s} << QList<int>{};
    QTest::newRow("a field goes to the column of its best name, others are left out")
        << "Original title,Title,Rating,Director,Actors\nO,T,5,Scott,Weaver\n"_ba << u"UTF-8"_s << u"commas"_s
        << u"- title - - cast"_s << QStringList{u"title=T|cast=Weaver"_s} << QList<int>{};
    QTest::newRow("directors are the cast when no column names the cast")
        << "Title,Director(s)\nA,Scott\n"_ba << u"UTF-8"_s << u"commas"_s << u"title cast"_s
        << QStringList{u"title=A|cast=Scott"_s} << QList<int>{};
    QTest::newRow("web links take the free link fields and name their texts")
        << "Title,IMDb,weburl1,Website,Link,URL\nA,i,w,s,l,u\nB,,,s2,,\n"_ba << u"UTF-8"_s << u"commas"_s
        << u"title weburl2 weburl1 weburl3 - -"_s
        << QStringList{u"title=A|weburl1=w|webtext2=IMDb|weburl2=i|webtext3=Website|weburl3=s"_s,
                       u"title=B|webtext3=Website|weburl3=s2"_s}
        << QList<int>{};
    QTest::newRow("short and long rows keep the line they begin on")
        << "Title,Year\nA\n\"B\nB\",2,x\nC,3\n"_ba << u"UTF-8"_s << u"commas"_s << u"title release"_s
        << QStringList{u"title=A"_s, u"title=B\nB|release=2"_s, u"title=C|release=3"_s} << QList<int>{2, 3};
    QTest::newRow("blank rows are no films, before the header too")
        << "\r\nTitle,Year\r\n\r\nA,1\r\n,\r\n\"\",\r\n"_ba << u"UTF-8"_s << u"commas"_s << u"title release"_s
        << QStringList{u"title=A|release=1"_s} << QList<int>{};
    QTest::newRow("a header alone gives no films")
        << "Title\r\n"_ba << u"UTF-8"_s << u"commas"_s << u"title"_s << QStringList{} << QList<int>{};
}

void TestImportedList::importsRealLookingFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, separator);
    QFETCH(QString, mapping);
    QFETCH(QStringList, films);
    QFETCH(QList<int>, problemLines);

    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes, &failure);
    QVERIFY2(analysis, qPrintable(failure));
    QCOMPARE(analysis->table.encoding, encoding);
    QCOMPARE(separatorName(analysis->table.separator), separator);
    QCOMPARE(mappingText(analysis->guessed), mapping);
    const std::optional<QList<FilmRecord>> imported = importFilms(*analysis, analysis->guessed);
    QVERIFY(imported);
    QStringList texts;
    for (const FilmRecord& film : *imported)
        texts.append(filmText(film));
    QCOMPARE(texts, films);
    QList<int> lines;
    for (const TableRow& row : analysis->table.rows) {
        if (row.cellCount != analysis->table.columns.size())
            lines.append(row.line);
    }
    QCOMPARE(lines, problemLines);
    QCOMPARE(rowProblems(analysis->table, 100).size(), problemLines.size());
}

static QByteArray filmsFile(int films)
{
    return "Title\n"_ba + "x\n"_ba.repeated(films);
}

void TestImportedList::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("failure"); // of analyseImport, else of importFilms

    QTest::newRow("an empty file has no header") << QByteArray() << u"the file has no header line"_s;
    QTest::newRow("nor has one of blank lines") << "\r\n\n,\r\n"_ba << u"the file has no header line"_s;
    QTest::newRow("a quote never closed would swallow the rest")
        << "Title\nA\n\"B,\nC\n"_ba << u"the quoted cell that begins on line 3 has no closing quote"_s;
    QTest::newRow("a full list is imported") << filmsFile(32767) << QString();
    QTest::newRow("one film more than a list holds")
        << filmsFile(32768) << u"the file holds more than 32,767 films"_s;
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

void TestImportedList::choosingAColumnByName_data()
{
    QTest::addColumn<QString>("choice");  // COLUMN=FIELD
    QTest::addColumn<QString>("mapping"); // after the choice, or the failure

    // The columns "Title,Notes,Jahr" go to "title comment -" by their names.
    QTest::newRow("a field given to another column leaves its column out")
        << u"Notes=title"_s << u"- title -"_s;
    QTest::newRow("column names match as header names do") << u"JAHR=release"_s << u"title comment release"_s;
    QTest::newRow("field names match whatever their case") << u"Jahr=Genre"_s << u"title comment genre"_s;
    QTest::newRow("an empty field leaves the column out") << u"notes="_s << u"title - -"_s;
    QTest::newRow("a column that does not exist") << u"Year=release"_s << u"no column is called \"Year\""_s;
    QTest::newRow("a field that does not exist")
        << u"Jahr=year"_s
        << u"no field is called \"year\"; the fields are title, release, type, time, genre, date, plot, "
           u"comment, cast, imgsrc, imglink, webtext1, weburl1, webtext2, weburl2, webtext3, weburl3"_s;
}

void TestImportedList::choosingAColumnByName()
{
    QFETCH(QString, choice);
    QFETCH(QString, mapping);
    const QStringList columns{u"Title"_s, u"Notes"_s, u"Jahr"_s};
    ImportMapping chosen = guessMapping(columns);
    QString failure;
    const qsizetype equals = choice.indexOf(u'=');
    if (assignColumnByName(chosen, columns, choice.first(equals), choice.sliced(equals + 1), &failure))
        QCOMPARE(mappingText(chosen), mapping);
    else
        QCOMPARE(failure, mapping);
}

void TestImportedList::importedFilmsSaveAndLoadBackEqual()
{
    const QByteArray bytes = "Title;Plot;Cast;IMDb\r\n"
                             "\"Alien, the \"\"cut\"\"\";\"In space\r\nno one\nhears\";Weaver;http://i/1\r\n"
                             "\xE6\x97\xA5\xE6\x9C\xAC;;;\r\n"
                             "  spaced  ;\"\";\"\r\";\r\n"_ba;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes);
    QVERIFY(analysis);
    const std::optional<QList<FilmRecord>> films = importFilms(*analysis, analysis->guessed);
    QVERIFY(films && films->size() == 3);
    QTemporaryDir folder;
    for (const QString& name : {u"films.rkf"_s, u"films.csv"_s}) {
        const QString path = folder.filePath(name);
        QVERIFY(saveListFile(path, ListForm::FromName, ListDocument{u"My Movie"_s, QString(), *films}));
        const std::optional<ListDocument> loaded = loadListFile(path, ListForm::FromName);
        QVERIFY(loaded);
        QCOMPARE(loaded->films, *films);
    }
}

QTEST_GUILESS_MAIN(TestImportedList)
#include "TestImportedList.moc"
