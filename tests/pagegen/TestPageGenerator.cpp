// The template filter, the host's variables and functions, and the page order's sort.
#include "PageFixture.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/PageOrder.h"
#include "pagegen/PreparedTemplate.h"
#include "pagegen/TemplateCharset.h"
#include "pagegen/TemplateVariables.h"
#include "storage/InputLimits.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestPageGenerator : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void host_data();
    void host();
    void imageAddresses_data();
    void imageAddresses();
    void characterSets_data();
    void characterSets();
    void declaredCharset_data();
    void declaredCharset();
    void includesReadOnlyAndCreateNothing();
    void aPageNeverReplacesWhatItReads_data();
    void aPageNeverReplacesWhatItReads();
    void anOversizedTemplateIsNotRead();
    void warnsOfBytesThatAreNotUtf8();
    void variablesLastAcrossRuns();
    void variableStore();
    void sortConversions();
    void stopAbandonsAtTheNextYield_data();
    void stopAbandonsAtTheNextYield();
    void includeChangedWhileYieldingIsReadAgain();
    void longTextsAreWrittenWhole_data();
    void longTextsAreWrittenWhole();
    void aFullDiskAbandonsTheRun_data();
    void aFullDiskAbandonsTheRun();
};

// ---- the filter ----

void TestPageGenerator::filter_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArray>("page");

    QTest::newRow("a closing bracket alone is text") << QByteArray("a]b") << QByteArray("a]b");
    QTest::newRow("NUL bytes are dropped") << QByteArray("a\0b\0", 4) << QByteArray("ab");
    QTest::newRow("an empty expression writes nothing") << QByteArray("x[]y") << QByteArray("xy");
    QTest::newRow("an unknown variable writes nothing") << QByteArray("<[foo]>") << QByteArray("<>");
    QTest::newRow("the first ] closes") << QByteArray("[a[b]c]") << QByteArray("c]");
    QTest::newRow("] then [ starts the next expression") << QByteArray("[1][2]") << QByteArray("12");
    QTest::newRow("the end of the file ends an expression") << QByteArray("x['ab") << QByteArray("xab");
    QTest::newRow("a lone [ at the end") << QByteArray("x[") << QByteArray("x");
    QTest::newRow("Null abandons the run, keeping what came before")
        << QByteArray("before\n[null]after") << QByteArray("before\n raised 94 at mask.html:2");
    QTest::newRow("a failing operator writes its Error") << QByteArray("[1 / 0]") << QByteArray("Error 11");
    QTest::newRow("the empty template gives the empty page") << QByteArray() << QByteArray();
    QTest::newRow("line ends and high bytes pass through")
        << QByteArray("a\r\n\tb\xE9\xFF") << QByteArray("a\r\n\tb\xE9\xFF");
    QTest::newRow("a text written twice is evaluated each time")
        << QByteArray(
               "[setvar('n', getvar('n') + 1)][getvar('n')]\n[setvar('n', getvar('n') + 1)][getvar('n')]")
        << QByteArray("1\n2");
    QTest::newRow("a missing operand abandons the run")
        << QByteArray("ok[1 +]no") << QByteArray("ok raised 9 at mask.html:1");
    QTest::newRow("a template including itself runs out of file slots")
        << QByteArray("x[infile('mask.html', 1)]")
        << QByteArray(File_Filter::FileSlots - 1, 'x') + " raised 67 at mask.html:1";
    // More distinct expressions than a template keeps programs for, the first again at the end,
    // in a template that includes itself: the inner copy lets go of the programs the outer one is
    // still evaluating.
    QByteArray expressions, values;
    for (int i = 1; i <= int(TemplatePrograms::MaxKeptPrograms) + 100; ++i) {
        expressions += '[' + QByteArray::number(i) + ']';
        values += QByteArray::number(i);
    }
    QTest::newRow("programs let go are prepared again")
        << "[setvar('c1', 1)][setvar('c2', 1)][setvar('d', getvar('d') + 1)]"
           "[infile('mask.html', getvar('c' & getvar('d')))]" +
               expressions + "[1]"
        << (values + '1').repeated(3);
}

void TestPageGenerator::filter()
{
    QFETCH(QByteArray, mask);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    QCOMPARE(fixture.run(mask), page);
}

// ---- host variables and functions ----

