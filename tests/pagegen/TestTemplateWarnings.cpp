// What a page run tells a template's author beside the page: each warning at its file and line,
// the page the same as without them.
#include "PageFixture.h"
#include "functions/Defalt_Functions.h"

#include <QRegularExpression>
#include <QTest>

using namespace reelkeep;
using namespace Qt::StringLiterals;

class TestTemplateWarnings : public QObject
{
    Q_OBJECT

private slots:
    void warnings_data();
    void warnings();
};

void TestTemplateWarnings::warnings_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArray>("film");
    // "FILE:LINE: TEXT" for each warning, then what abandoned the run; DIR for the template folder.
    QTest::addColumn<QString>("told");

    QTest::newRow("unknown function, nearest name")
        << "a\n[lenght('abc')]"_ba << QByteArray()
        << u"mask.html:2: no function is called \"lenght\" (did you mean \"len\"?) in [lenght('abc')]"_s;
    QTest::newRow("unknown function, nothing near")
        << "[zzzzzz(1)]"_ba << QByteArray()
        << u"mask.html:1: no function is called \"zzzzzz\" in [zzzzzz(1)]"_s;
    QTest::newRow("host variable misspelt")
        << "[list.titel]"_ba << QByteArray()
        << u"mask.html:1: nothing answers the variable \"list.titel\" (did you mean \"list.title\"?) in [list.titel]"_s;
    QTest::newRow("constant in another case")
        << "[True]"_ba << QByteArray()
        << u"mask.html:1: nothing answers the variable \"True\" (did you mean \"true\"?) in [True]"_s;
    QTest::newRow("function without parentheses")
        << "[now]"_ba << QByteArray()
        << u"mask.html:1: nothing answers the variable \"now\" (a call of the function is written \"now()\") in [now]"_s;
    QTest::newRow("built-in with a count it refuses")
        << "[left('abc')]"_ba << QByteArray()
        << u"mask.html:1: \"left\" takes 2 arguments, not 1 in [left('abc')]"_s;
    QTest::newRow("built-in with several counts")
        << "[Mid('abc', 1, 2, 3)]"_ba << QByteArray()
        << u"mask.html:1: \"Mid\" takes 2 or 3 arguments, not 4 in [Mid('abc', 1, 2, 3)]"_s;
    QTest::newRow("Error Value in the page")
        << "x\n\n[1 / 0]"_ba << QByteArray()
        << u"mask.html:3: the page gets error 11 (Division by zero), made by the operator \"/\" in [1 / 0]"_s;
    QTest::newRow("lines counted past long stretches of bytes")
        << QByteArray(5000, 'x') + "\n" + QByteArray(4000, 'y') + "\n[1 / 0]" << QByteArray()
        << u"mask.html:3: the page gets error 11 (Division by zero), made by the operator \"/\" in [1 / 0]"_s;
    QTest::newRow("open at the end of the file")
        << "[title]\n[title"_ba << QByteArray()
        << u"mask.html:2: the \"[\" is never closed, so the rest of the file is one expression in [title"_s;
    QTest::newRow("a \"]\" missing in the middle of the file")
        << "<td>[list.type</td></tr>\n<tr>[infile('row.html', 1)]"_ba << QByteArray()
        << u"mask.html:1: a \"]\" is missing: the \"[\" on line 1 is still open at the next \"[\", on line 2 "
           u"in "
           "[list.type</td></tr> <tr>[infile('row....]"_s;
    QTest::newRow("a host function with a count it refuses")
        << "[html('a', 'b')]"_ba << QByteArray()
        << u"mask.html:1: \"html\" takes 1 argument, not 2 in [html('a', 'b')]"_s;
    QTest::newRow("a host function missing an argument")
        << "[setvar('n')]"_ba << QByteArray()
        << u"mask.html:1: \"setvar\" takes 2 arguments, not 1 in [setvar('n')]\nerror 9: Subscript out of "
           u"range: "
           "\"setvar\" takes 2 arguments, not 1 (DIR/mask.html, line 1)"_s;
    QTest::newRow("a film past the last one")
        << "[list.sort('title', true)][list.getval('title', list.count + 1)]"_ba << QByteArray()
        << u"error 9: Subscript out of range: list.getval: there is no film 3; the page order holds 2 "
           "(DIR/mask.html, line 1)"_s;
    QTest::newRow("a field read past the last film")
        << "[list.sort('title', true)][list.setindex(5)][list.title]"_ba << QByteArray()
        << u"error 9: Subscript out of range: list.title: there is no film 5 at list.index (list.setindex "
           u"sets "
           "it); the page order holds 2 (DIR/mask.html, line 1)"_s;
    QTest::newRow("a field read before any sort") << "[list.plot]"_ba << QByteArray()
                                                  << u"error 9: Subscript out of range: list.plot: the page "
                                                     u"order holds no films yet (list.sort makes it) "
                                                     "(DIR/mask.html, line 1)"_s;
    QTest::newRow("operands not joined")
        << "[1 x 2]"_ba << QByteArray()
        << u"mask.html:1: its operands could not all be joined (\"x\" is not an operator), so it yields "
           "nothing in [1 x 2]"_s;
    QTest::newRow("include of no file")
        << "[infile('gone.html', 3)]"_ba << QByteArray()
        << u"mask.html:1: infile names no file: DIR/gone.html in [infile('gone.html', 3)]"_s;
    QTest::newRow("repetitions counted at their place")
        << "[infile('film.html', 2500)]"_ba
        << "ok\n[len(1, 2)]"_ba << u"film.html:2: \"len\" takes 1 argument, not 2 in [len(1, 2)] (x 2,500)"_s;
    QTest::newRow("the error's cause in words")
        << "[title][1 +]"_ba << QByteArray()
        << u"error 9: Subscript out of range: the operator \"+\" has nothing on its right (is a \"]\" or an "
           "argument missing?) (DIR/mask.html, line 1)"_s;
    QTest::newRow("a field name the list does not have")
        << "[list.field('Raiting')]"_ba << QByteArray()
        << u"mask.html:1: list.field: the list has no field called \"Raiting\" (did you mean \"Rating\"?) in "
           "[list.field('Raiting')]"_s;
    QTest::newRow("a sort by a name that is no field")
        << "[LIST.SORT('titel', true)]"_ba << QByteArray()
        << u"mask.html:1: list.sort: the list has no field called \"titel\" (did you mean \"title\"?) in "
           "[LIST.SORT('titel', true)]"_s;
    QTest::newRow("a sort by a field that is no sort key")
        << "[list.sort('plot', true)]"_ba << QByteArray()
        << u"mask.html:1: list.sort: it sorts by title, release, type, time, genre, date or an extra field, "
           "not by \"plot\"; the films keep the catalogue's order in [list.sort('plot', true)]"_s;
    QTest::newRow("an extra field past the last one")
        << "[list.fieldname(2)]"_ba << QByteArray()
        << u"error 9: Subscript out of range: list.fieldname: there is no extra field 2; the list has 1 "
           "(DIR/mask.html, line 1)"_s;
    QTest::newRow("a clean template")
        << "[len('abc') & title][setvar('n', 1)][getvar('n') + 1][list.sort('', true)][list.sort('RATING', "
           "false)][list.setindex(1)][list.field('rating')][list.field('Title')][list.field(getvar('n'))]"_ba
        << QByteArray() << QString();
}

