// The default templates run through reelkeep-cli page: one card per film in title order, no
// markup for empty fields, text escaped for its place, links only for safe addresses, the genre
// and type choices with their counts, the letter index, the catalogue's own order, the count and
// the page texts, and well-formed UTF-8. What the page's script does is tested in a browser.
#include "catalogue/FilmRecord.h"
#include "cli/CliCommands.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/PageFixture.h"
#include "storage/ListFile.h"
#include "support/ListFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace reelkeep;
using reelkeep::test::fileContents;
using namespace Qt::StringLiterals;

namespace {

struct PageResult
{
    int status = -1;
    QString errors;
    QByteArray bytes;

    /// Made, and without a warning about the templates.
    bool madeCleanly() const { return status == 0 && !errors.contains(u"warning"_s); }
};

// Every field filled, in field order: title, release, type, time, genre, date, plot, comment, cast,
// the poster's source and link, and three link texts with their addresses.
FilmRecord fullFilm(const QString& title)
{
    return reelkeep::test::filmOf(
        QStringList{title} +
        u"1971|DVD|98 min|Drama|2025-03-01|A plot.|A comment.|An Actor|images/poster.jpg|"
        u"https://example.org/poster|First link|https://example.org/1|Second link|"
        u"https://example.org/2|Third link|https://example.org/3"_s.split(u'|'));
}

// The <article> of the film whose escaped title is heading, or an empty text when there is none.
QString articleOf(const QString& page, const QString& heading)
{
    const qsizetype at = page.indexOf(u"\">"_s + heading + u"</a></h2>"_s);
    if (at < 0)
        return {};
    const qsizetype start = page.lastIndexOf(u"<article"_s, at);
    const qsizetype end = page.indexOf(u"</article>"_s, at);
    return page.mid(start, end + 10 - start);
}

// Each film's heading links to the film's own anchor: the headings, checking that the anchors
// number the films from 1 in page order.
QStringList headings(const QString& page)
{
    static const QRegularExpression Film(u"<article class=\"film\" id=\"film-(\\d+)\">.*?"
                                         "<h2><a href=\"#film-(\\d+)\"[^>]*>(.*?)</a></h2>"_s,
                                         QRegularExpression::DotMatchesEverythingOption);
    QStringList found;
    for (const QRegularExpressionMatch& match : Film.globalMatch(page)) {
        const QString place = QString::number(found.size() + 1);
        found << (match.captured(1) == place && match.captured(2) == place ? match.captured(3)
                                                                           : u"misnumbered"_s);
    }
    return found;
}

// The text between the first `from` after the start of `within` and the next `to`.
QString between(const QString& page, const QString& within, const QString& from, const QString& to)
{
    const qsizetype start = page.indexOf(from, page.indexOf(within));
    return start < 0 ? QString() : page.mid(start, page.indexOf(to, start) + to.size() - start);
}

// Every element that is opened is closed in order; void elements, the style sheet and the script
// are skipped.
// Returns the first fault, or an empty text.
QString markupFault(const QString& page)
{
    static const QRegularExpression Tag(u"<(/?)([A-Za-z][A-Za-z0-9]*)((?:[^>\"']|\"[^\"]*\"|'[^']*')*)>"_s);
    static const QStringList Void = {u"meta"_s, u"img"_s, u"br"_s, u"link"_s, u"hr"_s, u"input"_s};
    QStringList open;
    qsizetype from = page.indexOf(u"<html"_s);
    if (from < 0)
        return u"no <html> element"_s;
    while (true) {
        const QRegularExpressionMatch match = Tag.match(page, from);
        if (!match.hasMatch())
            break;
        const QString name = match.captured(2).toLower();
        from = match.capturedEnd();
        if (match.captured(1).isEmpty()) {
            if (Void.contains(name))
                continue;
            open << name;
            if (name == u"style" || name == u"script") {
                from = page.indexOf(u"</"_s + name + u'>', from);
                if (from < 0)
                    return u"unclosed <%1>"_s.arg(name);
            }
        } else if (open.isEmpty() || open.takeLast() != name) {
            return u"</%1> at %2 does not close the innermost open element"_s.arg(name).arg(
                match.capturedStart());
        }
    }
    return open.isEmpty() ? QString() : u"unclosed <%1>"_s.arg(open.join(u"> <"_s));
}

} // namespace

