// reelkeep-cli: the JSON of dump, convert both ways, import, failures and usage errors.
#include "about/Version.h"
#include "cli/CliCommands.h"
#include "cli/ListJson.h"
#include "storage/ListFile.h"
#include "support/ListFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace reelkeep;
using namespace reelkeep::test;
using namespace Qt::StringLiterals;

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void jsonEscapes_data();
    void jsonEscapes();
    void jsonLayout_data();
    void jsonLayout();
    void dumpPrintsJson();
    void statsCountsTheFilms();
    void convertsBetweenForms_data();
    void convertsBetweenForms();
    void importWritesAListAndTellsWhatWentWhere();
    void exportedSheetImportsBack();
    void importAddsToAListOrReplacesIt_data();
    void importAddsToAListOrReplacesIt();
    void importTakesAFewTimesTheSheetsSize_data();
    void importTakesAFewTimesTheSheetsSize();
    void failsWithOneLine_data();
    void failsWithOneLine();
    void usageGoesWhereItIsAskedFor_data();
    void usageGoesWhereItIsAskedFor();
    void programReadsAndWritesUtf8AndTellsItsStatus();
    void aSignalStopsThePageInOrder_data();
    void aSignalStopsThePageInOrder();
    void checkAndPageTellTemplateWarnings_data();
    void checkAndPageTellTemplateWarnings();

private:
    QTemporaryDir m_folder;
};

struct CliRun
{
    int status;
    QString out;
    QString err;
};

static CliRun run(const QStringList& arguments)
{
    CliRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = runCli(arguments, out, err);
    return result;
}

void TestCli::jsonEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("json");

    QTest::newRow("quote and backslash are escaped") << u"a\"b\\c"_s << u"\"a\\\"b\\\\c\""_s;
    QTest::newRow("line breaks and tabs use short escapes") << u"a\r\nb\tc"_s << u"\"a\\r\\nb\\tc\""_s;
    QTest::newRow("other controls use four hex digits") << u"\u0001\u001f"_s << u"\"\\u0001\\u001f\""_s;
    QTest::newRow("non-ASCII text stays as it is") << u"Caf\u00E9 \u20AC"_s << u"\"Caf\u00E9 \u20AC\""_s;
    QTest::newRow("a surrogate pair stays as it is")
        << QString::fromUcs4(U"\U0001F3AC", 1) << u"\""_s + QString::fromUcs4(U"\U0001F3AC", 1) + u"\""_s;
    QTest::newRow("half a surrogate pair is escaped") << QString(QChar(0xD800)) << u"\"\\ud800\""_s;
}

