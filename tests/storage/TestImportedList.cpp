// Importing films from spreadsheets and other programs' exports: encodings, separators, quoting,
// column names, extra fields and their kinds, rows of the wrong length and refusals.
#include "pagegen/PageHost.h"
#include "storage/ImportedList.h"
#include "storage/SheetFile.h"

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
    void choosesWhereAColumnGoes_data();
    void choosesWhereAColumnGoes();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void tellsWhereTheTextChanged_data();
    void tellsWhereTheTextChanged();
    void exportShieldsFormulasAndImportTakesTheShieldOff_data();
    void exportShieldsFormulasAndImportTakesTheShieldOff();
};

// The extra fields of a list that films are imported into, as "Rating:rating Notes:text".
static ImportTarget listWithFields(const QString& fields)
{
    ImportTarget target{{}, PageHost::answersFilmName};
    for (const QString& field : fields.split(u' ', Qt::SkipEmptyParts))
        target.fields.append({field.section(u':', 0, 0), *kindOfKey(field.section(u':', 1))});
    return target;
}

// Where each column goes: a field's name, "+Name(kind)" for a new extra field, "=Name(kind)" for one
// the list has, "-" for none.
static QString targets(const ImportMapping& mapping, const ImportTarget& target)
{
    QStringList words;
    for (const ColumnTarget& column : mapping) {
        if (column.extra)
            words.append((extraFieldIndex(target.fields, column.extra->name) >= 0 ? u"="_s : u"+"_s) +
                         column.extra->name + u'(' + kindWords(column.extra->kind, column.outOfFive) + u')');
        else
            words.append(column.field ? fieldName(*column.field).toString() : u"-"_s);
    }
    return words.join(u' ');
}