class TestDefaultTemplates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageIsUtf8AndWellFormed();
    void listsEveryFilmOnceInTitleOrder();
    void showsTheCountAndThePageTexts();
    void emptyFieldLeavesNoMarkup_data();
    void emptyFieldLeavesNoMarkup();
    void escapesTextAndAttributes_data();
    void escapesTextAndAttributes();
    void linksOnlySafeAddresses_data();
    void linksOnlySafeAddresses();
    void groupsGenresAndTypesWithCounts();
    void indexesTitlesByLetter();
    void carriesTheCatalogueOrder();
    void keepsTheLinesOfAPlot();
    void countsOneFilmInTheSingular();
    void emptyCatalogueGivesAValidPage();
    void reportsProgressAndLabels();
    void secondPageInTheSameWindowIsTheSame();

private:
    PageResult makePage(const ListDocument& document, const QString& name);
    QString pageText(const ListDocument& document, const QString& name);

    QTemporaryDir m_folder;
    ListDocument m_catalogue;
    PageResult m_page;
    QString m_text;
};

// Made as on a terminal, where reelkeep-cli shows the labels and the progress bar the templates drive.
PageResult TestDefaultTemplates::makePage(const ListDocument& document, const QString& name)
{
    PageResult result;
    const QString list = m_folder.filePath(name + u".rkf"_s);
    const QString output = m_folder.filePath(name + u".html"_s);
    QString failure;
    if (!saveListFile(list, ListForm::FromName, document, &failure)) {
        result.errors = failure;
        return result;
    }
    QFile::remove(output);
    QString nothing;
    QString out;
    QTextStream inStream(&nothing, QIODevice::ReadOnly);
    QTextStream outStream(&out);
    QTextStream errStream(&result.errors);
    result.status =
        runCli({u"page"_s, list, output, u"--template-dir"_s, QStringLiteral(REELKEEP_TEMPLATE_DIR)},
               CliStreams{inStream, outStream, errStream, true});
    errStream.flush();
    result.bytes = fileContents(output);
    return result;
}

// The page as text, or the empty text (which no check accepts) when reelkeep-cli fails to make it,
// warns of a mistake in the templates or makes markup that is not well-formed: every catalogue
// here, full or empty, must take its paths through the templates without either.
QString TestDefaultTemplates::pageText(const ListDocument& document, const QString& name)
{
    const PageResult result = makePage(document, name);
    const QString page = QString::fromUtf8(result.bytes);
    const QString fault = result.madeCleanly() ? markupFault(page) : result.errors;
    if (result.madeCleanly() && fault.isEmpty())
        return page;
    qWarning("the page was not made cleanly: %s", qPrintable(fault));
    return QString();
}

void TestDefaultTemplates::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QString failure;
    const std::optional<ListDocument> examples =
        loadListFile(QStringLiteral(REELKEEP_EXAMPLES_DIR "/films.csv"), ListForm::FromName, &failure);
    QVERIFY2(examples, qPrintable(failure));
    m_catalogue.films = examples->films;
    QCOMPARE(m_catalogue.films.size(), 21);

    FilmRecord bare;
    bare[Field::Title] = u"Zabriskie Point"_s;
    FilmRecord markup = fullFilm(u"<Untitled> & Sons"_s);
    FilmRecord nonLatin = fullFilm(u"七人の侍 — Shichinin no samurai"_s);
    FilmRecord lines = fullFilm(u"Mulholland Drive"_s);
    lines[Field::Plot] = u"First line.\nSecond line.\r\nThird line."_s;
    m_catalogue.films << bare << markup << nonLatin << lines;
    m_catalogue.pageTitle = u"Films & <Friends>"_s;
    m_catalogue.pageDescription = u"Everything on the shelf."_s;

    m_page = makePage(m_catalogue, u"catalogue"_s);
    QVERIFY2(m_page.madeCleanly(), qPrintable(m_page.errors));
    m_text = QString::fromUtf8(m_page.bytes);
}

void TestDefaultTemplates::pageIsUtf8AndWellFormed()
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(m_page.bytes);
    QVERIFY(!decoder.hasError() && !decoded.isEmpty()); // the titles: listsEveryFilmOnceInTitleOrder
    QVERIFY(m_page.bytes.startsWith("<!DOCTYPE html>"));
    QVERIFY(m_page.bytes.left(1024).contains("<meta charset=\"utf-8\">"));
    QVERIFY(m_page.bytes.trimmed().endsWith("</html>"));
    QCOMPARE(markupFault(m_text), QString());
    // Self-contained: one script of its own, and nothing fetched from elsewhere.
    QCOMPARE(m_text.count(u"<script"_s), 1);
    QVERIFY(m_text.contains(u"<script>\n"_s));
    QVERIFY(!m_text.contains(u"<link"_s));
    QVERIFY(!m_text.contains(u"@import"_s));
    QVERIFY(!m_text.contains(u"url("_s));
}