void TestCli::jsonEscapes()
{
    QFETCH(QString, text);
    QFETCH(QString, json);
    QCOMPARE(jsonString(text), json);
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson((u"["_s + json + u"]"_s).toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    if (!QChar(text.back()).isSurrogate())
        QCOMPARE(parsed.array().at(0).toString(), text);
}

void TestCli::jsonLayout_data()
{
    QTest::addColumn<ListDocument>("document");
    QTest::addColumn<QString>("json");

    QTest::newRow("no page texts and no films")
        << ListDocument{}
        << u"{\n    \"pageTitle\": null,\n    \"pageDescription\": null,\n    \"films\": []\n}\n"_s;
    // The last field ends the film without a comma; every other is written "name": "text", in order.
    FilmRecord film;
    film[Field::Title] = u"Alien"_s;
    film[Field::WebUrl3] = u"http://x/"_s;
    QString fields;
    for (const QString& name :
         u"title release type time genre date plot comment cast imgsrc imglink webtext1 "
         u"weburl1 webtext2 weburl2 webtext3"_s.split(u' '))
        fields += u"            \"%1\": \"%2\",\n"_s.arg(name, name == u"title" ? u"Alien"_s : QString());
    QTest::newRow("every field by name in field order")
        << ListDocument{u"My Movie"_s, QString(), {film}}
        << u"{\n    \"pageTitle\": \"My Movie\",\n    \"pageDescription\": \"\",\n    \"films\": [\n        {\n"_s +
               fields + u"            \"weburl3\": \"http://x/\"\n        }\n    ]\n}\n"_s;
    film.extra = {u"8"_s};
    ListDocument withFields{u"My Movie"_s, QString(), {film}};
    withFields.fields = {{u"Rating"_s, ExtraKind::Rating}, {u"\"On\" loan"_s, ExtraKind::YesNo}};
    QTest::newRow("the extra fields at the top, each film's values by name after its weburl3")
        << withFields
        << u"{\n    \"pageTitle\": \"My Movie\",\n    \"pageDescription\": \"\",\n    \"fields\": [\n"
           u"        {\"name\": \"Rating\", \"kind\": \"rating\"},\n"
           u"        {\"name\": \"\\\"On\\\" loan\", \"kind\": \"yesno\"}\n    ],\n    \"films\": [\n        {\n"_s +
               fields +
               u"            \"weburl3\": \"http://x/\",\n            \"extra\": {\n"
               u"                \"Rating\": \"8\",\n                \"\\\"On\\\" loan\": \"\"\n            "
               u"}\n"
               u"        }\n    ]\n}\n"_s;
}

void TestCli::jsonLayout()
{
    QFETCH(ListDocument, document);
    QFETCH(QString, json);
    QCOMPARE(listDocumentToJson(document), json);
}

// What the file loads as, in the layout above.
void TestCli::dumpPrintsJson()
{
    const QString file = storedList(u"windows1252.rkf"_s);
    const CliRun result = run({u"dump"_s, file});
    QCOMPARE(result.status, int(CliSuccess));
    QCOMPARE(result.err, QString());
    const std::optional<ListDocument> loaded = loadListFile(file, ListForm::FromName);
    QVERIFY(loaded);
    QCOMPARE(result.out, listDocumentToJson(*loaded));
}

// One line for the films, then each group under its title, a bar on each line: its count, a tab,
// its label.
void TestCli::statsCountsTheFilms()
{
    ListDocument list{u"My Movie"_s, QString(), {}};
    list.fields = {
        {u"Seen"_s, ExtraKind::YesNo}, {u"Shelf"_s, ExtraKind::Text}, {u"Stars"_s, ExtraKind::Rating}};
    list.films = {filmOf({u"Heat"_s, u"1995"_s, u"DVD"_s, QString(), u"Crime"_s}),
                  filmOf({u"Alien"_s, u"1979"_s, u"Blu-ray"_s, QString(), u"Horror"_s}),
                  filmOf({u"Am\u00E9lie"_s, QString(), u"dvd"_s})};
    list.films[0].extra = {u"yes"_s, u"A1"_s, u"8"_s};
    list.films[1].extra = {u"no"_s};
    const QString path = m_folder.filePath(u"stats.rkf"_s);
    QVERIFY(saveListFile(path, ListForm::Native, list));
    const CliRun result = run({u"stats"_s, path});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, int(CliSuccess));
    QCOMPARE(result.out,
             u"3 films\n\nGenre\n1\tCrime\n1\tHorror\n1\tNo genre\n\nType\n2\tDVD\n1\tBlu-ray\n"
             u"\nDecade of release\n1\t1970s\n1\t1990s\n1\tUnknown\n\nSeen (yes/no)\n1\tYes\n1\tNo\n"
             u"1\tNot set\n\nStars (rating)\n0\t0\n0\t1\n0\t2\n0\t3\n0\t4\n0\t5\n0\t6\n0\t7\n1\t8\n"
             u"0\t9\n0\t10\n2\tNot set\n"_s);
}

void TestCli::convertsBetweenForms_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QByteArray>("outputStart");
    QTest::addColumn<QString>("pageTitle"); // of the file written, empty for none
    QTest::addColumn<QString>("told");      // on standard error, OUT for the file written

    QTest::newRow("comma-separated to native gets the default page texts")
        << storedList(u"written-by-write.csv"_s) << u"out.rkf"_s
        << QByteArray("rkf01\x08\x00My Movie\x00\x00\x01\x00", 17) << u"My Movie"_s << QString();
    const QString notKept = u"reelkeep-cli: warning: OUT does not keep %1: the .csv form keeps the seventeen "
                            u"fields of each film only\n"_s;
    QTest::newRow("native to comma-separated drops the page texts, and says so")
        << storedList(u"windows1252.rkf"_s) << u"out.CSV"_s << QByteArray("\"Am\xE9lie\",\"2001\",\"\"")
        << QString() << notKept.arg(u"the page title and description"_s);
    QTest::newRow("native to native keeps the page texts")
        << storedList(u"windows1252.rkf"_s) << u"copy.rkf"_s << fileContents(storedList(u"windows1252.rkf"_s))
        << u"Ma s\u00E9lection"_s << QString();
    const QString previous = m_folder.filePath(u"previous.rkf.bak"_s);
    QVERIFY(QFile::copy(storedList(u"windows1252.rkf"_s), previous));
    QTest::newRow("a previous version kept as NAME.rkf.bak reads as the list it was")
        << previous << u"restored.rkf"_s << fileContents(previous) << u"Ma s\u00E9lection"_s << QString();
    ListDocument withFields{u"My Movie"_s, QString(), {filmOf({u"Heat"_s})}};
    withFields.fields = {{u"Seen"_s, ExtraKind::YesNo}, {u"Shelf"_s, ExtraKind::Text}};
    const QString fieldsList = m_folder.filePath(u"fields.rkf"_s);
    QVERIFY(saveListFile(fieldsList, ListForm::Native, withFields));
    QTest::newRow("a list with extra fields to comma-separated names the fields it does not keep")
        << fieldsList << u"fields.csv"_s << QByteArray("\xEF\xBB\xBF\"Heat\",\"\"") << QString()
        << notKept.arg(u"the extra fields \"Seen\" and \"Shelf\""_s);
}

