// Running the page generator and describing how the run ended.
#include "pagegen/PageRun.h"

#include "evaluator/value/RuntimeError.h"

#include <QDir>
#include <QFileInfo>

namespace reelkeep {

QString PageRunOutcome::describe() const
{
    switch (result) {
    case Result::Made:
        return QString();
    case Result::TemplateMissing:
        return QStringLiteral("the page template %1 is missing").arg(QDir::toNativeSeparators(templatePath));
    case Result::Stopped:
        return QStringLiteral("Stopped: the page holds the films written so far.");
    case Result::Abandoned:
        break;
    }
    return QStringLiteral("error %1: %2 (%3, line %4)")
        .arg(errorNumber)
        .arg(errorMessage(errorNumber), QDir::toNativeSeparators(where.file))
        .arg(where.line);
}

PageRunOutcome runPage(File_Filter& filter,
                       Equation_Evaluater& evaluator,
                       const QString& templateFolder,
                       const QString& outputPath)
{
    PageRunOutcome outcome;
    outcome.templatePath = templateFolder + QLatin1Char('/') + MainTemplateName;
    if (!QFileInfo(outcome.templatePath).isFile()) {
        outcome.result = PageRunOutcome::Result::TemplateMissing;
        return outcome;
    }
    try {
        filter.Filter_File(outcome.templatePath, outputPath, evaluator);
    } catch (const RuntimeError& error) {
        // Only the filter's stop raises User interrupt: the user asked for it, so it is no fault.
        outcome.result = error.errorNumber() == ErrorNumber::UserInterrupt
                             ? PageRunOutcome::Result::Stopped
                             : PageRunOutcome::Result::Abandoned;
        outcome.errorNumber = error.number();
        outcome.where = filter.abandonedAt();
    }
    outcome.warnings = filter.warnings();
    return outcome;
}

} // namespace reelkeep