void TestDefaultTemplates::listsEveryFilmOnceInTitleOrder()
{
    const QStringList expected =
        u"&lt;Untitled&gt; &amp; Sons|2001: A Space Odyssey|Alien|Amélie|Back to the Future|Blade Runner|"
        "Casablanca|Dune|Groundhog Day|Heat|Jaws|Lawrence of Arabia|Mulholland Drive|My Neighbor Totoro|"
        "Parasite|Raiders of the Lost Ark|Seven Samurai|Some Like It Hot|Spider-Man: Into the Spider-Verse|"
        "Spirited Away|The Godfather|The Silence of the Lambs|Vertigo|Zabriskie Point|"
        "七人の侍 — Shichinin no samurai"_s.split(u'|');
    QCOMPARE(headings(m_text), expected);
    QCOMPARE(m_text.count(u"<article "_s), expected.size());
}

void TestDefaultTemplates::showsTheCountAndThePageTexts()
{
    QVERIFY(m_text.contains(u"<p class=\"count\" id=\"count\">25 films</p>"_s));
    QVERIFY(m_text.contains(u"<p class=\"shown\" id=\"shown\" role=\"status\">25 films</p>"_s));
    QVERIFY(m_text.contains(u"<title>Films &amp; &lt;Friends&gt;</title>"_s));
    QVERIFY(m_text.contains(u"<h1>Films &amp; &lt;Friends&gt;</h1>"_s));
    QVERIFY(m_text.contains(u"<p class=\"description\">Everything on the shelf.</p>"_s));
    QVERIFY(m_text.contains(u"<meta name=\"description\" content=\"Everything on the shelf.\">"_s));
    QVERIFY(!m_text.contains(u"class=\"empty\""_s));
}

void TestDefaultTemplates::emptyFieldLeavesNoMarkup_data()
{
    QTest::addColumn<QList<Field>>("emptied");
    QTest::addColumn<QString>("markup");

    QTest::newRow("no image, no poster") << QList<Field>{Field::ImgSrc} << u"class=\"poster\""_s;
    QTest::newRow("no image link, poster without a link")
        << QList<Field>{Field::ImgLink} << u"<a class=\"poster\" href"_s;
    QTest::newRow("no release") << QList<Field>{Field::Release} << u"class=\"release\""_s;
    QTest::newRow("no type") << QList<Field>{Field::Type} << u"class=\"type\""_s;
    QTest::newRow("no running time") << QList<Field>{Field::Time} << u"class=\"time\""_s;
    QTest::newRow("no genre") << QList<Field>{Field::Genre} << u"class=\"genre\""_s;
    QTest::newRow("none of the four facts, no facts line")
        << QList<Field>{Field::Release, Field::Type, Field::Time, Field::Genre} << u"class=\"facts\""_s;
    QTest::newRow("no plot") << QList<Field>{Field::Plot} << u"class=\"plot\""_s;
    QTest::newRow("no cast") << QList<Field>{Field::Cast} << u"class=\"cast\""_s;
    QTest::newRow("no comment") << QList<Field>{Field::Comment} << u"class=\"comment\""_s;
    QTest::newRow("no first address, no first link")
        << QList<Field>{Field::WebUrl1} << u"href=\"https://example.org/1\""_s;
    QTest::newRow("no third address, no third link")
        << QList<Field>{Field::WebUrl3} << u"href=\"https://example.org/3\""_s;
    QTest::newRow("no addresses, no link list")
        << QList<Field>{Field::WebUrl1, Field::WebUrl2, Field::WebUrl3} << u"class=\"links\""_s;
}

// One full film and one with the emptied fields: the markup shows for the first only.
void TestDefaultTemplates::emptyFieldLeavesNoMarkup()
{
    QFETCH(QList<Field>, emptied);
    QFETCH(QString, markup);
    FilmRecord partial = fullFilm(u"Partial"_s);
    for (Field field : emptied)
        partial[field].clear();
    const QString page = pageText(ListDocument{{}, {}, {fullFilm(u"Full"_s), partial}}, u"partial"_s);
    QVERIFY(articleOf(page, u"Full"_s).contains(markup));
    const QString article = articleOf(page, u"Partial"_s);
    QVERIFY(!article.isEmpty());
    QVERIFY2(!article.contains(markup), qPrintable(article));
    // Neither an empty element nor an empty line is left where the field would be.
    static const QRegularExpression EmptyElement(u"<(\\w+)[^>]*>\\s*</\\1>"_s);
    QVERIFY2(!EmptyElement.match(article).hasMatch(), qPrintable(article));
    QVERIFY2(!article.contains(u"\n\n"_s), qPrintable(article));
}