void TestCli::convertsBetweenForms()
{
    QFETCH(QString, input);
    QFETCH(QString, outputName);
    QFETCH(QByteArray, outputStart);
    QFETCH(QString, pageTitle);
    QFETCH(QString, told);
    const QString output = m_folder.filePath(outputName);
    const CliRun result = run({u"convert"_s, input, output});
    QCOMPARE(result.err, told.replace(u"OUT"_s, output));
    QCOMPARE(result.status, int(CliSuccess));
    QVERIFY2(fileContents(output).startsWith(outputStart), fileContents(output).left(40).toHex(' '));

    const std::optional<ListDocument> source = loadListFile(input, ListForm::FromName);
    const std::optional<ListDocument> converted = loadListFile(output, ListForm::FromName);
    QVERIFY(source && converted);
    QCOMPARE(converted->films, source->films);
    QCOMPARE(converted->pageTitle.value_or(QString()), pageTitle);
}

void TestCli::importWritesAListAndTellsWhatWentWhere()
{
    const QString input = m_folder.filePath(u"sheet.csv"_s);
    writeFileBytes(input, "Titel;Year;Regisseur;IMDb\r\nAm\xE9lie;2001;Jeunet;http://i/1\r\nAlien;1979\r\n");
    const QString output = m_folder.filePath(u"imported.rkf"_s);
    CliRun result = run({u"import"_s,
                         input,
                         output,
                         u"--map"_s,
                         u"titel=title"_s,
                         u"--map"_s,
                         u"Year="_s,
                         u"--map"_s,
                         u"Regisseur=+Director"_s});
    QCOMPARE(result.status, int(CliSuccess));
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err,
             u"2 films, Windows-1252, separated by semicolons\n"
             u"column 1 \"Titel\" -> title\n"
             u"column 2 \"Year\": left out\n"
             u"column 3 \"Regisseur\" -> new extra field \"Director\" (text)\n"
             u"column 4 \"IMDb\" -> weburl1, with \"IMDb\" as webtext1\n"
             u"line 3: 2 cells where the header has 4; the missing fields left empty\n"
             u"2 films added to %1 (2 now)\n"_s.arg(output));
    const std::optional<ListDocument> imported = loadListFile(output, ListForm::FromName);
    QVERIFY(imported && imported->films.size() == 2);
    QCOMPARE(imported->pageTitle, u"My Movie"_s);
    QCOMPARE(imported->pageDescription, QString());
    QCOMPARE(imported->films[0][Field::Title], u"Am\u00E9lie"_s);
    QCOMPARE(imported->fields, (ExtraFields{{u"Director"_s, ExtraKind::Text}}));
    QCOMPARE(imported->films[0].extra, QStringList{u"Jeunet"_s});

    // Without the choice no column gives the title; nothing is written.
    const QString refused = m_folder.filePath(u"refused.csv"_s);
    result = run({u"import"_s, input, refused});
    QCOMPARE(result.status, int(CliFailure));
    QCOMPARE(result.err,
             u"reelkeep-cli: cannot import %1: no column goes to the title; the columns are \"Titel\", "
             u"\"Year\", \"Regisseur\", \"IMDb\"\n"_s.arg(input));
    QVERIFY(!QFile::exists(refused));
}

