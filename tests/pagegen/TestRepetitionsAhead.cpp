// Includes whose repetitions other threads render: the same page, errors, place and progress as
// when the run renders every repetition itself.
#include "PageFixture.h"
#include "functions/Defalt_Functions.h"

#include <QFileInfo>
#include <QTest>

#include <thread>

using namespace reelkeep;

namespace {

// Writes each place it renders from, and throws at a place of its choice as an allocation would.
class ScriptedRenderer : public RepetitionRenderer
{
public:
    explicit ScriptedRenderer(int failingPlace = -1)
        : m_failingPlace(failingPlace)
    {}

    RepetitionEnd render(int place, PageBytes& page, std::vector<float>&) override
    {
        if (place == m_failingPlace)
            throw std::bad_alloc();
        page.append(QByteArray::number(place) + ';');
        return RepetitionEnd{place + 1, std::nullopt, 0};
    }

private:
    int m_failingPlace;
};

std::unique_ptr<RepetitionsAhead> scriptedRepetitions(int count, int failingPlace)
{
    std::vector<std::unique_ptr<RepetitionRenderer>> renderers;
    renderers.push_back(std::make_unique<ScriptedRenderer>(failingPlace));
    renderers.push_back(std::make_unique<ScriptedRenderer>(failingPlace));
    return std::make_unique<RepetitionsAhead>(std::move(renderers), nullptr, 1, count, 1, 1);
}

constexpr int Films = 1500;
/// Gives the page order its films: a field of no name leaves them in catalogue order.
const QByteArray InCatalogueOrder = "[list.sort('', true)]";

// A catalogue with empty fields, texts to escape and characters outside Windows-1252.
QList<FilmRecord> catalogue()
{
    QList<FilmRecord> films;
    for (int i = 0; i < Films; ++i) {
        FilmRecord film;
        film[Field::Title] =
            QStringLiteral("Film %1%2").arg(i).arg(i % 7 == 0 ? QStringLiteral(" & <co>") : QString());
        film[Field::Release] = QString::number(1950 + i % 70);
        film[Field::Genre] = i % 3 == 0 ? QString() : QStringLiteral("Drama");
        film[Field::Plot] =
            i % 5 == 0 ? QString::fromUtf16(u"Caf\u00e9 \u20ac 5 \U0001F600") : QStringLiteral("plot");
        film[Field::WebUrl1] =
            i % 2 == 0 ? QStringLiteral("https://example.org/?a=%1&b=\"c\"").arg(i) : QString();
        films.append(film);
    }
    return films;
}

// One run of a main template that includes film.html.
struct Outcome
{
    QByteArray page;
    int place = 0;
    QList<float> progress;
    int renderedAhead = 0;
};

Outcome
runOnce(const QByteArray& mask, const QByteArray& film, bool rendersAhead, const QList<FilmRecord>& films)
{
    PageFixture fixture;
    Defalt_Functions functions;
    fixture.evaluator.setLibrary(&functions);
    fixture.catalogue = films;
    fixture.filter.setRendersAhead(rendersAhead);
    fixture.writeTemplate(QStringLiteral("film.html"), film);
    Outcome outcome;
    outcome.page = fixture.run(InCatalogueOrder + mask);
    outcome.place = fixture.host.state().currentIndex;
    outcome.progress = fixture.progress;
    outcome.renderedAhead = fixture.filter.repetitionsRenderedAhead();
    return outcome;
}

} // namespace

class TestRepetitionsAhead : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameAsTheRunAlone_data();
    void sameAsTheRunAlone();
    void stopEndsBetweenRepetitions();
    void aChangedTemplateIsReadAgain();
    void aFailingThreadLeavesTheRestToTheRun();
    void stoppingWhileThreadsWaitEnds();
    void aFullDiskAbandonsTheRun();
};

void TestRepetitionsAhead::init()
{
    if (std::thread::hardware_concurrency() < 2)
        QSKIP("repetitions are rendered ahead only with two processors or more");
}

