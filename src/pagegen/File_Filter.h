// The template filter: copies a template into the page, putting each bracketed expression's text
// in its place, and includes further templates; it also owns the template variables.
#pragma once

#include "pagegen/TemplateVariables.h"
#include "value/RuntimeError.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace reelkeep {

class Equation_Evaluater;
struct RunTemplate;

/// A place in a template: its file and the line on which an expression starts.
struct TemplatePlace
{
    QString file;
    int line = 0;
};

/// Something a template does that its author most likely did not mean, told beside the page:
/// the page holds what the template yields all the same.
struct TemplateWarning
{
    QString file;
    /// The line of the expression's "[".
    int line = 0;
    /// The expression as written, shortened.
    QString expression;
    /// What is wrong, in plain words.
    QString cause;
    /// How many times the run went through the place with this cause.
    qint64 count = 1;

    /// "no function is called "lenght" (did you mean "len"?) in [lenght(list.title)] (x 2,500)"
    QString text() const;
};

/// How a run of the filter ended, and what it met on the way.
struct FilterReport
{
    /// The run-time error that abandoned the run, or None when the page was written to its end.
    ErrorNumber error = ErrorNumber::None;
    /// Where an abandoned run stopped: the innermost template and the expression's line.
    TemplatePlace abandonedAt;
    /// What the author did to raise that error, in words, where the evaluator knows it; else empty.
    QString abandonedCause;
    /// The system's reason when the run could not create its page file, else empty.
    QString pageNotCreated;
    /// The system's reason when the page file took only part of what was written to it (Disk
    /// full, 61) or could not take its name, else empty. The file is then as it was.
    QString pageNotWritten;
    /// The include refused because it is the page's file, else empty: the run ended with
    /// Path/File access error (75) before reading it, and the file is as it was.
    QString pageIncluded;
    /// What the run read but not as written, one line for each template: a UTF-8 run's template
    /// with bytes that are not UTF-8, where the first of them is.
    QStringList warnings;
    /// What the run's templates do that their authors most likely did not mean, one for each
    /// place and cause, in the order the run first came to them.
    QList<TemplateWarning> templateWarnings;
};

class File_Filter
{
public:
    /// Files a run may hold open at once: the template and the page take two, each nested
    /// include one more.
    static constexpr int FileSlots = 255;
    /// How often a run lets the user interface handle its events, by default.
    static constexpr int YieldIntervalMilliseconds = 15;

    File_Filter();
    ~File_Filter();
    File_Filter(const File_Filter&) = delete;
    File_Filter& operator=(const File_Filter&) = delete;

    /// The variables templates keep with setvar and getvar, shared by every run.
    TemplateVariables& variables() { return m_variables; }

    /// Called about every yield interval during a run, so the window repaints and its Stop
    /// button works.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }
    /// The yield interval in milliseconds; 0 yields after every expression and every repetition
    /// of an include.
    void setYieldInterval(int milliseconds) { m_yieldInterval = milliseconds; }
    /// Abandons the run in progress with User interrupt (18) when it next yields.
    void requestStop() { m_stopRequested = true; }
    bool isRunning() const { return m_run != nullptr; }

    /// Runs the filter over a template into a new page, which replaces the file at Output_Path
    /// when the run ends (unless the report's pageIncluded or pageNotWritten say otherwise), and
    /// reports how it went. Templates are read with Windows-1252, or UTF-8 when the main template
    /// declares it; a result character the page's character set cannot hold is written as an HTML
    /// character reference. A run-time error abandons the run and is reported rather than raised:
    /// File not found (53), creating no page, when the template does not exist, Path/File access
    /// error (75) when the page file cannot be created (pageNotCreated says why); every error
    /// leaves the page written so far, with every file closed.
    FilterReport
    Filter_File(const QString& Template_Path, const QString& Output_Path, Equation_Evaluater& Evaluator);

    /// Copies the template file named by Path into the page of the run in progress Count times
    /// (Count Let-coerced to Integer once). A file that does not exist contributes nothing.
    /// Raises Too many files (67) when the includes nest deeper than the file slots allow.
    ///
    /// Each repetition copies the file as it is on disk: a file is read again when it changed
    /// since it was last read. The filter looks at the file at the first repetition after each
    /// yield; nothing else of the program runs between two yields.
    void Include_File(const Value& Path, const Value& Count, Equation_Evaluater& Evaluator);

    /// Whether runs find the template mistakes of their reports' templateWarnings; on by default. The page is
    /// the same either way.
    void setFindsMistakes(bool finds) { m_findsMistakes = finds; }

    /// The folder of the list file the pages are made from, empty for a list without a file
    /// (runPage sets it): addresses of the films' images in a page lead from the page's folder to it.
    void setListFolder(const QString& folder) { m_listFolder = folder; }
    /// The address, from the page the run in progress writes, of the image a film's Source names
    /// (pageImageAddress()). The way from the page's folder to the list's is found once a run.
    QString imageAddress(const QString& source) const;

private:
    struct Run;
    void Copy_Template(RunTemplate& copied, const QString& fileName, Equation_Evaluater& Evaluator);
    void yieldNow();
    /// Counts one more time through the current place with `cause`.
    void warn(const QString& cause);

    TemplateVariables m_variables;
    std::function<void()> m_yield;
    int m_yieldInterval = YieldIntervalMilliseconds;
    bool m_stopRequested = false;
    std::unique_ptr<Run> m_run;
    bool m_findsMistakes = true;
    QString m_listFolder;
};

} // namespace reelkeep