// A list exported as a spreadsheet's file imports back as the same films and extra fields, kinds
// included, whatever their texts hold; only a film of nothing is no row.
void TestCli::exportedSheetImportsBack()
{
    ListDocument list{u"My Movie"_s, QString(), {}};
    list.fields = {{u"Shelf"_s, ExtraKind::Text},
                   {u"Notes"_s, ExtraKind::LongText},
                   {u"Copies"_s, ExtraKind::Number},
                   {u"Rating"_s, ExtraKind::Rating},
                   {u"Seen"_s, ExtraKind::YesNo},
                   {u"Bought"_s, ExtraKind::Date},
                   {u"Site"_s, ExtraKind::Text}};
    FilmRecord alien = filmOf({u"Alien, the \"cut\""_s, u"1979"_s});
    alien[Field::Plot] = u"In space\r\nno one"_s;
    alien[Field::WebText1] = u"Home"_s;
    alien[Field::WebUrl1] = u"https://www.imdb.com/title/tt1/"_s;
    // Texts that look like numbers and addresses, and ratings that could be out of 5, keep their kinds.
    alien.extra = {
        u"12"_s, u" two\nlines "_s, u"-2.5"_s, u"4"_s, u"no"_s, u"2024-02-29"_s, u"https://boxd.it/x"_s};
    FilmRecord heat = filmOf({u" Heat"_s});
    heat.extra = {QString(), QString(), QString(), u"2"_s};
    list.films = {alien, heat, filmOf({QString(), u"1995"_s}), FilmRecord()};
    const QString path = m_folder.filePath(u"exported.rkf"_s);
    const QString sheet = m_folder.filePath(u"exported.csv"_s);
    QVERIFY(saveListFile(path, ListForm::Native, list));

    writeFileBytes(sheet, "an older sheet");
    CliRun result = run({u"export"_s, path, sheet});
    QCOMPARE(result.status, int(CliSuccess));
    QCOMPARE(
        result.err,
        u"reelkeep-cli: warning: %1: 1 of the films hold nothing but commas, semicolons and tabs, which a "
        u"spreadsheet's row cannot hold: they are not in the file\n"
        u"%2 exported to %1; the version it replaced is kept as %1.bak\n"_s.arg(sheet, path));
    QCOMPARE(fileContents(sheet + u".bak"_s), QByteArray("an older sheet"));
    const QByteArray bytes = fileContents(sheet);
    QVERIFY(bytes.startsWith(
        "\xEF\xBB\xBFtitle,release,type,time,genre,date,plot,comment,cast,imgsrc,imglink,"
        "webtext1,weburl1,webtext2,weburl2,webtext3,weburl3,Shelf (text),Notes (long text),"
        "Copies (number),Rating (rating),Seen (yes/no),Bought (date),Site (text)\r\n\"Alien, "));
    const QString back = m_folder.filePath(u"back.rkf"_s);
    result = run({u"import"_s, sheet, back});
    QCOMPARE(result.status, int(CliSuccess));
    const std::optional<ListDocument> imported = loadListFile(back, ListForm::Native);
    QVERIFY(imported);
    QCOMPARE(imported->fields, list.fields);
    QCOMPARE(imported->films, list.films.first(3));
}

// The films are added after those of a list that loads, in its form and encoding and with its page
// texts, keeping the version replaced; anything else is refused and left as it is.
void TestCli::importAddsToAListOrReplacesIt_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("before"); // the list file's bytes, null for no file
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("titles"); // of the list afterwards; none when refused
    QTest::addColumn<QString>("told");       // the end of standard error

    const QByteArray native = fileContents(storedList(u"windows1252.rkf"_s));
    const QStringList imported{u"Am\u00E9lie"_s, u"Alien"_s};
    const QStringList nativeTitles{u"Am\u00E9lie"_s, u"Caf\u00E9 \u20AC \u0081"_s};
    QTest::newRow("a new list") << u"new.rkf"_s << QByteArray() << QStringList() << imported
                                << u"2 films added to LIST (2 now)\n"_s;
    QTest::newRow("a list that loads keeps its films and page texts, the version replaced kept")
        << u"kept.rkf"_s << native << QStringList() << nativeTitles + imported
        << u"2 films added to LIST (4 now); the version it replaced is kept as LIST.bak\n"_s;
    QTest::newRow("--replace replaces it")
        << u"replaced.rkf"_s << native << QStringList{u"--replace"_s} << imported
        << u"2 films imported into LIST (replaced); the version it replaced is kept as LIST.bak\n"_s;
    QTest::newRow("a comma-separated list in UTF-8 without a mark stays so")
        << u"utf8.csv"_s << "\"Le M\xC3\xA9pris\"\r\n"_ba << QStringList()
        << QStringList{u"Le M\u00E9pris"_s} + imported
        << u"(3 now); the version it replaced is kept as LIST.bak\n"_s;
    QTest::newRow("a file that is no list that loads")
        << u"foreign.rkf"_s << "a,b\r\n"_ba << QStringList() << QStringList()
        << u"reelkeep-cli: cannot import SHEET: LIST is not a list that loads (the file is not a Reelkeep "
           u"list "
           u"file); --replace replaces it\n"_s;
    QTest::newRow("more films than a list holds")
        << u"full.csv"_s << ("\"x\""_ba + ",\"\""_ba.repeated(16) + "\r\n").repeated(32767) << QStringList()
        << QStringList()
        << u"reelkeep-cli: cannot import SHEET: LIST holds 32767 films and the sheet 2, more than the 32,767 "
           u"a "
           u"list holds\n"_s;
    const QStringList toExtraField{u"--map"_s, u"Year=+Year"_s};
    const QString notKept =
        u"reelkeep-cli: cannot import SHEET: LIST does not keep the extra field \"Year\": "
        u"the .csv form keeps the seventeen fields of each film only; the column "
        u"\"Year\" would go there. Import into a .rkf list, or leave it out with "
        u"--map \"Year=\"\n"_s;
    QTest::newRow("a new .csv list, which cannot keep a column as an extra field")
        << u"new.csv"_s << QByteArray() << toExtraField << QStringList() << notKept;
    QTest::newRow("a .csv list that loads, and --replace alike")
        << u"kept.csv"_s << "\"Le M\xC3\xA9pris\"\r\n"_ba << toExtraField + QStringList{u"--replace"_s}
        << QStringList() << notKept;
    QTest::newRow("the sheet itself")
        << u"sheet.csv"_s << QByteArray() << QStringList() << QStringList()
        << u"cannot import SHEET: it is the list the films would be added to\n"_s;
}

