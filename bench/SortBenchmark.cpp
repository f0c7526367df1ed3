// Sorting the page order of 32,767 films by title both ways, as "list.sort" does, and with one title
// beyond the rank keys, against sorting the same titles by plain code units.
#include "FullCatalogue.h"
#include "pagegen/PageOrder.h"

#include <QRandomGenerator>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <numeric>

using namespace reelkeep;

namespace {

// The full catalogue with its titles shuffled, so that the sort has work to do.
const QList<FilmRecord>& shuffledFilms()
{
    static const QList<FilmRecord> films = [] {
        QList<FilmRecord> shuffled = bench::fullCatalogue().films;
        std::shuffle(shuffled.begin(), shuffled.end(), *QRandomGenerator::global());
        return shuffled;
    }();
    return films;
}

void pageOrderByTitle(benchmark::State& state)
{
    const QList<FilmRecord>& films = shuffledFilms();
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedPageOrder(films, {}, QStringLiteral("title"), true));
}

void pageOrderByTitleDescending(benchmark::State& state)
{
    const QList<FilmRecord>& films = shuffledFilms();
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedPageOrder(films, {}, QStringLiteral("title"), false));
}

// One title spelt with the ae ligature sends the whole sort to the collation's own keys.
void pageOrderByTitleWithLigature(benchmark::State& state)
{
    static const QList<FilmRecord> films = [] {
        QList<FilmRecord> result = shuffledFilms();
        result[result.size() / 2][Field::Title] = QStringLiteral("\u00c6on Flux");
        return result;
    }();
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedPageOrder(films, {}, QStringLiteral("title"), true));
}

void titlesByCodeUnits(benchmark::State& state)
{
    const QList<FilmRecord>& films = shuffledFilms();
    for (auto _ : state) {
        QList<qsizetype> order(films.size());
        std::iota(order.begin(), order.end(), qsizetype(0));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype left, qsizetype right) {
            return films[left].title() < films[right].title();
        });
        benchmark::DoNotOptimize(order);
    }
}

} // namespace

BENCHMARK(pageOrderByTitle)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageOrderByTitleDescending)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageOrderByTitleWithLigature)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(titlesByCodeUnits)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
