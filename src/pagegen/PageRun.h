// One run of the page generator over the main template, as the window and reelkeep-cli start it.
#pragma once

#include "pagegen/File_Filter.h"

#include <QString>

namespace reelkeep {

class Equation_Evaluater;

/// The main template's name in the template folder.
inline const QString MainTemplateName = QStringLiteral("mask.html");

/// How a page run ended.
struct PageRunOutcome
{
    enum class Result
    {
        Made,
        /// The main template does not exist; no page was written.
        TemplateMissing,
        /// A run-time error abandoned the run; the page written so far stays.
        Abandoned,
        /// The user stopped the run; the page written so far stays.
        Stopped,
    };

    Result result = Result::Made;
    int errorNumber = 0;
    QString templatePath;
    TemplatePlace where;
    /// The filter's warnings about the templates it read (File_Filter::warnings).
    QStringList warnings;

    /// "error 9: Subscript out of range (/path/film.html, line 3)" for an abandoned run,
    /// "the page template /path/mask.html is missing", and for a stopped run
    /// "Stopped: the page holds the films written so far."
    QString describe() const;
};

/// Runs the filter over the main template of a template folder into a new page at outputPath.
PageRunOutcome runPage(File_Filter& filter,
                       Equation_Evaluater& evaluator,
                       const QString& templateFolder,
                       const QString& outputPath);

} // namespace reelkeep