void TestCli::importAddsToAListOrReplacesIt()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, options);
    QFETCH(QStringList, titles);
    QFETCH(QString, told);
    QTemporaryDir folder;
    const QString sheet = folder.filePath(u"sheet.csv"_s);
    const QByteArray sheetBytes = "Title;Year\r\nAm\xE9lie;2001\r\nAlien;1979\r\n";
    writeFileBytes(sheet, sheetBytes);
    const QString path = folder.filePath(list);
    if (!before.isNull())
        writeFileBytes(path, before);
    const CliRun result = run(QStringList{u"import"_s, sheet, path} + options);
    QVERIFY2(result.err.endsWith(QString(told).replace(u"SHEET"_s, sheet).replace(u"LIST"_s, path)),
             qPrintable(result.err));
    QCOMPARE(result.status, titles.isEmpty() ? int(CliFailure) : int(CliSuccess));
    QCOMPARE(fileContents(path + u".bak"_s), titles.isEmpty() ? QByteArray() : before);
    if (titles.isEmpty()) {
        QCOMPARE(fileContents(path), list == u"sheet.csv" ? sheetBytes : before);
        QCOMPARE(QFile::exists(path), !before.isNull() || list == u"sheet.csv");
        return;
    }
    const std::optional<ListDocument> read = loadListFile(path, ListForm::FromName);
    QVERIFY(read);
    QStringList readTitles;
    for (const FilmRecord& film : read->films)
        readTitles.append(film.title());
    QCOMPARE(readTitles, titles);
    // Added to, the list keeps its page texts and encoding, as the version kept shows them.
    const std::optional<ListDocument> previous =
        options.isEmpty() ? loadListFile(path + u".bak"_s, *formFromFileName(path)) : std::nullopt;
    QCOMPARE(read->pageTitle, previous ? previous->pageTitle : u"My Movie"_s);
    QCOMPARE(read->encoding, previous ? previous->encoding : ListEncoding::Windows1252);
}

void TestCli::importTakesAFewTimesTheSheetsSize_data()
{
    QTest::addColumn<int>("megabytes"); // of address space for the whole program
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("told"); // the end of standard error

    // The program itself takes some 60 MB; the sheet 16 MB.
    QTest::newRow("in 12 times its size") << 256 << int(CliSuccess) << QByteArray("(8192 now)\n");
    QTest::newRow("not in less, and says so")
        << 96 << int(CliFailure) << QByteArray("there is not enough memory\n");
}

// A sheet of 1,024 columns of one-byte cells, with the program's address space limited.
void TestCli::importTakesAFewTimesTheSheetsSize()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer reserves more memory than a limit allows");
#endif
    QFETCH(int, megabytes);
    QFETCH(int, status);
    QFETCH(QByteArray, told);
    const QString sheet = m_folder.filePath(u"wide.csv"_s);
    const QByteArray row = QByteArray("x,").repeated(1023) + "x\n";
    if (!QFile::exists(sheet))
        writeFileBytes(sheet, "Title" + row.sliced(1) + row.repeated(8192));
    const QString list = m_folder.filePath(u"wide.rkf"_s);
    QFile::remove(list);
    QProcess program;
    program.setChildProcessModifier([megabytes] {
        const rlimit memory{rlim_t(megabytes) << 20, rlim_t(megabytes) << 20};
        setrlimit(RLIMIT_AS, &memory);
    });
    program.start(QStringLiteral(REELKEEP_CLI_PATH), {u"import"_s, sheet, list});
    QVERIFY(program.waitForFinished(60000));
    const QByteArray err = program.readAllStandardError();
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && err.endsWith(told), err.right(200).constData());
    QCOMPARE(program.exitCode(), status);
}