void TestImportedList::importsRealLookingFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("list");  // the extra fields of the list imported into
    QTest::addColumn<QString>("found"); // the encoding, the separator and where each column goes
    QTest::addColumn<QString>("films"); // the fields of each film that are not empty, films between " / "
    QTest::addColumn<QString>("problemLines"); // of rows with more or fewer cells than the header

    const QString none;
    QTest::newRow("UTF-8 without a mark, as spreadsheets save it, no end on the last line")
        << "Title,Year,Format\r\nAm\xC3\xA9lie,2001,DVD\r\nAlien,1979,"_ba << none
        << u"UTF-8, commas: title release type"_s
        << u"title=Am\u00E9lie|release=2001|type=DVD / title=Alien|release=1979"_s << QString();
    QTest::newRow("UTF-8 with a byte-order mark, LF line ends")
        << "\xEF\xBB\xBFName,Released\nAm\xC3\xA9lie,2001\n"_ba << none
        << u"UTF-8 with a byte-order mark, commas: title release"_s << u"title=Am\u00E9lie|release=2001"_s
        << QString();
    QTest::newRow("Windows-1252 from an older program")
        << "Title;Genre\r\nAm\xE9lie;Com\xE9"
           "die \x80\r\n"_ba
        << none << u"Windows-1252, semicolons: title genre"_s
        << u"title=Am\u00E9lie|genre=Com\u00E9die \u20AC"_s << QString();
    QTest::newRow("semicolons of a European spreadsheet, decimal commas")
        << "Title;Duration;Rating\r\nL\xC3\xA9on;1,5 h;4,5\r\n"_ba << none
        << u"UTF-8, semicolons: title time +Rating(rating out of 5)"_s
        << u"title=L\u00E9on|time=1,5 h|Rating=9"_s << QString();
    QTest::newRow("tabs, names other programs give the fields")
        << "Original title\tGenres\tCover\tRuntime (mins)\tDirector(s)\nAlien\tSci-Fi\ta.jpg\t117\tScott\n"_ba
        << none << u"UTF-8, tabs: title genre imgsrc time cast"_s
        << u"title=Alien|time=117|genre=Sci-Fi|cast=Scott|imgsrc=a.jpg"_s << QString();
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("UTF-16 text of a spreadsheet, with its mark")
        << QByteArray(utf16(u"Title\tYear\r\n\u65E5\u672C\t1954\r\n"_s)) << none
        << u"UTF-16LE with a byte-order mark, tabs: title release"_s << u"title=\u65E5\u672C|release=1954"_s
        << QString();
    QTest::newRow("quotes, doubled quotes and line breaks inside cells")
        << "Title,Plot Summary\r\n\"Alien, the \"\"cut\"\"\",\"In space\r\nno one\"\r\n"_ba << none
        << u"UTF-8, commas: title plot"_s << u"title=Alien, the \"cut\"|plot=In space\r\nno one"_s
        << QString();
    QTest::newRow("header names match whatever their case, accents and punctuation")
        << "ORIGINAL TITLE,Running-Time,Pl\xC3\xB3t,Notes\nA,1,p,n\n"_ba << none
        << u"UTF-8, commas: title time plot comment"_s << u"title=A|time=1|plot=p|comment=n"_s << QString();
    QTest::newRow("a field goes to the column of its best name, the others to extra fields")
        << "Original title,Title,Director,Actors\nO,T,Scott,Weaver\n"_ba << none
        << u"UTF-8, commas: +Original title(text) title +Director(text) cast"_s
        << u"title=T|cast=Weaver|Original title=O|Director=Scott"_s << QString();
    QTest::newRow("web links take the free link fields and name their texts")
        << "Title,IMDb,weburl1,Website,Link\nA,i,w,s,l\nB,,,s2,\n"_ba << none
        << u"UTF-8, commas: title weburl2 weburl1 weburl3 +Link(text)"_s
        << u"title=A|weburl1=w|webtext2=IMDb|weburl2=i|webtext3=Website|weburl3=s|Link=l / "
           u"title=B|webtext3=Website|weburl3=s2"_s
        << QString();
    QTest::newRow("IMDb's export: ratings out of 10, dates, numbers, a link named for its site")
        << "Const,Your Rating,Date Rated,Title,URL,IMDb Rating,Year\n"
           "tt1,9,2023-01-15,Heat,https://www.imdb.com/title/tt1/,8.3,1995\n"_ba
        << none
        << u"UTF-8, commas: +Const(text) +Your Rating(rating) +Date Rated(date) title weburl1 "
           u"+IMDb Rating(number) release"_s
        << u"title=Heat|release=1995|webtext1=IMDb|weburl1=https://www.imdb.com/title/tt1/|Const=tt1|"
           u"Your Rating=9|Date Rated=2023-01-15|IMDb Rating=8.3"_s
        << QString();
    QTest::newRow("Letterboxd's export: halves of 5 stars doubled, addresses a link by their cells")
        << "Name,Letterboxd URI,Rating\nAlien,https://boxd.it/2b0k,4.5\n"_ba << none
        << u"UTF-8, commas: title weburl1 +Rating(rating out of 5)"_s
        << u"title=Alien|webtext1=Letterboxd|weburl1=https://boxd.it/2b0k|Rating=9"_s << QString();
    QTest::newRow("stars are ratings whatever the column's name")
        << "Title,Mine\nA,\xE2\x98\x85\xE2\x98\x85\xE2\x98\x85\xC2\xBD\nB,**\n"_ba << none
        << u"UTF-8, commas: title +Mine(rating out of 5)"_s << u"title=A|Mine=7 / title=B|Mine=4"_s
        << QString();
    QTest::newRow("yes, no, true, false and x are yes or no; a line break makes long text")
        << "Title,Seen,Owned,Memo\nA,yes,x,\"a\nb\"\nB,FALSE,,c\n"_ba << none
        << u"UTF-8, commas: title +Seen(yes/no) +Owned(yes/no) +Memo(long text)"_s
        << u"title=A|Seen=yes|Owned=yes|Memo=a\nb / title=B|Seen=no|Memo=c"_s << QString();
    QTest::newRow("a header may name the kind, if it takes the cells")
        << "Title,Shelf (text),Price (number)\nA,12,cheap\n"_ba << none
        << u"UTF-8, commas: title +Shelf(text) +Price (number)(text)"_s
        << u"title=A|Shelf=12|Price (number)=cheap"_s << QString();
    QTest::newRow("names templates read, and names taken, are made unique")
        << "Title,Count,count,Index,\nA,1,2,3,\n"_ba << none
        << u"UTF-8, commas: title +Count 2(number) +count 3(number) +Index 2(number) -"_s
        << u"title=A|Count 2=1|count 3=2|Index 2=3"_s << QString();
    QTest::newRow("a column joins the list's field of its name, whatever its case")
        << "Title,rating,seen\nA,4,x\n"_ba << u"Seen:text Rating:rating"_s
        << u"UTF-8, commas: title =Rating(rating out of 5) =Seen(text)"_s << u"title=A|Seen=x|Rating=8"_s
        << QString();
    QTest::newRow("cells the list's field does not take make a field of their own")
        << "Title,Rating,Rating\nA,PG-13,4\n"_ba << u"Rating:rating"_s
        << u"UTF-8, commas: title +Rating 2(text) =Rating(rating out of 5)"_s
        << u"title=A|Rating=8|Rating 2=PG-13"_s << QString();
    QTest::newRow("short and long rows keep the line they begin on")
        << "Title,Year\nA\n\"B\nB\",2,x\nC,3\n"_ba << none << u"UTF-8, commas: title release"_s
        << u"title=A / title=B\nB|release=2 / title=C|release=3"_s << u"2 3"_s;
    QTest::newRow("blank rows are no films, before the header too")
        << "\r\nTitle,Year\r\n\r\nA,1\r\n,\r\n\"\",\r\n"_ba << none << u"UTF-8, commas: title release"_s
        << u"title=A|release=1"_s << QString();
}

