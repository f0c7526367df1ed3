// Loading a full catalogue into the window's film list: the catalogue model behind the window's film
// table, on the offscreen platform, until the table has laid its rows out; beside reading the list
// file's bytes.
#include "FullCatalogue.h"
#include "support/FakeDesktop.h"
#include "window/FilmTable.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

// The full catalogue saved once in the native form.
const QString& savedFile()
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("films.rkf"));
    if (!QFile::exists(path) && !saveListFile(path, ListForm::Native, bench::fullCatalogue()))
        qFatal("cannot save the benchmark catalogue in %s", qPrintable(path));
    return path;
}

// The main window's film table, shown on the offscreen platform with the columns a new list shows.
struct FilmList
{
    FilmList()
    {
        view.resize(800, 600);
        view.show();
    }

    // Shows the films and lets the table lay them out down to the last one.
    void show(QList<FilmRecord> films)
    {
        catalogue.replaceAll(std::move(films));
        view.scrollToBottom();
        QApplication::processEvents();
    }

    FakeDesktop desktop;
    Catalogue catalogue;
    FilmTable view{desktop, catalogue};
};

// Opening a native list file into the window: the load and the film table showing its rows.
void openIntoWindow(benchmark::State& state)
{
    FilmList list;
    for (auto _ : state) {
        list.show({});
        std::optional<ListDocument> document = loadListFile(savedFile(), ListForm::Native);
        if (!document)
            state.SkipWithError("the catalogue did not load");
        list.show(std::move(document->films));
        if (list.view.model()->rowCount() != Catalogue::MaxEntries)
            state.SkipWithError("the view does not show every film");
    }
    state.SetItemsProcessed(state.iterations() * Catalogue::MaxEntries);
}

// The table's part alone: films already in memory handed to it.
void intoFilmTable(benchmark::State& state)
{
    FilmList list;
    const QList<FilmRecord> films = bench::fullCatalogue().films;
    for (auto _ : state) {
        list.show({});
        list.show(films);
    }
    state.SetItemsProcessed(state.iterations() * Catalogue::MaxEntries);
}

// The baseline: the file's bytes read into memory.
void readFile(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(savedFile());
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("the file did not open");
        benchmark::DoNotOptimize(file.readAll());
    }
}

} // namespace

BENCHMARK(openIntoWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(intoFilmTable)->Unit(benchmark::kMillisecond);
BENCHMARK(readFile)->Unit(benchmark::kMillisecond);

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