void TestCli::failsWithOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("line");

    const QString missing = m_folder.filePath(u"missing.rkf"_s);
    QTest::newRow("dump of a missing file")
        << QStringList{u"dump"_s, missing}
        << u"reelkeep-cli: cannot load %1: No such file or directory\n"_s.arg(missing);
    QTest::newRow("dump of a name that chooses no form")
        << QStringList{u"dump"_s, u"films.txt"_s}
        << u"reelkeep-cli: cannot load films.txt: the name ends neither in rkf nor in csv\n"_s;
    const QString foreign = m_folder.filePath(u"foreign.rkf"_s);
    writeFileBytes(foreign, "a,b\r\n");
    QTest::newRow("dump of a file that is not a list file")
        << QStringList{u"dump"_s, foreign}
        << u"reelkeep-cli: cannot load %1: the file is not a Reelkeep list file\n"_s.arg(foreign);
    QTest::newRow("convert into a folder that does not exist")
        << QStringList{u"convert"_s, storedList(u"windows1252.rkf"_s), u"/nonexistent/out.csv"_s}
        << u"reelkeep-cli: cannot save /nonexistent/out.csv: "_s;
    QTest::newRow("import of a file that cannot be read")
        << QStringList{u"import"_s, missing, m_folder.filePath(u"out.rkf"_s)}
        << u"reelkeep-cli: cannot import %1: No such file or directory\n"_s.arg(missing);
    const QString missingList = m_folder.filePath(u"missing-list.rkf"_s);
    QTest::newRow("import of a missing sheet into a list not yet there")
        << QStringList{u"import"_s, missing, missingList}
        << u"reelkeep-cli: cannot import %1: No such file or directory\n"_s.arg(missing);
    QTest::newRow("export of a missing list to a sheet not yet there")
        << QStringList{u"export"_s, missing, m_folder.filePath(u"missing.csv"_s)}
        << u"reelkeep-cli: cannot load %1: No such file or directory\n"_s.arg(missing);
    QTest::newRow("import with a choice of a field that does not exist")
        << QStringList{u"import"_s, foreign, m_folder.filePath(u"out.rkf"_s), u"--map"_s, u"a=name"_s}
        << u"reelkeep-cli: cannot import %1: no field is called \"name\""_s.arg(foreign);
    QTest::newRow("convert to a name that chooses no form")
        << QStringList{u"convert"_s, storedList(u"windows1252.rkf"_s), m_folder.filePath(u"out.txt"_s)}
        << u"reelkeep-cli: cannot save %1: the name ends neither in rkf nor in csv\n"_s.arg(
               m_folder.filePath(u"out.txt"_s));
    // A page over the user's own files is refused before anything is opened.
    const QString templates = m_folder.filePath(u"template"_s);
    const QString self = m_folder.filePath(u"self.rkf"_s);
    const QString link = m_folder.filePath(u"link.html"_s);
    QVERIFY(QDir(m_folder.path()).mkpath(u"template"_s) &&
            QFile::copy(storedList(u"windows1252.rkf"_s), self));
    QVERIFY(QFile::copy(self, templates + u"/mask.html"_s) && QFile::link(templates + u"/part.html"_s, link));
    const auto page = [&](const QString& out) {
        return QStringList{u"page"_s, self, out, u"--template-dir"_s, templates};
    };
    QTest::newRow("page over its own list file")
        << page(self)
        << u"reelkeep-cli: cannot make %1: %1 is the list file the page is made from\n"_s.arg(self);
    QTest::newRow("page through a link to a template not yet there")
        << page(link)
        << u"reelkeep-cli: cannot make %1: %1 is in the template folder %2\n"_s.arg(link, templates);
    QTest::newRow("check of a folder without its page template")
        << QStringList{u"check"_s, self, u"--template-dir"_s, m_folder.path()}
        << u"reelkeep-cli: cannot check %1: the page template %1/mask.html is missing\n"_s.arg(
               m_folder.path());
    QTest::newRow("page into a folder that does not exist")
        << page(u"/nonexistent/p.html"_s)
        << u"reelkeep-cli: cannot make /nonexistent/p.html: the page file /nonexistent/p.html could not be "
           "created: No such file or directory\n"_s;
}

void TestCli::failsWithOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, line);
    const CliRun result = run(arguments);
    QCOMPARE(result.status, int(CliFailure));
    QCOMPARE(result.out, QString());
    QCOMPARE(result.err.count(u'\n'), 1);
    if (line.endsWith(u'\n'))
        QCOMPARE(result.err, line);
    else
        QVERIFY2(result.err.startsWith(line), qPrintable(result.err));
}