void TestDefaultTemplates::escapesTextAndAttributes_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");

    QTest::newRow("< and & in a plot") << Field::Plot << u"a<b && c"_s << u">a&lt;b &amp;&amp; c<"_s;
    QTest::newRow("markup in a cast is text")
        << Field::Cast << u"<b>Star</b>"_s << u">&lt;b&gt;Star&lt;/b&gt;<"_s;
    QTest::newRow("< in a comment") << Field::Comment << u"1 < 2"_s << u">1 &lt; 2<"_s;
    QTest::newRow("< in a genre") << Field::Genre << u"<Noir>"_s << u">&lt;Noir&gt;<"_s;
    QTest::newRow("& in a link text") << Field::WebText1 << u"Q&A"_s << u">Q&amp;A<"_s;
    QTest::newRow("quote and & in an address") << Field::WebUrl2 << u"https://x.org/?a=\"1\"&b=2"_s
                                               << u"href=\"https://x.org/?a=%221%22&amp;b=2\""_s;
    QTest::newRow("markup and quotes in a title are text")
        << Field::Title << u"<script>alert(\"x\")</script>"_s
        << u">&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;</a></h2>"_s;
    QTest::newRow("markup and quotes in a title as an attribute")
        << Field::Title << u"<script>alert(\"x\")</script>"_s
        << u"alt=\"&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;\""_s;
    QTest::newRow("quote and & in a genre choice")
        << Field::Genre << u"Q\"&A"_s << u"value=\"Q&quot;&amp;A\"><span>Q&quot;&amp;A <span"_s;
    QTest::newRow("quote and space in an image source")
        << Field::ImgSrc << u"img/\"my\" poster.jpg"_s << u"src=\"img/%22my%22%20poster.jpg\""_s;
    QTest::newRow("apostrophes are escaped")
        << Field::Plot << u"It's 'quoted'"_s << u">It&#39;s &#39;quoted&#39;<"_s;
    QTest::newRow("bracket passes through") << Field::Plot << u"[1] and ]["_s << u">[1] and ][<"_s;
}

void TestDefaultTemplates::escapesTextAndAttributes()
{
    QFETCH(Field, field);
    QFETCH(QString, text);
    QFETCH(QString, written);
    FilmRecord film = fullFilm(u"Escapes"_s);
    film[field] = text;
    const QString page = pageText(ListDocument{{}, {}, {film}}, u"escapes"_s);
    QVERIFY2(page.contains(written), qPrintable(articleOf(page, u"Escapes"_s)));
}

void TestDefaultTemplates::linksOnlySafeAddresses_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("address");
    // The link's href, or nothing for an anchor without one.
    QTest::addColumn<QString>("href");

    QTest::newRow("https") << Field::WebUrl1 << u"https://example.org/a:b?c=1"_s
                           << u"https://example.org/a:b?c=1"_s;
    QTest::newRow("http in capitals") << Field::WebUrl2 << u"HTTP://EXAMPLE.ORG"_s << u"HTTP://EXAMPLE.ORG"_s;
    QTest::newRow("mailto") << Field::WebUrl3 << u"mailto:films@example.org"_s
                            << u"mailto:films@example.org"_s;
    QTest::newRow("relative") << Field::WebUrl1 << u"reviews/alien.html#end"_s << u"reviews/alien.html#end"_s;
    QTest::newRow("relative with a backslash and a space")
        << Field::WebUrl1 << u"reviews\\my film.html"_s << u"reviews/my%20film.html"_s;
    QTest::newRow("javascript") << Field::WebUrl1 << u"javascript:alert(1)"_s << QString();
    QTest::newRow("javascript in mixed case") << Field::WebUrl2 << u"JavaScript:alert(1)"_s << QString();
    QTest::newRow("scheme behind a space") << Field::WebUrl3 << u" javascript:alert(1)"_s << QString();
    QTest::newRow("another host, no scheme") << Field::WebUrl1 << u"//evil.example/x"_s << QString();
    QTest::newRow("another host by backslashes") << Field::WebUrl2 << u"\\\\evil.example\\x"_s << QString();
    QTest::newRow("poster link, javascript") << Field::ImgLink << u"javascript:alert(1)"_s << QString();
    QTest::newRow("poster link, https")
        << Field::ImgLink << u"https://example.org/p"_s << u"https://example.org/p"_s;
}

