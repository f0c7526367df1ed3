// The cost of a page run's template warnings, as reelkeep-cli check and page find them: a template
// of many expressions that each name a variable nothing answers, one warning each, run with and
// without finding them. Linear when the run with warnings keeps the same ratio to the run without
// at every size.
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

class NoFilms : public PageContext
{
public:
    const QList<FilmRecord>& films() const override { return m_films; }
    const ExtraFields& extraFields() const override { return m_fields; }
    QString pageTitle() const override { return {}; }
    QString pageDescription() const override { return {}; }
    void setProgress(float) override {}
    void setLabel(const QString&) override {}

private:
    QList<FilmRecord> m_films;
    ExtraFields m_fields;
};

// A run over `warnings` lines of "[nosuchname]", into the null device as check writes it.
void runWithWarnings(benchmark::State& state, bool findsMistakes)
{
    const qint64 warnings = state.range(0);
    QTemporaryDir folder;
    QFile mask(folder.filePath(MainTemplateName));
    if (!mask.open(QIODevice::WriteOnly) || mask.write(QByteArray("[nosuchname]\n").repeated(warnings)) < 0) {
        state.SkipWithError("cannot write the template");
        return;
    }
    mask.close();
    NoFilms context;
    File_Filter filter;
    filter.setFindsMistakes(findsMistakes);
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions);
    PageHost host(context, filter, evaluator, folder.path());
    evaluator.setHost(&host);
    for (auto _ : state) {
        const PageRunOutcome outcome = runPage(filter, evaluator, folder.path(), QProcess::nullDevice());
        if (outcome.templateWarnings.size() != (findsMistakes ? warnings : 0))
            state.SkipWithError("the run found another number of warnings");
    }
    state.SetItemsProcessed(state.iterations() * warnings);
}

} // namespace

BENCHMARK_CAPTURE(runWithWarnings, check, true)->Arg(16000)->Arg(64000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runWithWarnings, quiet, false)->Arg(16000)->Arg(64000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