void TestPageGenerator::host_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArray>("page");

    QTest::newRow("before any sort the order is empty")
        << QByteArray("[list.count]|[list.index]") << QByteArray("0|0");
    QTest::newRow("a film field before any sort abandons the run")
        << QByteArray("x[list.title]") << QByteArray("x raised 9 at mask.html:1");
    QTest::newRow("the first film of the order")
        << QByteArray("[list.sort('title', true)][list.setindex(1)][list.title]") << QByteArray("A");
    QTest::newRow("names ignore case")
        << QByteArray("[LIST.SORT('genre', false)][List.SetIndex(1)][LIST.GENRE]|[LIST.COUNT]")
        << QByteArray("Western|3");
    QTest::newRow("the page texts") << QByteArray("[title]|[description]")
                                    << QByteArray("My Movie|About films");
    QTest::newRow("rb and hy") << QByteArray("[rb][hy]['a' & rb & 'b']") << QByteArray("]'a]b");
    QTest::newRow("the seventeenth field is offered")
        << QByteArray("[list.sort('x', true)][list.setindex(3)][list.weburl3]")
        << QByteArray("https://c.example");
    QTest::newRow("a name not in the table is Empty")
        << QByteArray("[list.foo][list.next(1)]") << QByteArray();
    QTest::newRow("getval of place 0 is the empty text")
        << QByteArray("[list.sort('title', true)][list.getval('title', 0) & '|']") << QByteArray("|");
    QTest::newRow("getval by place and field name in any case")
        << QByteArray("[list.sort('title', true)][list.getval('TITLE', 1)]") << QByteArray("A");
    QTest::newRow("getval of another field is Empty")
        << QByteArray("[list.sort('title', true)][list.getval('plot', 1) & '|']") << QByteArray("|");
    QTest::newRow("getval before any sort abandons the run")
        << QByteArray("[list.getval('title', 1)]") << QByteArray(" raised 9 at mask.html:1");
    QTest::newRow("setindex rounds half to even")
        << QByteArray("[list.setindex(2.5)][list.index] [list.setindex(3.5)][list.index]")
        << QByteArray("2 4");
    QTest::newRow("setindex of a word abandons the run")
        << QByteArray("[list.setindex('x')]") << QByteArray(" raised 13 at mask.html:1");
    QTest::newRow("setindex is unchecked, the field read is not")
        << QByteArray("[list.sort('title', true)][list.setindex(99)][list.index]\n[list.title]")
        << QByteArray("99\n raised 9 at mask.html:2");
    QTest::newRow("setvar writes nothing, getvar its value")
        << QByteArray("[setvar('n', 5)][getvar('n')]|[getvar('N') + 1]") << QByteArray("5|6");
    QTest::newRow("setvar without its value abandons the run")
        << QByteArray("[setvar('n')]") << QByteArray(" raised 9 at mask.html:1");
    QTest::newRow("Null stored and written abandons the run")
        << QByteArray("[setvar('x', null)]a[getvar('x')]") << QByteArray("a raised 94 at mask.html:1");
    QTest::newRow("include counts 0 and negative")
        << QByteArray("[infile('one.html', 0)][infile('one.html', -3)]") << QByteArray();
    QTest::newRow("include counts round half to even")
        << QByteArray("[infile('one.html', 2.5)]|[infile('one.html', 3.5)]") << QByteArray("11|1111");
    QTest::newRow("include count of a word abandons the run")
        << QByteArray("[infile('one.html', 'x')]") << QByteArray(" raised 13 at mask.html:1");
    QTest::newRow("a loop by inclusion")
        << QByteArray("[list.sort('title', false)][setvar('i', 0)][infile('film.html', list.count)]")
        << QByteArray("<c><b><A>");
    QTest::newRow("an error inside an include tells its file and line")
        << QByteArray("[infile('broken.html', 1)]") << QByteArray("ok\n raised 9 at broken.html:2");
    QTest::newRow("setprogress writes nothing") << QByteArray("[setprogress(50)]") << QByteArray();
    QTest::newRow("setprogress beyond 100 abandons the run")
        << QByteArray("[setprogress(150)]") << QByteArray(" raised 380 at mask.html:1");
    QTest::newRow("debug.print writes nothing") << QByteArray("[debug.print('x')]") << QByteArray();
    QTest::newRow("debug.print needs its argument")
        << QByteArray("[debug.print()]") << QByteArray(" raised 9 at mask.html:1");
    QTest::newRow("html escapes the five characters of markup")
        << QByteArray("[html('<a href=\"x\">it' & hy & 's & that</a>')]")
        << QByteArray("&lt;a href=&quot;x&quot;&gt;it&#39;s &amp; that&lt;/a&gt;");
    QTest::newRow("html writes a value as the page would")
        << QByteArray("[html(1 / 0)]|[html(true)]|[html(empty)]") << QByteArray("Error 11|True|");
    QTest::newRow("html leaves out the characters no page may hold")
        << QByteArray("[html('a' & chr(1) & chrw(127) & chrw(133) & chrw(64976) & chrw(65535) & 'b' & chr(9) "
                      "& chr(10) & chr(12) & chr(13))]")
        << QByteArray("ab\t\n\f\r");
    QTest::newRow("html of Null abandons the run")
        << QByteArray("a[html(null)]") << QByteArray("a raised 94 at mask.html:1");
    QTest::newRow("url encodes spaces and writes & as &amp;")
        << QByteArray("[url('https://e.org/a b?x=1&y=2')]") << QByteArray("https://e.org/a%20b?x=1&amp;y=2");
    QTest::newRow("url keeps a relative path, its backslashes as slashes")
        << QByteArray("[url('img\\my poster.jpg')]") << QByteArray("img/my%20poster.jpg");
    QTest::newRow("url refuses other schemes and other hosts")
        << QByteArray("[url('javascript:alert(1)')]|[url(' JavaScript:x')]|[url('//evil.example/x')]|"
                      "[url('/\\evil.example')]|[url('data:text/html,x')]|[url('java script:x')]")
        << QByteArray("|||||");
    QTest::newRow("url leads only to a host with a name, or an address in brackets, and a port of digits")
        << QByteArray(
               "[url('http://')]|[url('https:e.org')]|[url('https://e x.org/')]|[url('https://e.org:8o/')]|"
               "[url('https://[::1/')]|[url('http://:80/')]|[url('https://u:p@e-x.org:8080/a')]|"
               "[url('HTTP://[::1' & rb & '/')]|[url('https://e.org:')]")
        << QByteArray("||||||https://u:p@e-x.org:8080/a|HTTP://[::1]/|https://e.org:");
    QTest::newRow("url encodes quotes, angle brackets and control characters, keeping %XX")
        << QByteArray("[url('mailto:a@b.org?s=' & hy & chr(34) & '<' & chr(9) & '>%41%zz%4')]")
        << QByteArray("mailto:a@b.org?s=%27%22%3C%09%3E%41%25zz%254");
    QTest::newRow("url encodes characters beyond ASCII as UTF-8")
        << QByteArray("[url('caf\xE9/' & chrw(55356) & chrw(57260) & chrw(55357))]")
        << QByteArray("caf%C3%A9/%F0%9F%8E%AC%EF%BF%BD");
    QTest::newRow("url drops spaces and control characters around the address")
        << QByteArray("[url(chr(10) & ' https://e.org/ ' & chr(9))]") << QByteArray("https://e.org/");
    QTest::newRow("url needs its argument")
        << QByteArray("[url()]") << QByteArray(" raised 9 at mask.html:1");
    // The choice not given is still evaluated as far as anyone can tell: a film's field read
    // where no film stands abandons the run.
    QTest::newRow("a choice of a film's field with no film yet")
        << QByteArray("x[iif(list.count = 0, 'none', list.title)]")
        << QByteArray("x raised 9 at mask.html:1");
    QTest::newRow("field reads an extra field, named in any case, as a value of its kind")
        << QByteArray("[list.sort('title', true)][list.setindex(2)][list.field('RATING') + 1]|"
                      "[typename(list.field('seen'))]|[list.field('Seen on')]|[list.field('Seen on') > "
                      "dateserial(2024, 12, 30)]|[list.field('shelf')]")
        << QByteArray("8|Boolean|12/31/2024|True|apex");
    QTest::newRow("field of an empty value is Empty, of a standard field its text")
        << QByteArray("[list.sort('title', true)][list.setindex(3)][vartype(list.field('Rating'))]"
                      "[vartype(list.field('Seen on'))]|[list.field('TITLE')]|[vartype(list.field('plot'))]")
        << QByteArray("00|c|8");
    QTest::newRow("field of a name the list does not have is Empty, even with no film")
        << QByteArray("[vartype(list.field('none'))]|[list.field('Rating')]")
        << QByteArray("0| raised 9 at mask.html:1");
    QTest::newRow("fieldcount, fieldname and fieldkind walk the extra fields")
        << QByteArray("[list.fieldcount]:[list.fieldname(1)],[list.fieldname(4)],[list.fieldkind(2.5)],"
                      "[list.fieldkind(3)]")
        << QByteArray("4:Rating,Shelf,yesno,date");
    QTest::newRow("fieldname past the last field abandons the run")
        << QByteArray("[list.fieldname(5)]") << QByteArray(" raised 9 at mask.html:1");
    QTest::newRow("fieldkind of place 0 abandons the run")
        << QByteArray("[list.fieldkind(0)]") << QByteArray(" raised 9 at mask.html:1");
    QTest::newRow("sort by a rating, the empty value last descending")
        << QByteArray("[list.sort('Rating', false)][setvar('i', 0)][infile('film.html', list.count)]")
        << QByteArray("<A><b><c>");
    QTest::newRow("sort by a date, empty values first ascending in catalogue order")
        << QByteArray("[list.sort('SEEN ON', true)][setvar('i', 0)][infile('film.html', list.count)]")
        << QByteArray("<A><c><b>");
    QTest::newRow("sort by a text ignores case")
        << QByteArray("[list.sort('shelf', true)][setvar('i', 0)][infile('film.html', list.count)]")
        << QByteArray("<c><b><A>");
    QTest::newRow("a choice of a film's field past the last film")
        << QByteArray("[list.sort('title', true)][list.setindex(4)][if(list.index < 4, list.title)]")
        << QByteArray(" raised 9 at mask.html:1");
}