// A link is made only for a relative, http, https or mailto address; any other keeps its text
// in an anchor without an address.
void TestDefaultTemplates::linksOnlySafeAddresses()
{
    QFETCH(Field, field);
    QFETCH(QString, address);
    QFETCH(QString, href);
    FilmRecord film = fullFilm(u"Links"_s);
    film[field] = address;
    const QString article = articleOf(pageText(ListDocument{{}, {}, {film}}, u"links"_s), u"Links"_s);
    QVERIFY2(href.isEmpty() || article.contains(u"href=\""_s + href + u'"'), qPrintable(article));
    QCOMPARE(article.count(u"href="_s), 4 + int(!href.isEmpty()));
}

void TestDefaultTemplates::groupsGenresAndTypesWithCounts()
{
    QList<FilmRecord> films;
    for (const auto& [genre, type] : {std::pair(u"Drama"_s, u"DVD"_s),
                                      std::pair(u"comedy"_s, u"DVD"_s),
                                      std::pair(u"drama"_s, u"Blu-ray"_s),
                                      std::pair(QString(), u"DVD"_s),
                                      std::pair(u"Drama"_s, QString())}) {
        FilmRecord film = fullFilm(u"Film"_s);
        film[Field::Genre] = genre;
        film[Field::Type] = type;
        films << film;
    }
    const QString page = pageText(ListDocument{{}, {}, films}, u"choices"_s);
    // One choice per group, letter case ignored, named as its first film writes it; none for
    // films without the field.
    QCOMPARE(between(page, u"<legend>Genre"_s, u"<label>"_s, u"</div>"_s),
             u"<label><input type=\"radio\" name=\"genre\" value=\"\" checked><span>All <span "
             u"class=\"n\">5</span></span></label>\n"
             "<label><input type=\"radio\" name=\"genre\" value=\"comedy\"><span>comedy <span "
             "class=\"n\">1</span></span></label>\n"
             "<label><input type=\"radio\" name=\"genre\" value=\"Drama\"><span>Drama <span "
             "class=\"n\">3</span></span></label>\n"
             "</div>"_s);
    const QString types = between(page, u"<legend>Type"_s, u"<label>"_s, u"</div>"_s);
    QVERIFY2(types.contains(u"value=\"Blu-ray\"><span>Blu-ray <span class=\"n\">1</span>"_s),
             qPrintable(types));
    QVERIFY2(types.contains(u"value=\"DVD\"><span>DVD <span class=\"n\">3</span>"_s), qPrintable(types));
    QCOMPARE(types.count(u"<label>"_s), 3);
}

// A link to the first film of each letter; accents and letter case are filed with their letter,
// digits and signs under "#", other scripts under their own letters.
void TestDefaultTemplates::indexesTitlesByLetter()
{
    QList<FilmRecord> films;
    for (const QString& title : {u"eve"_s,
                                 u"Zorro"_s,
                                 u"\"Quoted\""_s,
                                 u"Émile"_s,
                                 u"alien"_s,
                                 u"2001"_s,
                                 u"Amélie"_s,
                                 u"Ωmega"_s,
                                 u"ωmega"_s})
        films << fullFilm(title);
    const QString page = pageText(ListDocument{{}, {}, films}, u"letters"_s);
    QCOMPARE(headings(page).mid(0, 3), (QStringList{u"&quot;Quoted&quot;"_s, u"2001"_s, u"alien"_s}));
    QCOMPARE(between(page, u"<nav class=\"letters"_s, u"<a "_s, u"</nav>"_s),
             u"<a href=\"#film-1\">#</a>\n<a href=\"#film-3\">A</a>\n<a href=\"#film-5\">E</a>\n"
             "<a href=\"#film-7\">Z</a>\n<a href=\"#film-8\">Ω</a>\n</nav>"_s);
}

