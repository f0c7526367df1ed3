// Find as you type over a full catalogue: one keystroke's filtering of 32,767 films, the folding
// of a freshly loaded catalogue, and the bare scan of the folded texts as the baseline.
#include "FullCatalogue.h"
#include "catalogue/FilmSearch.h"

#include <algorithm>
#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

Catalogue& fullCatalogue()
{
    static Catalogue catalogue;
    if (catalogue.count() == 0)
        catalogue.replaceAll(bench::fullCatalogue().films);
    return catalogue;
}

// One keystroke: the search as it stands after the key, over films folded already.
void keystroke(benchmark::State& state, const QString& search)
{
    FilmSearch search_(fullCatalogue());
    search_.matches(QStringLiteral("warm"));
    for (auto _ : state) {
        const std::vector<bool> shown = search_.matches(search);
        benchmark::DoNotOptimize(std::count(shown.begin(), shown.end(), true));
    }
    state.SetItemsProcessed(state.iterations() * Catalogue::MaxEntries);
}

// Folding every film, as the first search after a load does.
void foldCatalogue(benchmark::State& state)
{
    for (auto _ : state) {
        FilmSearch search(fullCatalogue());
        benchmark::DoNotOptimize(search.matches(QStringLiteral("x")));
    }
}

// The baseline: one look at every byte of the folded texts.
void scanFoldedTexts(benchmark::State& state)
{
    QByteArray joined;
    for (const FilmRecord& film : fullCatalogue().entries()) {
        for (Field field : {Field::Title,
                            Field::Cast,
                            Field::Genre,
                            Field::Type,
                            Field::Release,
                            Field::Comment,
                            Field::Plot})
            joined += FilmSearch::fold(film[field]) + '\n';
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(std::count(joined.begin(), joined.end(), '\x01'));
}

} // namespace

// A first letter that most films hold, a word all hold, two words that few hold together.
BENCHMARK_CAPTURE(keystroke, firstLetter, QStringLiteral("c"));
BENCHMARK_CAPTURE(keystroke, accentedWord, QStringLiteral("chlo\u00eb"));
BENCHMARK_CAPTURE(keystroke, twoWords, QStringLiteral("cafe 1234"));
BENCHMARK(foldCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(scanFoldedTexts);
BENCHMARK_MAIN();
