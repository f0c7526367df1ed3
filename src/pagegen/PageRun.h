// One run of the page generator over the main template, as the window and reelkeep-cli start it.
#pragma once

#include "pagegen/File_Filter.h"

#include <QString>

#include <optional>

namespace reelkeep {

class Equation_Evaluater;

/// The main template's name in the template folder.
inline const QString MainTemplateName = QStringLiteral("mask.html");

/// The template folder of a program in applicationFolder: "template" beside the program.
inline QString templateFolderOf(const QString& applicationFolder)
{
    return applicationFolder + QStringLiteral("/template");
}

/// The main template's path in a template folder.
inline QString mainTemplatePath(const QString& templateFolder)
{
    return templateFolder + QLatin1Char('/') + MainTemplateName;
}

/// How a page run ended.
struct PageRunOutcome
{
    enum class Result
    {
        Made,
        /// The main template does not exist; no page was written.
        TemplateMissing,
        /// The page would replace the list file or a template; its file is as it was.
        Refused,
        /// The page file could not be created; nothing was written.
        PageNotCreated,
        /// A run-time error abandoned the run; the page written so far stays.
        Abandoned,
        /// The user stopped the run; the page written so far stays.
        Stopped,
    };

    Result result = Result::Made;
    int errorNumber = 0;
    QString templatePath;
    TemplatePlace where;
    /// The filter's warnings about the templates it read (FilterReport::warnings).
    QStringList warnings;
    /// Why the run was refused, or the page file could not be created or written to its end, in
    /// words for the user.
    QString reason;
    /// What the templates do that their authors most likely did not mean
    /// (FilterReport::templateWarnings), for as far as the run went.
    QList<TemplateWarning> templateWarnings;
    /// What the author did to raise the error that abandoned the run, where the evaluator knows.
    QString cause;

    /// "error 9: Subscript out of range (/path/film.html, line 3)" for an abandoned run, with the
    /// cause after the message when it is known ("error 9: Subscript out of range: the operator
    /// "+" has nothing on its right (is a "]" or an argument missing?) (/path/film.html, line 3)"),
    /// or the page file instead of the place when writing it failed ("error 61: Disk full: the
    /// page file /path/page.html could not be written to its end: No space left on device");
    /// "the page template /path/mask.html is missing", the reason of a refused run or of a page
    /// file that could not be created, and for a stopped run
    /// "Stopped: the page holds the films written so far."
    QString describe() const;
};

/// Why a page may not be written at outputPath, or nothing when it may: the path leads to the
/// list file the page is made from (listFile, empty for none), the main template or any file below
/// the template folder, through whatever names (hard links, symbolic links, ".."), or it would
/// create a file below the template folder. Writing there would destroy the user's own file.
std::optional<QString>
refusedPageOutput(const QString& outputPath, const QString& templateFolder, const QString& listFile);

/// Runs the filter over the main template of a template folder into a new page at outputPath,
/// unless refusedPageOutput() refuses the path: then nothing is opened or written. A template
/// included from anywhere that is the page's file is refused too, before it is read: the page
/// replaces its file only when the run ends, so the file is as it was.
PageRunOutcome runPage(File_Filter& filter,
                       Equation_Evaluater& evaluator,
                       const QString& templateFolder,
                       const QString& outputPath,
                       const QString& listFile = QString());

} // namespace reelkeep