// The usage, with what was wrong before it, goes to standard error for arguments that make no
// command; asked for, it goes to standard output.
void TestCli::usageGoesWhereItIsAskedFor_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out"); // USAGE stands for the usage
    QTest::addColumn<QString>("err");

    const QString usage = u"USAGE"_s;
    QTest::newRow("--help") << QStringList{u"--help"_s} << usage << QString();
    QTest::newRow("-h") << QStringList{u"-h"_s} << usage << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s}
                               << u"reelkeep-cli %1\n"_s.arg(QLatin1String(VersionText)) << QString();
    const auto wrong = [&usage](const QString& reason) {
        return u"reelkeep-cli: "_s + reason + u'\n' + usage;
    };
    QTest::newRow("no command") << QStringList{} << QString() << wrong(u"no command given"_s);
    QTest::newRow("a command in another case")
        << QStringList{u"DUMP"_s, u"x.rkf"_s} << QString() << wrong(u"no command is called \"DUMP\""_s);
    QTest::newRow("dump with two files") << QStringList{u"dump"_s, u"a.rkf"_s, u"b.rkf"_s} << QString()
                                         << wrong(u"dump takes 1 argument, not 2"_s);
    QTest::newRow("convert with one file")
        << QStringList{u"convert"_s, u"a.rkf"_s} << QString() << wrong(u"convert takes 2 arguments, not 1"_s);
    QTest::newRow("eval without an expression")
        << QStringList{u"eval"_s} << QString() << wrong(u"eval takes at least 1 argument, not 0"_s);
    QTest::newRow("page without an output") << QStringList{u"page"_s, u"a.rkf"_s} << QString()
                                            << wrong(u"page takes at least 2 arguments, not 1"_s);
    QTest::newRow("page with a template option but no folder")
        << QStringList{u"page"_s, u"a.rkf"_s, u"b.html"_s, u"--template-dir"_s} << QString()
        << wrong(u"--template-dir needs a folder"_s);
    QTest::newRow("check with an output") << QStringList{u"check"_s, u"a.rkf"_s, u"b.html"_s} << QString()
                                          << wrong(u"check takes 1 file name besides its options, not 2"_s);
    QTest::newRow("check is never quiet") << QStringList{u"check"_s, u"a.rkf"_s, u"--quiet"_s} << QString()
                                          << wrong(u"check takes 1 file name besides its options, not 2"_s);
    QTest::newRow("import with one file")
        << QStringList{u"import"_s, u"a.csv"_s, u"--map"_s, u"A=title"_s} << QString()
        << wrong(u"import takes 2 file names besides its options, not 1"_s);
    const QString map = u"--map takes COLUMN=FIELD, COLUMN=+NAME or COLUMN="_s;
    QTest::newRow("import with a map option but no choice")
        << QStringList{u"import"_s, u"a.csv"_s, u"b.rkf"_s, u"--map"_s} << QString() << wrong(map);
    QTest::newRow("import with a choice without an equals sign")
        << QStringList{u"import"_s, u"a.csv"_s, u"b.rkf"_s, u"--map"_s, u"title"_s} << QString()
        << wrong(map);
}

void TestCli::usageGoesWhereItIsAskedFor()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString usage =
        u"usage: reelkeep-cli dump FILE\n"
        u"       reelkeep-cli stats LIST\n"
        u"       reelkeep-cli convert IN OUT\n"
        u"       reelkeep-cli export LIST SHEET.csv\n"
        u"       reelkeep-cli eval EXPRESSION... | eval -\n"
        u"       reelkeep-cli page LISTFILE OUTPUT [--template-dir DIR] [--quiet]\n"
        u"       reelkeep-cli check LISTFILE [--template-dir DIR]\n"
        u"       reelkeep-cli import IN OUT [--replace] [--map COLUMN=FIELD|COLUMN=+NAME ...]\n"
        u"       reelkeep-cli --help | -h | --version\n"_s;
    const CliRun result = run(arguments);
    QCOMPARE(result.out, out.replace(u"USAGE"_s, usage));
    QCOMPARE(result.err, err.replace(u"USAGE"_s, usage));
    QCOMPARE(result.status, err.isEmpty() ? int(CliSuccess) : int(CliUsageError));
}

// The program itself: UTF-8 on its standard streams, and runCli's status as its exit code.
void TestCli::programReadsAndWritesUtf8AndTellsItsStatus()
{
    QProcess program;
    const auto runProgram = [&program](const QStringList& arguments, const QByteArray& input = {}) {
        program.start(QStringLiteral(REELKEEP_CLI_PATH), arguments);
        program.write(input);
        program.closeWriteChannel();
        return program.waitForFinished() ? program.exitCode() : -1;
    };
    QCOMPARE(runProgram({u"dump"_s, storedList(u"windows1252.rkf"_s)}), 0);
    QVERIFY(program.readAllStandardOutput().contains("\"title\": \"Am\xC3\xA9lie\""));
    QCOMPARE(runProgram({u"dump"_s}), 1);
    QCOMPARE(runProgram({u"dump"_s, m_folder.filePath(u"none.csv"_s)}), 2);
    QVERIFY(program.readAllStandardError().startsWith("reelkeep-cli: cannot load "));
    // eval prints one line an expression, of its arguments or, with "-", of the lines it reads,
    // and tells on standard error what check would tell and the errors raised, which fail it.
    QCOMPARE(runProgram({u"eval"_s, u"2 / 4"_s, u"lenght('x')"_s}), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("Double: 0.5\nEmpty: \n"));
    QCOMPARE(
        program.readAllStandardError(),
        "reelkeep-cli: warning: no function is called \"lenght\" (did you mean \"len\"?) in lenght('x')\n");
    QCOMPARE(runProgram({u"eval"_s, u"-"_s}, "'caf\xC3\xA9' & 1\r\n(null)\n\n1 + 2"), 2);
    QCOMPARE(program.readAllStandardOutput(),
             QByteArray("String: caf\xC3\xA9"
                        "1\nraised 94\nEmpty: \nDouble: 3\n"));
    QCOMPARE(program.readAllStandardError(), "reelkeep-cli: (null): error 94: Invalid use of Null\n");
}

