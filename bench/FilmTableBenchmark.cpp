// The film table at 32,767 films on the offscreen platform: a sort by a header's click, beside the
// films' sort by the same field alone, and the first paint and the scrolling of the table,
// beside the titles-only list it replaced; and the memory the thumbnails take for 2,500 covers.
#include "FullCatalogue.h"
#include "pagegen/PageOrder.h"
#include "support/FakeDesktop.h"
#include "window/CoverThumbnails.h"
#include "window/FilmTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QListView>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace reelkeep;

namespace {

/// The covers the thumbnails' memory is measured for.
constexpr int CoverCount = 2500;

const QList<FilmRecord>& films()
{
    static const QList<FilmRecord> catalogue = bench::fullCatalogue().films;
    return catalogue;
}

// The table as the window shows it, its first columns (Title, Release, Type, Genre) and the Plot,
// the films in.
struct ShownTable
{
    ShownTable()
    {
        table.showColumn(FilmColumn::ofField(Field::Plot), true);
        catalogue.replaceAll(films());
        table.resize(800, 600);
        table.show();
        QApplication::processEvents();
    }

    FakeDesktop desktop;
    Catalogue catalogue;
    FilmTable table{desktop, catalogue};
};

// One click on a header, ascending and descending in turn, until the view has laid its rows out
// again: the title (texts by the title collation), Release (the page order's field of dates and
// years) and the Plot (texts of a field the page order does not sort, as titles are).
void sortByHeader(benchmark::State& state)
{
    ShownTable shown;
    const int column = int(state.range(0));
    bool ascending = true;
    for (auto _ : state) {
        shown.table.horizontalHeader()->setSortIndicator(
            column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        QApplication::processEvents();
        ascending = !ascending;
    }
    if (!shown.table.isSorted())
        state.SkipWithError("the table is not sorted");
}

// The baseline: the films' sort by the same column's field, as the table sorts them, without a
// view.
void filmOrderByColumn(benchmark::State& state)
{
    const Field field = ShownTable().table.films().columns().at(int(state.range(0))).field;
    bool ascending = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sortedFilmOrder(films(), {}, field, ascending));
        ascending = !ascending;
    }
}

// The table made, filled and painted once, as a list opens into the window.
void firstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        // Shown, it has painted once.
        ShownTable shown;
        benchmark::DoNotOptimize(shown);
    }
}

// The baseline: the titles-only list view the table replaced, filled and shown.
struct ShownTitles
{
    ShownTitles()
    {
        catalogue.replaceAll(films());
        list.setModel(&catalogue);
        list.setUniformItemSizes(true);
        list.resize(800, 600);
        list.show();
        QApplication::processEvents();
    }

    Catalogue catalogue;
    QListView list;
};

// The baseline's first paint: made, filled and painted once.
void firstPaintOfTitles(benchmark::State& state)
{
    for (auto _ : state) {
        ShownTitles shown;
        benchmark::DoNotOptimize(shown);
    }
}

// One page down and its paint, through the whole catalogue and back to the top (a frame at 60
// per second is 16.7 ms).
template <typename View> void scrollOnePage(benchmark::State& state, View& view)
{
    QScrollBar* bar = view.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
        view.viewport()->repaint();
    }
}

void scrollTable(benchmark::State& state)
{
    ShownTable shown;
    scrollOnePage(state, shown.table);
}

// The baseline: the titles-only list scrolled the same way.
void scrollTitles(benchmark::State& state)
{
    ShownTitles shown;
    scrollOnePage(state, shown.list);
}

// Resident memory, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1 ? pages[1].toLongLong() * 4096 : 0;
}

// The thumbnails of 2,500 different covers (posters of 600 by 900 pixels, links to one JPEG file)
// read and cached: the bytes the cache counts, and the resident memory given back when the cache
// goes (measured that way round because a warm-up run leaves freed memory that the next reuses).
void thumbnailMemory(benchmark::State& state)
{
    QTemporaryDir folder;
    QImage poster(600, 900, QImage::Format_RGB32);
    poster.fill(Qt::darkCyan);
    const QString original = folder.filePath(QStringLiteral("poster.jpg"));
    if (!poster.save(original))
        state.SkipWithError("the poster was not written");
    QStringList covers;
    for (int i = 0; i < CoverCount; ++i) {
        covers.append(folder.filePath(QStringLiteral("%1.jpg").arg(i)));
        QFile::link(original, covers.last());
    }
    qint64 held = 0;
    qsizetype cached = 0;
    for (auto _ : state) {
        qint64 withCache = 0;
        {
            CoverThumbnails thumbnails;
            int read = 0;
            QObject::connect(&thumbnails, &CoverThumbnails::thumbnailRead, [&read] { ++read; });
            for (const QString& cover : covers)
                thumbnails.thumbnail(cover);
            while (read < CoverCount)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            cached = thumbnails.cachedBytes();
            withCache = residentBytes();
        }
        malloc_trim(0);
        held = withCache - residentBytes();
    }
    state.counters["cachedBytes"] = double(cached);
    state.counters["residentBytes"] = double(held);
}

} // namespace

BENCHMARK(sortByHeader)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(filmOrderByColumn)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(firstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(firstPaintOfTitles)->Unit(benchmark::kMillisecond);
BENCHMARK(scrollTable)->Unit(benchmark::kMillisecond);
BENCHMARK(scrollTitles)->Unit(benchmark::kMillisecond);
BENCHMARK(thumbnailMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