void TestPageGenerator::host()
{
    QFETCH(QByteArray, mask);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    fixture.description = u"About films"_s;
    fixture.addFilm(u"b"_s, u"1999"_s, u"Drama"_s);
    fixture.addFilm(u"A"_s, u"2001"_s, u"Western"_s);
    fixture.addFilm(u"c"_s, u"85"_s, u"Comedy"_s);
    fixture.catalogue[2][Field::WebUrl3] = u"https://c.example"_s;
    fixture.fields = {{u"Rating"_s, ExtraKind::Rating},
                      {u"Seen"_s, ExtraKind::YesNo},
                      {u"Seen on"_s, ExtraKind::Date},
                      {u"Shelf"_s, ExtraKind::Text}};
    fixture.catalogue[0].extra = {u"7"_s, u"yes"_s, u"2024-12-31"_s, u"apex"_s};
    fixture.catalogue[1].extra = {u"10"_s, u"no"_s, QString(), u"Bottom"_s};
    fixture.writeTemplate(u"one.html"_s, "1");
    fixture.writeTemplate(u"film.html"_s,
                          "[setvar('i', getvar('i') + 1)][list.setindex(getvar('i'))]<[list.title]>");
    fixture.writeTemplate(u"broken.html"_s, "ok\n[list.title]");
    Defalt_Functions library;
    fixture.evaluator.setLibrary(&library);
    QCOMPARE(fixture.run(mask), page);
}