void TestCli::aSignalStopsThePageInOrder_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("name");

    QTest::newRow("SIGINT ends with 130") << int(SIGINT) << 130 << QByteArray("SIGINT");
    QTest::newRow("SIGTERM ends with 143") << int(SIGTERM) << 143 << QByteArray("SIGTERM");
}

void TestCli::aSignalStopsThePageInOrder()
{
    QFETCH(int, signal);
    QFETCH(int, status);
    QFETCH(QByteArray, name);
    // Every film of a large catalogue, a billion times over: a run that only a stop ends.
    const QByteArray row = "<p>Alien</p>\n";
    QVERIFY(QDir(m_folder.path()).mkpath(u"t"_s));
    const QString list = m_folder.filePath(u"films.csv"_s);
    writeFileBytes(list, QByteArray("\"Alien\"\r\n").repeated(20000));
    writeFileBytes(m_folder.filePath(u"t/mask.html"_s), "[infile('a.html', 30000)]");
    writeFileBytes(m_folder.filePath(u"t/a.html"_s), "[infile('b.html', 30000)]");
    writeFileBytes(m_folder.filePath(u"t/b.html"_s), row);
    const QString page = m_folder.filePath(u"page.html"_s);
    QFile::remove(page);
    QProcess program;
    program.start(QStringLiteral(REELKEEP_CLI_PATH),
                  {u"page"_s, list, page, u"--template-dir"_s, m_folder.filePath(u"t"_s)});
    // Until the run ends, the page grows in a file of no name that the program holds open.
    const auto writing = [this, &program, &list] {
        const QDir open(u"/proc/%1/fd"_s.arg(program.processId()));
        for (const QFileInfo& file : open.entryInfoList(QDir::Files)) {
            const QFileInfo target(file.symLinkTarget());
            if (target.path() == m_folder.path() && target.filePath() != list && file.size() > 0)
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(writing(), 20000);
    QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QByteArray err = program.readAllStandardError();
    QVERIFY2(err.contains("stopped by " + name) && err.contains("is partial"), err.constData());
    const QByteArray written = fileContents(page);
    QVERIFY(row.repeated(written.size() / row.size() + 1).startsWith(written));
}

void TestCli::checkAndPageTellTemplateWarnings_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<int>("status");
    // DIR stands for the template folder.
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString page = m_folder.filePath(u"told.html"_s);
    const QString warning =
        u"DIR/mask.html:2: warning: no function is called \"lenght\" (did you mean \"len\"?) in [lenght('x')]\n"_s;
    QTest::newRow("check of clean templates")
        << QStringList{u"check"_s} << "[title]"_ba << 0 << u"check: no warnings\n"_s << QString();
    QTest::newRow("check with a warning") << QStringList{u"check"_s} << "a\n[lenght('x')]"_ba << 1
                                          << warning + u"check: 1 warning\n"_s << QString();
    QTest::newRow("check of an abandoned run")
        << QStringList{u"check"_s} << "a\n[lenght('x')]\n[1 +]"_ba << 2
        << warning + u"DIR/mask.html:3: error 9: Subscript out of range: the operator \"+\" has nothing on "
                     u"its right (is "
                     u"a \"]\" or an argument missing?)\ncheck: the run was abandoned: 1 error, 1 warning\n"_s
        << QString();
    QTest::newRow("page tells its warnings")
        << QStringList{u"page"_s, page} << "a\n[lenght('x')]"_ba << 0 << QString() << warning;
    QTest::newRow("quiet page") << QStringList{u"page"_s, page, u"--quiet"_s} << "a\n[lenght('x')]"_ba << 0
                                << QString() << QString();
}

void TestCli::checkAndPageTellTemplateWarnings()
{
    QFETCH(QStringList, command);
    QFETCH(QByteArray, mask);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString templates = m_folder.filePath(u"told"_s);
    QVERIFY(QDir(m_folder.path()).mkpath(u"told"_s));
    writeFileBytes(templates + u"/mask.html"_s, mask);
    command.insert(1, storedList(u"windows1252.rkf"_s));
    const CliRun result = run(command + QStringList{u"--template-dir"_s, templates});
    QCOMPARE(result.out, QString(out).replace(u"DIR"_s, templates));
    QCOMPARE(result.err, QString(err).replace(u"DIR"_s, templates));
    QCOMPARE(result.status, status);
}

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