void TestImportedList::importsRealLookingFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, list);
    QFETCH(QString, found);
    QFETCH(QString, films);
    QFETCH(QString, problemLines);

    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImport(bytes, &failure);
    QVERIFY2(analysis, qPrintable(failure));
    const ImportTarget target = listWithFields(list);
    const ImportMapping mapping = guessMapping(analysis->table, target);
    QCOMPARE(analysis->table.encoding + u", "_s + separatorName(analysis->table.separator) + u": "_s +
                 targets(mapping, target),
             found);

    const std::optional<ImportedFilms> imported = importFilms(*analysis, mapping, target, &failure);
    QVERIFY2(imported, qPrintable(failure));
    QStringList texts;
    for (const FilmRecord& film : imported->films) {
        QStringList named;
        for (int i = 0; i < FieldCount; ++i) {
            if (const QString& text = film.fields[static_cast<size_t>(i)]; !text.isEmpty())
                named.append(fieldName(fieldAt(i)).toString() + u'=' + text);
        }
        for (qsizetype i = 0; i < imported->fields.size(); ++i) {
            if (!film.extraValue(i).isEmpty())
                named.append(imported->fields[i].name + u'=' + film.extraValue(i));
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

// A --map choice, or a choice in the Import dialog, for a column of a sheet imported into a list
// with a rating field.
void TestImportedList::choosesWhereAColumnGoes_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("found"); // where each column goes, or why the choice is refused

    const QString stars = u" +Stars(rating out of 5)"_s;
    QTest::newRow("a field by its name")
        << u"Seen"_s << u"comment"_s << u"title +Score(text) comment"_s + stars;
    QTest::newRow("nowhere") << u"Score"_s << QString() << u"title - +Seen(yes/no)"_s + stars;
    QTest::newRow("an extra field of another name")
        << u"Score"_s << u"+Points"_s << u"title +Points(text) +Seen(yes/no)"_s + stars;
    QTest::newRow("an extra field of the kind chosen")
        << u"Seen"_s << u"+Seen (text)"_s << u"title +Score(text) +Seen(text)"_s + stars;
    QTest::newRow("the list's field whatever the case")
        << u"Stars"_s << u"+RATING"_s << u"title +Score(text) +Seen(yes/no) =Rating(rating out of 5)"_s;
    QTest::newRow("a kind that does not take a cell")
        << u"Score"_s << u"+Score (number)"_s
        << u"line 2: \"about 5\" in column 2 \"Score\" is not a number"_s;
    QTest::newRow("another kind than the list's field has")
        << u"Seen"_s << u"+Rating (yes/no)"_s << u"the list's field \"Rating\" is a rating field"_s;
    QTest::newRow("a name templates read")
        << u"Seen"_s << u"+Sort"_s
        << u"a field cannot be called \"Sort\": templates read list.sort as something else"_s;
    QTest::newRow("one of the seventeen")
        << u"Seen"_s << u"+Title"_s
        << u"a field cannot be called \"Title\": \"Title\" is one of the seventeen fields"_s;
    QTest::newRow("a field that does not exist")
        << u"Seen"_s << u"name"_s << u"no field is called \"name\"; the fields are title, release"_s;
}

void TestImportedList::choosesWhereAColumnGoes()
{
    QFETCH(QString, column);
    QFETCH(QString, choice);
    QFETCH(QString, found);
    const std::optional<ImportAnalysis> analysis =
        analyseImport("Title,Score,Seen,Stars\nA,about 5,x,3\nB,4,,5\n"_ba);
    QVERIFY(analysis);
    const ImportTarget target = listWithFields(u"Rating:rating"_s);
    ImportMapping mapping = guessMapping(analysis->table, target);
    QCOMPARE(targets(mapping, target), u"title +Score(text) +Seen(yes/no) +Stars(rating out of 5)"_s);
    QString failure;
    if (assignColumnByName(mapping, analysis->table, column, choice, target, &failure))
        QCOMPARE(targets(mapping, target), found);
    else
        QVERIFY2(failure.startsWith(found), qPrintable(failure));
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
    const bool imported =
        analysis && importFilms(*analysis, guessMapping(analysis->table, {}), {}, &reason).has_value();
    QCOMPARE(reason, failure);
    QCOMPARE(imported, failure.isEmpty());
}

static QStringList titles(const ImportAnalysis& analysis)
{
    QStringList titles;
    const ImportMapping mapping = guessMapping(analysis.table, {});
    for (const FilmRecord& film : importFilms(analysis, mapping, {}).value_or(ImportedFilms()).films)
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
    QTest::newRow("UTF-8 among Windows-1252, told on its line as loading a list tells it")
        << "Title\r\nAm\xE9lie\r\nL\xC3\xA9on\r\n"_ba << u"Windows-1252"_s
        << QStringList{u"Am\u00E9lie"_s, u"L\u00C3\u00A9on"_s}
        << QStringList{u"UTF-8 text among Windows-1252 text, all read as Windows-1252, the first at byte 17, "
                       u"line 3"_s};
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

// A cell that a spreadsheet would run as a formula is exported after an apostrophe, in quotes; an
// import of the exported sheet gives back the cell as it was, in a film's field, an extra field's
// value and an extra field's name alike.
void TestImportedList::exportShieldsFormulasAndImportTakesTheShieldOff_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("an equals sign begins a formula") << u"=1+2"_s << "\"'=1+2\""_ba;
    QTest::newRow("so does a plus") << u"+1"_s << "\"'+1\""_ba;
    QTest::newRow("so does a minus, a negative number's too") << u"-2.5"_s << "\"'-2.5\""_ba;
    QTest::newRow("so does an at sign") << u"@SUM(A1)"_s << "\"'@SUM(A1)\""_ba;
    QTest::newRow("a tab at the start") << u"\tx"_s << "\"'\tx\""_ba;
    QTest::newRow("a carriage return at the start") << u"\rx"_s << "\"'\rx\""_ba;
    QTest::newRow("an apostrophe before a formula takes one more") << u"'=x"_s << "\"''=x\""_ba;
    QTest::newRow("an apostrophe before text stays as it is") << u"'tis"_s << "'tis"_ba;
    QTest::newRow("a sign inside a cell is text") << u"a=b-c"_s << "a=b-c"_ba;
}

void TestImportedList::exportShieldsFormulasAndImportTakesTheShieldOff()
{
    QFETCH(QString, cell);
    QFETCH(QByteArray, written);
    FilmRecord film;
    film[Field::Title] = cell;
    film.extra = {cell};
    ListDocument list{QString(), QString(), {film}};
    list.fields = {{u"@Note"_s, ExtraKind::Text}};
    const QByteArray sheet = writeSheet(list);
    QVERIFY2(sheet.contains("\"'@Note (text)\"\r\n" + written + ','), sheet.constData());
    QVERIFY2(sheet.endsWith(',' + written + "\r\n"), sheet.constData());

    const std::optional<ImportAnalysis> analysis = analyseImport(sheet);
    QVERIFY(analysis);
    const ImportTarget target{{}, PageHost::answersFilmName};
    const std::optional<ImportedFilms> imported =
        importFilms(*analysis, guessMapping(analysis->table, target), target);
    QVERIFY(imported);
    QCOMPARE(imported->fields, list.fields);
    QCOMPARE(imported->films, list.films);

    // A sheet of another program keeps its apostrophes.
    const std::optional<ImportAnalysis> foreign = analyseImport("Title\n" + written + '\n');
    QVERIFY(foreign);
    QCOMPARE(::titles(*foreign), QStringList{QString(written).remove(u'"')});
}

QTEST_GUILESS_MAIN(TestImportedList)
#include "TestImportedList.moc"