void TestPageGenerator::imageAddresses_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("listFile");
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<QByteArray>("address");
    // Paths are in the test's folder, which "@" stands for in a source.
    QTest::newRow("a path beside the list and the page, encoded")
        << u"images/a b#1%.jpg"_s << u"lists/films.rkf"_s << u"lists/page.html"_s
        << QByteArray("images/a%20b%231%25.jpg");
    QTest::newRow("a page in another folder, backslashes as slashes")
        << u"images\\x.jpg"_s << u"lists/films.rkf"_s << u"site/out/page.html"_s
        << QByteArray("../../lists/images/x.jpg");
    QTest::newRow("a path with spaces around, trimmed")
        << u" images/x.jpg "_s << u"lists/films.rkf"_s << u"site/page.html"_s
        << QByteArray("../lists/images/x.jpg");
    QTest::newRow("a path through the folder above, cleaned")
        << u"../pics/./x.jpg"_s << u"lists/films.rkf"_s << u"site/page.html"_s << QByteArray("../pics/x.jpg");
    QTest::newRow("a full path") << u"@/pics/x.jpg"_s << u"lists/films.rkf"_s << u"site/page.html"_s
                                 << QByteArray("../pics/x.jpg");
    QTest::newRow("a file address, beyond ASCII") << u" file://@/pics/%C3%BC.jpg"_s << u"lists/films.rkf"_s
                                                  << u"page.html"_s << QByteArray("pics/%C3%BC.jpg");
    QTest::newRow("a web address as it is") << u"https://e.org/a b.jpg "_s << u"lists/films.rkf"_s
                                            << u"site/page.html"_s << QByteArray("https://e.org/a b.jpg");
    QTest::newRow("a list without a file: as written")
        << u"img/x y.jpg"_s << QString() << u"site/page.html"_s << QByteArray("img/x%20y.jpg");
    QTest::newRow("no image") << QString() << u"lists/films.rkf"_s << u"page.html"_s << QByteArray();
}

void TestPageGenerator::imageAddresses()
{
    QFETCH(QString, source);
    QFETCH(QString, listFile);
    QFETCH(QString, pageName);
    QFETCH(QByteArray, address);
    PageFixture fixture;
    fixture.addFilm(u"A"_s);
    fixture.catalogue[0][Field::ImgSrc] = source.replace(u'@', fixture.folder.path());
    fixture.listFile = listFile.isEmpty() ? QString() : fixture.folder.filePath(listFile);
    fixture.pageName = pageName;
    QCOMPARE(fixture.run("[list.sort('', true)][list.setindex(1)][list.imgaddress]"), address);
}

// ---- character sets ----

