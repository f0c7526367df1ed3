// Loading a full catalogue into the window's film list: the catalogue model behind a list view set
// up as the main window's, on the offscreen platform, until the view has laid the titles out;
// beside reading the list file's bytes.
#include "FullCatalogue.h"

#include <QApplication>
#include <QFile>
#include <QListView>
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

// A list view set up as the main window's film list, shown on the offscreen platform.
struct FilmList
{
    FilmList()
    {
        view.setModel(&catalogue);
        view.setSelectionMode(QAbstractItemView::SingleSelection);
        view.setUniformItemSizes(true);
        view.resize(300, 600);
        view.show();
    }

    // Shows the films and lets the view lay them out down to the last one.
    void show(QList<FilmRecord> films)
    {
        catalogue.replaceAll(std::move(films));
        view.scrollToBottom();
        QApplication::processEvents();
    }

    Catalogue catalogue;
    QListView view;
};

// Opening a native list file into the window: the load and the list view showing its titles.
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

// The view's part alone: films already in memory handed to the list.
void intoListView(benchmark::State& state)
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
BENCHMARK(intoListView)->Unit(benchmark::kMillisecond);
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
