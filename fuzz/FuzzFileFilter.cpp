// The template filter on arbitrary main templates, over a small catalogue and a template folder
// of the fuzzer's own: only standard run-time errors abandon a run, every run ends with its
// files closed, and a run that would never end is stopped as the window's Stop button does.
#include "FuzzProperties.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>

using namespace reelkeep;

namespace {

// The template folder: the main template, and three files to include.
QString templateFolder()
{
    static const QString folder = [] {
        const QString path = QFileInfo(fuzz::scratchFile(QStringLiteral("template/x"))).absolutePath();
        QDir().mkpath(path);
        QFile film(path + QStringLiteral("/film.html"));
        film.open(QIODevice::WriteOnly);
        film.write("[setvar('i', getvar('i') + 1)][list.setindex(getvar('i'))]<[list.title]>");
        QFile self(path + QStringLiteral("/again.html"));
        self.open(QIODevice::WriteOnly);
        self.write("x[infile('again.html', 2)]");
        // A file that steps the index round the three films, reading them through the library
        // and the host, and shows the place as progress.
        QFile card(path + QStringLiteral("/card.html"));
        card.open(QIODevice::WriteOnly);
        card.write("[list.setindex(list.index mod 3 + 1)]<[replace(list.title, 'b', '&')]"
                   "[list.getval('title', list.index)]>[setprogress(list.index)]");
        return path;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = templateFolder();
    QFile mask(folder + QLatin1Char('/') + MainTemplateName);
    if (!mask.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    mask.write(reinterpret_cast<const char*>(data), qsizetype(size));
    mask.close();

    fuzz::FuzzCatalogue page({QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")},
                             Field::Plot,
                             QStringLiteral("one\ntwo"));
    File_Filter filter;
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions);
    PageHost host(page, filter, evaluator, folder);
    evaluator.setHost(&host);
    QElapsedTimer elapsed;
    elapsed.start();
    // A run may include without end; after a moment it is stopped, as a user would.
    filter.setYield([&] {
        if (elapsed.elapsed() > 200)
            filter.requestStop();
    });
    const PageRunOutcome outcome =
        runPage(filter, evaluator, folder, fuzz::scratchFile(QStringLiteral("page.html")));
    if (outcome.result == PageRunOutcome::Result::Abandoned)
        fuzz::requireStandardError(outcome.errorNumber);
    FUZZ_REQUIRE(outcome.result != PageRunOutcome::Result::TemplateMissing);
    FUZZ_REQUIRE(!filter.isRunning());
    return 0;
}