void TestPageGenerator::characterSets_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArray>("page");

    QTest::newRow("Windows-1252 page") << QByteArray("\xE9[list.title]")
                                       << QByteArray("\xE9"
                                                     "Am\xE9lie \x80 &#937; &#128512;");
    QTest::newRow("expression bytes read as Windows-1252")
        << QByteArray("['\xE9' & '\x80']") << QByteArray("\xE9\x80");
    QTest::newRow("a UTF-8 page writes UTF-8")
        << QByteArray("<meta charset=\"utf-8\">\xC3\xA9[list.title]")
        << QByteArray("<meta charset=\"utf-8\">\xC3\xA9"
                      "Am\xC3\xA9lie \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80");
    QTest::newRow("a byte-order mark opening an expression is part of its text")
        << QByteArray("<meta charset=\"utf-8\">[\xEF\xBB\xBF"
                      "1][1]")
        << QByteArray("<meta charset=\"utf-8\">1");
    // A chain of "&" is written part by part: a pair whose halves are two parts is still one character.
    QTest::newRow("a surrogate pair joined by a chain is one character")
        << QByteArray("<meta charset=\"utf-8\">[chrw(55357) & '' & chrw(56832) & '!'][chrw(55357)]")
        << QByteArray("<meta charset=\"utf-8\">\xF0\x9F\x98\x80!&#55357;");
    QTest::newRow("a UTF-8 page reads its expressions as UTF-8") << QByteArray("\xEF\xBB\xBF['\xCE\xA9' & 1]")
                                                                 << QByteArray("\xEF\xBB\xBF\xCE\xA9"
                                                                               "1");
}

void TestPageGenerator::characterSets()
{
    QFETCH(QByteArray, mask);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    Defalt_Functions library;
    fixture.evaluator.setLibrary(&library);
    fixture.addFilm(u"Am\u00E9lie \u20AC \u03A9 \U0001F600"_s);
    QCOMPARE(fixture.run("[list.sort('title', true)][list.setindex(1)]" + mask), page);
}

void TestPageGenerator::declaredCharset_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFhello") << true;
    QTest::newRow("meta charset") << QByteArray("<html><head><meta charset=\"utf-8\">") << true;
    QTest::newRow("meta charset in capitals, unquoted") << QByteArray("<META CHARSET=UTF-8>") << true;
    QTest::newRow("the utf8 label") << QByteArray("<meta charset='utf8'>") << true;
    QTest::newRow("http-equiv Content-Type")
        << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">") << true;
    QTest::newRow("content without http-equiv")
        << QByteArray("<meta content=\"text/html; charset=utf-8\">") << false;
    QTest::newRow("another charset") << QByteArray("<meta charset=\"windows-1252\">") << false;
    QTest::newRow("inside a comment") << QByteArray("<!-- <meta charset=\"utf-8\"> -->") << false;
    QTest::newRow("a longer tag name") << QByteArray("<metadata charset=\"utf-8\">") << false;
    QTest::newRow("past the first 1,024 bytes")
        << QByteArray(1024, ' ') + "<meta charset=\"utf-8\">" << false;
    QTest::newRow("nothing declared") << QByteArray("<p>plain</p>") << false;
}

void TestPageGenerator::declaredCharset()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, utf8);
    QCOMPARE(declaresUtf8(head), utf8);
}

// ---- includes ----

void TestPageGenerator::includesReadOnlyAndCreateNothing()
{
    PageFixture fixture;
    fixture.writeTemplate(u"part.html"_s, "part");
    QFile::setPermissions(fixture.templatePath(u"part.html"_s), QFile::ReadOwner | QFile::ReadGroup);
    QCOMPARE(fixture.run("[infile('part.html', 2)][infile('none.html', 1)][infile('sub/none.html', 1)]"),
             QByteArray("partpart"));
    QVERIFY(!QFile::exists(fixture.templatePath(u"none.html"_s)));
    QVERIFY(!QFile::exists(fixture.templatePath(u"sub"_s)));
}

// The page's file is compared with the list file, the templates and every include by what it is,
// whatever names lead to it; a refused page leaves that file as it was.
void TestPageGenerator::aPageNeverReplacesWhatItReads_data()
{
    QTest::addColumn<QString>("page"); // a name in the fixture's folder, linked to `linkedTo` when given
    QTest::addColumn<QString>("linkedTo");
    QTest::addColumn<QString>("refusal"); // the end of the reason; empty when the page is made
    QTest::newRow("a hard link to the list file")
        << u"page.html"_s << u"list.csv"_s << u"the page is made from"_s;
    QTest::newRow("a hard link to a template in a subfolder")
        << u"page.html"_s << u"template/parts/film.html"_s << u"film.html"_s;
    QTest::newRow("an include outside the template folder")
        << u"outside.html"_s << QString() << u"include (%1/mask.html, line 1)"_s;
    QTest::newRow("a hard link to an include outside the template folder")
        << u"page.html"_s << u"outside.html"_s << u"include (%1/mask.html, line 1)"_s;
    QTest::newRow("a page of its own, outside every template") << u"page.html"_s << QString() << QString();
}

