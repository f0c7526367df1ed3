// Templates full of mistakes, as reelkeep-cli check and page tell them: a check never crashes, and
// it tells the very template warnings page tells, and the same error at the same place. The input
// is the main template, and after its first NUL byte a template it may include as "part.html". Both
// runs stop alike after a few thousand expressions, as a user's Stop would stop them.
#include "FuzzProperties.h"
#include "cli/CliCommands.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

using namespace reelkeep;

namespace {

constexpr int MostExpressions = 4000;

// A run of the templates in `folder` into `output` as the commands make it, on a clock that stands
// still so that both runs compute the same.
PageRunOutcome runTemplates(const QString& folder, const QString& output)
{
    fuzz::FuzzCatalogue catalogue({QStringLiteral("b"), QStringLiteral("A")},
                                  Field::WebUrl1,
                                  QStringLiteral("https://example.org/?a=1&b=2"));
    File_Filter filter;
    filter.setYieldInterval(0);
    int expressions = 0;
    filter.setYield([&] {
        if (++expressions > MostExpressions)
            filter.requestStop();
    });
    Defalt_Functions functions([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
    Equation_Evaluater evaluator(&functions);
    PageHost host(catalogue, filter, evaluator, folder);
    evaluator.setHost(&host);
    return runPage(filter, evaluator, folder, output);
}

struct Report
{
    int status = -1;
    QString text;
};

Report checkReport(const PageRunOutcome& outcome, const QString& folder)
{
    Report report;
    QString errors;
    QTextStream out(&report.text);
    QTextStream err(&errors);
    report.status = reportCheck(outcome, folder, out, err);
    out.flush();
    FUZZ_REQUIRE(errors.isEmpty(), errors);
    return report;
}

Report pageReport(const PageRunOutcome& outcome, const QString& page)
{
    Report report;
    QTextStream err(&report.text);
    report.status = reportPage(outcome, page, err);
    err.flush();
    return report;
}

// The text up to its last line, and that line.
std::pair<QString, QString> splitLastLine(const QString& text)
{
    const qsizetype start = text.lastIndexOf(u'\n', text.size() - 2) + 1;
    return {text.first(start), text.sliced(start)};
}

// Check tells the template warnings page tells, then its error line and a summary where page tells
// the error.
void compareReports(const PageRunOutcome& outcome, const Report& check, const Report& page)
{
    FUZZ_REQUIRE((check.status == CliFailure) == (page.status == CliFailure), check.text + page.text);
    if (outcome.result == PageRunOutcome::Result::Made) {
        const auto [warnings, summary] = splitLastLine(check.text);
        FUZZ_REQUIRE(warnings == page.text && summary.startsWith(u"check: "), check.text + page.text);
        return;
    }
    const auto [checked, summary] = splitLastLine(check.text);
    const auto [warnings, error] = splitLastLine(checked);
    const auto [pageWarnings, pageError] = splitLastLine(page.text);
    FUZZ_REQUIRE(warnings == pageWarnings, check.text + page.text);
    FUZZ_REQUIRE(summary.startsWith(u"check: the run was abandoned: 1 error"), summary);
    if (outcome.result == PageRunOutcome::Result::Stopped)
        return;
    static const QRegularExpression PageError(
        QStringLiteral("^reelkeep-cli: error (\\d+): (.*) \\(([^()]*), line (\\d+)\\)\n$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch told = PageError.match(pageError);
    FUZZ_REQUIRE(told.hasMatch(), pageError);
    const QString asCheckTellsIt =
        QStringLiteral("%1:%2: error %3: %4\n")
            .arg(told.captured(3), told.captured(4), told.captured(1), told.captured(2));
    FUZZ_REQUIRE(error == asCheckTellsIt, error + asCheckTellsIt);
}

bool sameWarnings(const QList<TemplateWarning>& a, const QList<TemplateWarning>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].text() != b[i].text() || a[i].file != b[i].file || a[i].line != b[i].line)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString folder = [] {
        const QString path = QFileInfo(fuzz::scratchFile(QStringLiteral("diagnosed/x"))).absolutePath();
        QDir().mkpath(path);
        return path;
    }();
    const QByteArrayView input(data, qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    fuzz::writeScratchFile(QStringLiteral("diagnosed/") + MainTemplateName,
                           split < 0 ? input : input.first(split));
    fuzz::writeScratchFile(QStringLiteral("diagnosed/part.html"),
                           split < 0 ? QByteArrayView() : input.sliced(split + 1));
    const QString page = fuzz::scratchFile(QStringLiteral("diagnosed-page.html"));
    const PageRunOutcome checked = runTemplates(folder, QProcess::nullDevice());
    const PageRunOutcome paged = runTemplates(folder, page);
    if (checked.result == PageRunOutcome::Result::Abandoned)
        fuzz::requireStandardError(checked.errorNumber);
    FUZZ_REQUIRE(checked.result == paged.result && checked.errorNumber == paged.errorNumber &&
                     checked.cause == paged.cause && checked.where.line == paged.where.line &&
                     checked.where.file == paged.where.file,
                 checked.describe() + QStringLiteral(" <> ") + paged.describe());
    FUZZ_REQUIRE(sameWarnings(checked.templateWarnings, paged.templateWarnings));
    compareReports(paged, checkReport(checked, folder), pageReport(paged, page));
    return 0;
}