void TestRepetitionsAhead::sameAsTheRunAlone_data()
{
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArray>("film");
    QTest::addColumn<QByteArray>("ending");
    QTest::addColumn<bool>("ahead");

    const QByteArray utf8 = "<meta charset=\"utf-8\">";
    const QByteArray all = "[infile('film.html', list.count)]end";
    const QByteArray card =
        "[list.setindex(list.index + 1)][setprogress(list.index * 100 / list.count)]<li>"
        "[replace(replace(list.title, '&', '&amp;'), '<', '&lt;')]\n"
        "[if(list.genre <> '', '<b>' & list.genre & '</b>')]"
        "[iif(list.weburl1 <> '', replace(list.weburl1, '\"', '&quot;'), '-')] [list.plot]\n";
    QTest::newRow("a card for every film, UTF-8") << utf8 + all << card << QByteArray("plot\nend") << true;
    QTest::newRow("a card for every film, Windows-1252") << all << card << QByteArray("plot\nend") << true;
    QTest::newRow("every other film")
        << QByteArray("[infile('film.html', list.count / 2)]")
        << QByteArray("[list.setindex(list.index + 2)][list.index]:[list.title]|")
        << QByteArray("1500:Film 1499|") << true;
    QTest::newRow("backwards from the last film")
        << QByteArray("[list.setindex(list.count + 1)][infile('film.html', list.count)]")
        << QByteArray("[list.setindex(list.index - 1)][list.getval('title', list.index)]|")
        << QByteArray("|Film 1|Film 0 & <co>|") << true;
    QTest::newRow("a step that changes halfway")
        << QByteArray("[infile('film.html', 1000)]")
        << QByteArray("[list.setindex(iif(list.index < 700, list.index + 1, list.index + 2))][list.index]|")
        << QByteArray("|1300|") << true;
    QTest::newRow("no step at all") << QByteArray("[list.setindex(3)][infile('film.html', 600)]")
                                    << QByteArray("[list.title][len(list.plot)]") << QByteArray("Film 24")
                                    << true;
    QTest::newRow("an error far into the run")
        << all
        << QByteArray("[list.setindex(list.index + 1)]<[list.title]>\n[left(list.release, 900 - list.index)]")
        << QByteArray("<Film 900>\n raised 5 at film.html:2") << true;
    QTest::newRow("a progress position out of range")
        << all << QByteArray("[list.setindex(list.index + 1)][setprogress(list.index * 150 / list.count)]x")
        << QByteArray("x raised 380 at film.html:1") << true;
    QTest::newRow("past the last film") << QByteArray("[infile('film.html', list.count + 5)]")
                                        << QByteArray("[list.setindex(list.index + 1)]\n[list.title]")
                                        << QByteArray("Film 1499\n raised 9 at film.html:2") << true;
    QTest::newRow("the page title is read by the run alone")
        << all << QByteArray("[list.setindex(list.index + 1)][title]:[list.title]")
        << QByteArray("My Movie:Film 1499end") << false;
    QTest::newRow("template variables are the run's alone")
        << all << QByteArray("[list.setindex(list.index + 1)][setvar('n', getvar('n') + 1)][getvar('n')]")
        << QByteArray("1500end") << false;
    QTest::newRow("random numbers are the run's alone")
        << all << QByteArray("[list.setindex(list.index + 1)][rnd() < 2]") << QByteArray("Trueend") << false;
    QTest::newRow("a group is evaluated by the run alone")
        << all << QByteArray("[list.setindex(list.index + 1)][('1 + 1')]") << QByteArray("2end") << false;
    QTest::newRow("a short include") << QByteArray("[infile('film.html', 100)]") << card
                                     << QByteArray("plot\n") << false;
}

void TestRepetitionsAhead::sameAsTheRunAlone()
{
    QFETCH(QByteArray, mask);
    QFETCH(QByteArray, film);
    QFETCH(QByteArray, ending);
    QFETCH(bool, ahead);
    const QList<FilmRecord> films = catalogue();
    const Outcome alone = runOnce(mask, film, false, films);
    const Outcome withThreads = runOnce(mask, film, true, films);
    QVERIFY2(alone.page.endsWith(ending), alone.page.right(60).constData());
    QCOMPARE(withThreads.page, alone.page);
    QCOMPARE(withThreads.place, alone.place);
    QCOMPARE(withThreads.progress, alone.progress);
    QCOMPARE(alone.renderedAhead, 0);
    QCOMPARE(withThreads.renderedAhead > 0, ahead);
}