void TestPageGenerator::aPageNeverReplacesWhatItReads()
{
    QFETCH(QString, page);
    QFETCH(QString, linkedTo);
    QFETCH(QString, refusal);
    PageFixture fixture;
    const auto path = [&fixture](const QString& name) { return fixture.folder.filePath(name); };
    QVERIFY(QDir(fixture.templates).mkpath(u"parts"_s));
    fixture.writeTemplate(u"parts/film.html"_s, "film");
    fixture.writeTemplate(MainTemplateName, "[infile('../outside.html', 1)][infile('parts/film.html', 1)]");
    test::writeFileBytes(path(u"outside.html"_s), "outside");
    test::writeFileBytes(path(u"list.csv"_s), "\"Alien\"\r\n");
    if (!linkedTo.isEmpty())
        QCOMPARE(
            ::link(QFile::encodeName(path(linkedTo)).constData(), QFile::encodeName(path(page)).constData()),
            0);
    const QByteArray before = test::fileContents(path(page));
    const PageRunOutcome outcome =
        runPage(fixture.filter, fixture.evaluator, fixture.templates, path(page), path(u"list.csv"_s));
    QCOMPARE(outcome.result,
             refusal.isEmpty() ? PageRunOutcome::Result::Made : PageRunOutcome::Result::Refused);
    QVERIFY2(refusal.isEmpty() || outcome.describe().endsWith(refusal.arg(fixture.templates)),
             qPrintable(outcome.describe()));
    QCOMPARE(test::fileContents(path(page)), refusal.isEmpty() ? QByteArray("outsidefilm") : before);
    QVERIFY(!fixture.filter.isRunning());
}

void TestPageGenerator::variablesLastAcrossRuns()
{
    PageFixture fixture;
    QCOMPARE(fixture.run("[setvar('runs', getvar('runs') + 1)][getvar('runs')]"), QByteArray("1"));
    QCOMPARE(fixture.run("[setvar('runs', getvar('runs') + 1)][getvar('runs')]"), QByteArray("2"));
}

// ---- the variable store ----

void TestPageGenerator::variableStore()
{
    TemplateVariables store;
    store.Set_Variable(u"Count"_s, Value::makeDouble(1));
    store.Set_Variable(u"b"_s, Value::makeNull());
    store.Set_Variable(QString(), Value::makeDouble(5));
    store.Set_Variable(u"COUNT"_s, Value::makeDouble(2));
    store.Set_Variable(u""_s, Value::makeDouble(6));
    QCOMPARE(store.count(), 3);
    QCOMPARE(store.nameAt(1), u"Count"_s);
    QCOMPARE(store.Find_Variable(u"count"_s), 1);
    QCOMPARE(store.Find_Variable(u"B"_s), 2);
    QCOMPARE(store.Get_Variable(u"cOuNt"_s), Value::makeDouble(2));
    QCOMPARE(store.Get_Variable(u"b"_s), Value::makeNull());
    QCOMPARE(store.Get_Variable(QString()), Value::makeDouble(6));
    QCOMPARE(store.Find_Variable(u"c"_s), 0);
    QCOMPARE(store.Get_Variable(u"c"_s), Value());
    // A name of characters the collation ignores compares equal to the empty name's collation key,
    // but StrComp puts the empty text before it: they are two variables.
    QCOMPARE(store.Find_Variable(QString(QChar(0))), 0);
    store.Set_Variable(QString(QChar(0)), Value::makeDouble(7));
    QCOMPARE(store.count(), 4);
    QCOMPARE(store.Get_Variable(QString()), Value::makeDouble(6));
    QCOMPARE(store.Get_Variable(QString(QChar(1))), Value::makeDouble(7));
    // A full store still sets the names it holds, and refuses a new one.
    for (int i = 0; i < TemplateVariables::MaxVariables - 4; ++i)
        store.Set_Variable(QString::number(i), Value::makeLong(i));
    QCOMPARE(store.Get_Variable(u"32762"_s), Value::makeLong(32762));
    store.Set_Variable(u"0"_s, Value::makeLong(-1));
    QCOMPARE(store.Get_Variable(u"0"_s), Value::makeLong(-1));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, store.Get_Variable(u"new"_s));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, store.Set_Variable(u"new"_s, Value()));
}

// ---- the sort ----