// The films stand in title order; the catalogue's own order follows them as a list of titles. A film
// without a title is named "Untitled", its title left empty.
void TestDefaultTemplates::carriesTheCatalogueOrder()
{
    const QString page = pageText(
        ListDocument{
            {}, {}, {fullFilm(u"b"_s), fullFilm(u"A & <C>"_s), fullFilm(QString()), fullFilm(u"b"_s)}},
        u"order"_s);
    QCOMPARE(headings(page), (QStringList{u"Untitled"_s, u"A &amp; &lt;C&gt;"_s, u"b"_s, u"b"_s}));
    QVERIFY(page.contains(u"<h2><a href=\"#film-1\" class=\"untitled\">Untitled</a></h2>"_s));
    QCOMPARE(between(page, u"<template id=\"collection-order\">"_s, u"<ol>"_s, u"</ol>"_s),
             u"<ol>\n<li>b</li>\n<li>A &amp; &lt;C&gt;</li>\n<li></li>\n<li>b</li>\n</ol>"_s);
}

void TestDefaultTemplates::keepsTheLinesOfAPlot()
{
    const QString article = articleOf(m_text, u"Mulholland Drive"_s);
    QVERIFY(article.contains(u"<p class=\"plot\">First line.\nSecond line.\r\nThird line.</p>"_s));
    // The line breaks show because the paragraph keeps them, not through inserted markup.
    QVERIFY(m_text.contains(u".film .plot { margin: 0; white-space: pre-line;"_s));
}

void TestDefaultTemplates::countsOneFilmInTheSingular()
{
    ListDocument document;
    document.films = {fullFilm(u"Alone"_s)};
    document.pageDescription = QString();
    const QString page = pageText(document, u"one"_s);
    QVERIFY(page.contains(u"<p class=\"count\" id=\"count\">1 film</p>"_s));
    // An empty description leaves neither its paragraph nor its meta element.
    QVERIFY(!page.contains(u"class=\"description\""_s));
    QVERIFY(!page.contains(u"name=\"description\""_s));
}

void TestDefaultTemplates::emptyCatalogueGivesAValidPage()
{
    ListDocument document;
    document.pageTitle = u"Nothing yet"_s;
    const QString page = pageText(document, u"empty"_s);
    QVERIFY(page.contains(u"<h1>Nothing yet</h1>"_s));
    QVERIFY(page.contains(u"<p class=\"count\" id=\"count\">0 films</p>"_s));
    QVERIFY(page.contains(u"<p class=\"empty\">This catalogue has no films yet.</p>"_s));
    // Neither films nor the controls, the letters and the script that work on them.
    for (const QString& markup : {u"<article"_s, u"id=\"finder\""_s, u"<nav"_s, u"<script"_s, u"<template"_s})
        QVERIFY2(!page.contains(markup), qPrintable(markup));
}

void TestDefaultTemplates::reportsProgressAndLabels()
{
    const QString& err = m_page.errors;
    const qsizetype sorting = err.indexOf(u"Sorting the films\n"_s);
    const qsizetype writing = err.indexOf(u"Writing the page\n"_s);
    const qsizetype halfway = err.indexOf(u"] 52%"_s);
    const qsizetype done = err.indexOf(u"Page written: 25 films\n"_s);
    QVERIFY2(sorting >= 0 && sorting < writing && writing < halfway && halfway < done, qPrintable(err));
    QVERIFY2(err.contains(u"] 100%"_s), qPrintable(err));
}

// The window keeps template variables, page order and index between pages: the templates must
// reset what they count on, or the second page would start past the last film.
void TestDefaultTemplates::secondPageInTheSameWindowIsTheSame()
{
    Defalt_Functions library;
    PageFixture window(QStringLiteral(REELKEEP_TEMPLATE_DIR));
    window.evaluator.setLibrary(&library);
    window.catalogue = {fullFilm(u"b"_s), fullFilm(u"A"_s), fullFilm(u"c"_s)};
    const QString first = m_folder.filePath(u"first.html"_s);
    const QString second = m_folder.filePath(u"second.html"_s);
    const PageRunOutcome firstRun = window.makePage(first);
    QVERIFY2(firstRun.result == PageRunOutcome::Result::Made, qPrintable(firstRun.describe()));
    QCOMPARE(window.host.state().currentIndex, 3);
    const PageRunOutcome secondRun = window.makePage(second);
    QVERIFY2(secondRun.result == PageRunOutcome::Result::Made, qPrintable(secondRun.describe()));
    QCOMPARE(fileContents(second), fileContents(first));
    QCOMPARE(headings(QString::fromUtf8(fileContents(second))), (QStringList{u"A"_s, u"b"_s, u"c"_s}));
}

QTEST_GUILESS_MAIN(TestDefaultTemplates)
#include "TestDefaultTemplates.moc"