void TestRepetitionsAhead::stopEndsBetweenRepetitions()
{
    const QList<FilmRecord> films = catalogue();
    const QByteArray film = "[list.setindex(list.index + 1)]<[list.title]>\n";
    const QByteArray mask = "[infile('film.html', list.count)]end";
    const QByteArray whole = runOnce(mask, film, true, films).page;

    PageFixture fixture;
    Defalt_Functions functions;
    fixture.evaluator.setLibrary(&functions);
    fixture.catalogue = films;
    fixture.writeTemplate(QStringLiteral("film.html"), film);
    fixture.filter.setYieldInterval(0);
    int yields = 0;
    fixture.filter.setYield([&] {
        if (++yields == 1000)
            fixture.filter.requestStop();
    });
    const QByteArray page = fixture.run(InCatalogueOrder + mask);
    QVERIFY(fixture.filter.repetitionsRenderedAhead() > 0);
    QVERIFY(page.endsWith(" raised 18 at mask.html:1"));
    const QByteArray written = page.chopped(QByteArrayView(" raised 18 at mask.html:1").size());
    QVERIFY(written.endsWith(">\n"));
    QVERIFY(whole.startsWith(written));
    QCOMPARE(int(written.count('\n')), int(fixture.host.state().currentIndex));
    QVERIFY(!fixture.filter.isRunning());
}

void TestRepetitionsAhead::aChangedTemplateIsReadAgain()
{
    PageFixture fixture;
    Defalt_Functions functions;
    fixture.evaluator.setLibrary(&functions);
    fixture.catalogue = catalogue();
    fixture.writeTemplate(QStringLiteral("film.html"), "[list.setindex(list.index + 1)]a");
    fixture.filter.setYieldInterval(0);
    int yields = 0;
    fixture.filter.setYield([&] {
        if (++yields == 700)
            fixture.writeTemplate(QStringLiteral("film.html"), "[list.setindex(list.index + 1)]bb");
    });
    const QByteArray page = fixture.run(InCatalogueOrder + "[infile('film.html', list.count)]");
    QVERIFY(fixture.filter.repetitionsRenderedAhead() > 0);
    // Every repetition is one version or the other: the old ones first, then only the new one.
    const qsizetype old = page.indexOf('b');
    QVERIFY(old > 0);
    QCOMPARE(page.first(old), QByteArray(old, 'a'));
    QCOMPARE(page.sliced(old), QByteArray(2 * (Films - old), 'b'));
}

void TestRepetitionsAhead::aFailingThreadLeavesTheRestToTheRun()
{
    // Repetition r is rendered from place r; the one from place 1000 cannot be rendered.
    const std::unique_ptr<RepetitionsAhead> ahead = scriptedRepetitions(2000, 1000);
    for (int repetition = 1; repetition < 2000; ++repetition) {
        QVERIFY(ahead->renders(repetition));
        const std::optional<RenderedRepetition> rendered = ahead->take(repetition);
        // The failed repetition's batch, and everything after it, is left to the run.
        const int failedBatch = 999 / RepetitionsAhead::BatchSize;
        if ((repetition - 1) / RepetitionsAhead::BatchSize >= failedBatch) {
            QVERIFY(!rendered);
            return;
        }
        QVERIFY(rendered);
        QCOMPARE(rendered->page, QByteArray::number(repetition) + ';');
        QCOMPARE(rendered->end->place, repetition + 1);
    }
    QFAIL("the failed repetition was taken");
}

void TestRepetitionsAhead::stoppingWhileThreadsWaitEnds()
{
    // The threads render a few batches ahead and wait for the run, which stops after one.
    std::unique_ptr<RepetitionsAhead> ahead = scriptedRepetitions(30000, -1);
    QVERIFY(ahead->take(1));
    ahead.reset();
}

void TestRepetitionsAhead::aFullDiskAbandonsTheRun()
{
    // While threads render, the run writes the page itself: a full disk must end the run, and the
    // threads, as it does when a thread of its own writes.
    const QString fullDisk = QStringLiteral("/dev/full");
    if (!QFileInfo(fullDisk).exists())
        QSKIP("this system has no /dev/full");
    PageFixture fixture;
    Defalt_Functions functions;
    fixture.evaluator.setLibrary(&functions);
    fixture.catalogue = catalogue();
    // Pages of many buffers, so that the disk fills while the threads render.
    fixture.writeTemplate(QStringLiteral("film.html"),
                          "[list.setindex(list.index + 1)]<[list.title]>" + QByteArray(500, ' ') + '\n');
    fixture.writeTemplate(MainTemplateName, InCatalogueOrder + "[infile('film.html', list.count)]end");
    const PageRunOutcome outcome =
        runPage(fixture.filter, fixture.evaluator, fixture.templatePath(QString()), fullDisk);
    QCOMPARE(outcome.result, PageRunOutcome::Result::Abandoned);
    QCOMPARE(outcome.errorNumber, 61);
    QVERIFY(fixture.filter.repetitionsRenderedAhead() > 0);
    QVERIFY(!fixture.filter.isRunning());
}

QTEST_GUILESS_MAIN(TestRepetitionsAhead)
#include "TestRepetitionsAhead.moc"