void TestPageGenerator::sortConversions()
{
    PageFixture fixture;
    fixture.addFilm(u"b"_s);
    fixture.addFilm(u"A"_s);
    fixture.addFilm(u"c"_s);
    const auto order = [&] { return fixture.host.state().order; };
    fixture.host.Sort_Page_Order(Value::makeString(u"TITLE"_s), Value::makeBoolean(true));
    QCOMPARE(order(), (QList<std::int16_t>{1, 0, 2}));
    fixture.host.Sort_Page_Order(Value::makeString(u"title"_s), Value::makeNull());
    QCOMPARE(order(), (QList<std::int16_t>{2, 0, 1}));
    fixture.host.Sort_Page_Order(Value::makeString(u"title"_s), Value::makeDouble(0));
    QCOMPARE(order(), (QList<std::int16_t>{2, 0, 1}));
    QVERIFY_THROWS_EXCEPTION(
        RuntimeError, fixture.host.Sort_Page_Order(Value::makeString(u"title"_s), Value::makeString(u"x"_s)));
    QVERIFY(order().isEmpty());
    QVERIFY_THROWS_EXCEPTION(RuntimeError,
                             fixture.host.Sort_Page_Order(Value::makeError(5), Value::makeBoolean(true)));
    fixture.host.Sort_Page_Order(Value::makeNull(), Value::makeBoolean(true));
    QCOMPARE(order(), (QList<std::int16_t>{0, 1, 2}));
    fixture.catalogue.clear();
    fixture.host.Sort_Page_Order(Value::makeString(u"title"_s), Value::makeBoolean(false));
    QCOMPARE(order(), (QList<std::int16_t>{0, 1, 2}));
}

void TestPageGenerator::anOversizedTemplateIsNotRead()
{
    PageFixture fixture;
    QFile big(fixture.templatePath(u"big.html"_s));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(MaxTemplateBytes + 1)); // sparse: no disk used
    big.close();
    QCOMPARE(fixture.run("a[infile('big.html', 1)]"), QByteArray("a raised 7 at mask.html:1"));
}

void TestPageGenerator::warnsOfBytesThatAreNotUtf8()
{
    PageFixture utf8Run;
    utf8Run.writeTemplate(u"part.html"_s, "\n\n['caf\xE9']");
    utf8Run.run("<meta charset=\"utf-8\">\n\xFF[infile('part.html', 2)]");
    const QStringList warnings = utf8Run.outcome.warnings;
    QCOMPARE(warnings.size(), 2); // once for each file
    QVERIFY2(warnings[0].endsWith(
                 u"mask.html has bytes that are not UTF-8 (read as U+FFFD), the first at byte 24, line 2"),
             qPrintable(warnings[0]));
    QVERIFY(warnings[1].endsWith(
        u"part.html has bytes that are not UTF-8 (read as U+FFFD), the first at byte 8, line 3"));
    // A page file that cannot be created still tells what the main template holds.
    const PageRunOutcome notCreated = utf8Run.makePage(utf8Run.folder.filePath(u"none/page.html"_s));
    QCOMPARE(notCreated.result, PageRunOutcome::Result::PageNotCreated);
    QCOMPARE(notCreated.warnings, QStringList{warnings[0]});
}

void TestPageGenerator::stopAbandonsAtTheNextYield_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<int>("stopAt"); // the yield that asks for the stop
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("inside an expression of a repeated include")
        << QByteArray("[infile('outer.html', 30000)]end") << 1 << QByteArray(" raised 18 at x.html:1");
    QTest::newRow("between repetitions of a literal file")
        << QByteArray("<ul>\n[infile('card.html', 30000)]</ul>") << 3
        << QByteArray("<ul>\n<li><li><li> raised 18 at mask.html:2");
}

void TestPageGenerator::stopAbandonsAtTheNextYield()
{
    QFETCH(QByteArray, mask);
    QFETCH(int, stopAt);
    QFETCH(QByteArray, page);
    PageFixture fixture;
    fixture.writeTemplate(u"outer.html"_s, "[infile('x.html', 30)]");
    fixture.writeTemplate(u"x.html"_s, "[setvar('n', getvar('n') + 1)]x");
    fixture.writeTemplate(u"card.html"_s, "<li>");
    int yields = 0;
    fixture.filter.setYieldInterval(0);
    fixture.filter.setYield([&] {
        if (++yields == stopAt)
            fixture.filter.requestStop();
    });
    QCOMPARE(fixture.run(mask), page);
    QCOMPARE(yields, stopAt);
    QVERIFY(!fixture.filter.isRunning());
    QCOMPARE(fixture.run("again"), QByteArray("again"));
}