void TestTemplateWarnings::warnings()
{
    QFETCH(QByteArray, mask);
    QFETCH(QByteArray, film);
    QFETCH(QString, told);
    QByteArray pages[2];
    QString descriptions[2];
    for (const bool findsMistakes : {false, true}) {
        PageFixture fixture;
        fixture.addFilm(u"b"_s);
        fixture.addFilm(u"a"_s);
        fixture.fields = {{u"Rating"_s, ExtraKind::Rating}};
        Defalt_Functions functions;
        fixture.evaluator.setLibrary(&functions);
        fixture.filter.setFindsMistakes(findsMistakes);
        fixture.writeTemplate(u"film.html"_s, film);
        pages[findsMistakes] = fixture.run(mask);
        const PageRunOutcome& outcome = fixture.outcome;
        QStringList lines;
        for (const TemplateWarning& warning : outcome.templateWarnings)
            lines << u"%1:%2: %3"_s.arg(QFileInfo(warning.file).fileName())
                         .arg(warning.line)
                         .arg(warning.text());
        if (outcome.result != PageRunOutcome::Result::Made)
            lines << outcome.describe();
        descriptions[findsMistakes] = lines.join(u'\n').replace(fixture.templates, u"DIR"_s);
    }
    QCOMPARE(pages[true], pages[false]);
    QCOMPARE(descriptions[true], told);
    // Without finding mistakes, only the error is told.
    QCOMPARE(descriptions[false], told.split(u'\n').filter(QRegularExpression(u"^error"_s)).join(u'\n'));
}

QTEST_GUILESS_MAIN(TestTemplateWarnings)
#include "TestTemplateWarnings.moc"
