// reelkeep-cli's page and check: the page of a list file made as the window makes it, and what
// either tells of the run.
#include "cli/CliPage.h"

#include "cli/CliSupport.h"
#include "cli/StopSignals.h"
#include "evaluator/Equation_Evaluater.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"
#include "storage/ListFile.h"
#include "value/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace reelkeep {

using namespace cli;

namespace {

// The page's films and texts from a list file; progress and label shown on a terminal.
class CliPageContext : public PageContext
{
public:
    CliPageContext(const ListDocument& document, QTextStream& err, bool showProgress)
        : m_document(document)
        , m_err(err)
        , m_showProgress(showProgress)
    {}

    ~CliPageContext() override
    {
        if (m_barShown)
            m_err << '\n';
    }

    const QList<FilmRecord>& films() const override { return m_document.films; }
    const ExtraFields& extraFields() const override { return m_document.fields; }
    QString pageTitle() const override { return m_document.pageTitle.value_or(QString()); }
    QString pageDescription() const override { return m_document.pageDescription.value_or(QString()); }

    void setProgress(float position) override
    {
        const int percent = qRound(position);
        if (!m_showProgress || percent == m_percent)
            return;
        m_percent = percent;
        constexpr int Width = 40;
        const int filled = percent * Width / 100;
        m_err << "\r[" << QString(filled, u'#') << QString(Width - filled, u' ') << "] " << percent << '%';
        m_err.flush();
        m_barShown = true;
    }

    void setLabel(const QString& text) override
    {
        if (!m_showProgress)
            return;
        m_err << (m_barShown ? "\r\x1b[K" : "") << text << '\n';
        m_err.flush();
        m_barShown = false;
        m_percent = -1;
    }

private:
    const ListDocument& m_document;
    QTextStream& m_err;
    bool m_showProgress;
    bool m_barShown = false;
    int m_percent = -1;
};

// The page of a catalogue, made by the same filter, library and host as the window's.
PageRunOutcome makePage(const ListDocument& document,
                        const QString& templateFolder,
                        const QString& listFile,
                        const QString& outputPath,
                        const CliStreams& streams,
                        const StopSignals& stopSignals,
                        bool findMistakes)
{
    CliPageContext context(document, streams.err, streams.errIsTerminal);
    File_Filter filter;
    filter.setFindsMistakes(findMistakes);
    // SIGINT and SIGTERM stop the run as the window's Stop does, at its next yield.
    filter.setYield([&] {
        if (stopSignals.received() != 0)
            filter.requestStop();
    });
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions);
    PageHost host(context, filter, evaluator, templateFolder);
    evaluator.setHost(&host);
    return runPage(filter, evaluator, templateFolder, outputPath, listFile);
}

// The shell's status for a process that a signal ended, 128 and the signal's number, after one
// line that says the page stopped short.
int stoppedBySignal(QTextStream& err, int signal, const QString& pagePath)
{
    err << "reelkeep-cli: stopped by " << StopSignals::nameOf(signal) << ": the page " << pagePath
        << " is partial, it holds what was written before the stop\n";
    return 128 + signal;
}

// "FILE:LINE: warning: TEXT", one line for each of the run's template warnings.
void writeTemplateWarnings(QTextStream& stream, const PageRunOutcome& outcome)
{
    for (const TemplateWarning& warning : outcome.templateWarnings)
        stream << QDir::toNativeSeparators(warning.file) << ':' << warning.line
               << ": warning: " << warning.text() << '\n';
}

// What page and check share: LISTFILE [OUTPUT] [--template-dir DIR] [--quiet], the list loaded
// and the page run.
struct PageCommand
{
    QString listFile;
    QString output;
    QString templateFolder = templateFolderOf(QCoreApplication::applicationDirPath());
    bool quiet = false;
    PageRunOutcome outcome;
    int stoppedBy = 0;
};