void TestPageGenerator::includeChangedWhileYieldingIsReadAgain()
{
    PageFixture fixture;
    fixture.writeTemplate(u"part.html"_s, "A[1]");
    fixture.writeTemplate(u"gone.html"_s, "G[1]");
    fixture.filter.setYieldInterval(0);
    int yields = 0;
    // The first yield comes after the first repetition's expression: the file changes before the
    // second repetition, and the other file disappears.
    fixture.filter.setYield([&] {
        if (++yields == 1) {
            fixture.writeTemplate(u"part.html"_s, "B[22]");
            QFile::remove(fixture.templatePath(u"gone.html"_s));
        }
    });
    QCOMPARE(fixture.run("[infile('part.html', 3)]|[infile('gone.html', 2)]"), QByteArray("A1B22B22|"));
}

void TestPageGenerator::longTextsAreWrittenWhole_data()
{
    QTest::addColumn<int>("prefix");
    for (int prefix = 0; prefix < 8; ++prefix)
        QTest::addRow("%d bytes before", prefix) << prefix;
}

void TestPageGenerator::longTextsAreWrittenWhole()
{
    QFETCH(int, prefix);
    // Longer than the page's buffer takes at once, so that it fills in the middle of the text; one
    // of the prefixes makes it fill between the two halves of a surrogate pair.
    const QString text = QString::fromUtf16(u"😀a").repeated(10000);
    const QByteArray before(prefix, 'x');
    PageFixture utf8Page;
    QCOMPARE(utf8Page.run("<meta charset=\"utf-8\">" + before + "['" + text.toUtf8() + "']"),
             "<meta charset=\"utf-8\">" + before + text.toUtf8());
    PageFixture windows1252Page;
    windows1252Page.description = text;
    QCOMPARE(windows1252Page.run(before + "[description]"),
             before + QByteArray("&#128512;a").repeated(10000));
    // Literal bytes longer than the buffer, between expressions.
    const QByteArray literal = QByteArray("0123456789abcdef").repeated(20000) + before;
    PageFixture literalPage;
    QCOMPARE(literalPage.run(before + literal + "[1]" + literal + "[2]"),
             before + literal + "1" + literal + "2");
}

void TestPageGenerator::aFullDiskAbandonsTheRun_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<qint64>("fileSizeLimit");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    const QByteArray manyBuffers("[infile('part.html', 1000)]\n[2]");
    // 0 writes to /dev/full, which takes nothing; a limit lets the page file take that many bytes.
    QTest::newRow("a page within one buffer, at its end")
        << QByteArray("a\n[1]\nb") << qint64(0) << MainTemplateName << 3 << u"No space left on device"_s;
    QTest::newRow("a page of many buffers, where it overflows")
        << manyBuffers << qint64(0) << u"part.html"_s << 1 << u"No space left on device"_s;
    QTest::newRow("a file that takes part of a buffer, then says why it takes no more")
        << manyBuffers << qint64(200'000) << u"part.html"_s << 1 << u"File too large"_s;
}

void TestPageGenerator::aFullDiskAbandonsTheRun()
{
    QFETCH(QByteArray, mask);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(QString, reason);
    PageFixture fixture;
    fixture.writeTemplate(u"part.html"_s, QByteArray(1000, 'x'));
    fixture.writeTemplate(MainTemplateName, mask);
    QString page = u"/dev/full"_s;
    if (fileSizeLimit == 0 && !QFileInfo(page).exists())
        QSKIP("this system has no /dev/full");
    rlimit unlimited{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
    if (fileSizeLimit > 0) {
        page = fixture.folder.filePath(u"page.html"_s);
        test::writeFileBytes(page, "old page");
        // Past the limit a write fails with EFBIG instead of the signal that would end the test.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = unlimited;
        limited.rlim_cur = rlim_t(fileSizeLimit);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    }
    // The limit holds for the page run alone.
    const PageRunOutcome outcome = fixture.makePage(page);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    QCOMPARE(outcome.result, PageRunOutcome::Result::Abandoned);
    QCOMPARE(outcome.errorNumber, 61);
    QCOMPARE(QFileInfo(outcome.where.file).fileName(), file);
    QCOMPARE(outcome.where.line, line);
    // The page file failed, not the template: the message names the file and the system's reason.
    QCOMPARE(
        outcome.describe(),
        u"error 61: Disk full: the page file %1 could not be written to its end: %2"_s.arg(page, reason));
    // A page that did not fit leaves the file it would have replaced as it was.
    if (fileSizeLimit > 0)
        QCOMPARE(test::fileContents(page), QByteArray("old page"));
    QVERIFY(!fixture.filter.isRunning());
}

QTEST_GUILESS_MAIN(TestPageGenerator)
#include "TestPageGenerator.moc"