// Reads the arguments of the command `name` (`files` of them besides the options, `quietAllowed` for
// --quiet) and runs the page; a status to return at once when the arguments or the list file fail.
std::optional<int> runPageCommand(QStringView name,
                                  const QStringList& arguments,
                                  qsizetype files,
                                  bool quietAllowed,
                                  const CliStreams& streams,
                                  PageCommand& command)
{
    QStringList rest = arguments;
    const qsizetype option = rest.indexOf(QStringLiteral("--template-dir"));
    if (option >= 0) {
        if (option + 1 >= rest.size())
            return usageError(streams.err, QStringLiteral("--template-dir needs a folder"));
        command.templateFolder = rest.at(option + 1);
        rest.remove(option, 2);
    }
    if (quietAllowed)
        command.quiet = rest.removeAll(QStringLiteral("--quiet")) > 0;
    if (rest.size() != files)
        return usageError(streams.err,
                          QStringLiteral("%1 takes %2 besides its options, not %3")
                              .arg(name, counted(files, "file name"), QString::number(rest.size())));
    command.listFile = rest[0];
    // A check writes its page nowhere.
    command.output = files == 2 ? rest[1] : QProcess::nullDevice();
    QString failure;
    std::optional<ListDocument> document = loadList(command.listFile, streams.err, &failure);
    if (!document)
        return fail(streams.err, QStringLiteral("cannot load %1").arg(command.listFile), failure);
    giveDefaultPageTexts(*document);
    const StopSignals stopSignals;
    command.outcome = makePage(*document,
                               command.templateFolder,
                               command.listFile,
                               command.output,
                               streams,
                               stopSignals,
                               !command.quiet);
    if (command.outcome.result == PageRunOutcome::Result::Stopped)
        command.stoppedBy = stopSignals.received();
    if (streams.takeLoaded)
        streams.takeLoaded(std::move(*document));
    for (const QString& warning : command.outcome.warnings)
        streams.err << "reelkeep-cli: warning: " << warning << '\n';
    return std::nullopt;
}

} // namespace

namespace cli {

// page LISTFILE OUTPUT [--template-dir DIR] [--quiet]
int page(const QStringList& arguments, const CliStreams& streams)
{
    PageCommand command;
    if (const std::optional<int> status = runPageCommand(u"page", arguments, 2, true, streams, command))
        return *status;
    if (command.stoppedBy == 0)
        return reportPage(command.outcome, command.output, streams.err);
    writeTemplateWarnings(streams.err, command.outcome);
    return stoppedBySignal(streams.err, command.stoppedBy, command.output);
}

// check LISTFILE [--template-dir DIR]: the page run without its page, its template warnings and
// error on standard output, then a summary. 0 without warnings, 1 with some, 2 when abandoned.
int check(const QStringList& arguments, const CliStreams& streams)
{
    PageCommand command;
    if (const std::optional<int> status = runPageCommand(u"check", arguments, 1, false, streams, command))
        return *status;
    if (command.stoppedBy == 0)
        return reportCheck(command.outcome, command.templateFolder, streams.out, streams.err);
    streams.err << "reelkeep-cli: stopped by " << StopSignals::nameOf(command.stoppedBy) << '\n';
    return 128 + command.stoppedBy;
}

} // namespace cli

int reportPage(const PageRunOutcome& outcome, const QString& pagePath, QTextStream& err)
{
    writeTemplateWarnings(err, outcome);
    switch (outcome.result) {
    case PageRunOutcome::Result::Made:
        return CliSuccess;
    case PageRunOutcome::Result::TemplateMissing:
    case PageRunOutcome::Result::Refused:
    case PageRunOutcome::Result::PageNotCreated:
        return fail(err, QStringLiteral("cannot make %1").arg(pagePath), outcome.describe());
    case PageRunOutcome::Result::Abandoned:
    case PageRunOutcome::Result::Stopped:
        break;
    }
    err << "reelkeep-cli: " << outcome.describe() << '\n';
    return CliFailure;
}

int reportCheck(const PageRunOutcome& outcome,
                const QString& templateFolder,
                QTextStream& out,
                QTextStream& err)
{
    switch (outcome.result) {
    case PageRunOutcome::Result::Made:
    case PageRunOutcome::Result::Abandoned:
    case PageRunOutcome::Result::Stopped:
        break;
    case PageRunOutcome::Result::TemplateMissing:
    case PageRunOutcome::Result::Refused:
    case PageRunOutcome::Result::PageNotCreated:
        return fail(err, QStringLiteral("cannot check %1").arg(templateFolder), outcome.describe());
    }
    writeTemplateWarnings(out, outcome);
    const qsizetype warnings = outcome.templateWarnings.size() + outcome.warnings.size();
    const QString counted =
        warnings == 1 ? QStringLiteral("1 warning") : QStringLiteral("%1 warnings").arg(warnings);
    if (outcome.result == PageRunOutcome::Result::Made) {
        out << "check: " << (warnings == 0 ? QStringLiteral("no warnings") : counted) << '\n';
        return warnings == 0 ? CliSuccess : CliWarnings;
    }
    QString message = errorMessage(outcome.errorNumber);
    if (!outcome.cause.isEmpty())
        message += QStringLiteral(": ") + outcome.cause;
    out << QDir::toNativeSeparators(outcome.where.file) << ':' << outcome.where.line << ": error "
        << outcome.errorNumber << ": " << message << '\n';
    out << "check: the run was abandoned: 1 error, " << counted << '\n';
    return CliFailure;
}

} // namespace reelkeep
