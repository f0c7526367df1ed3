// The commands of reelkeep-cli, kept apart from main() so that tests can run them.
#pragma once

#include <QStringList>
#include <QTextStream>

#include <functional>

namespace reelkeep {

struct ListDocument;
struct PageRunOutcome;

/// The exit statuses of reelkeep-cli.
enum CliStatus
{
    CliSuccess = 0,
    /// The arguments name no command or give it the wrong number of arguments; the usage is shown.
    CliUsageError = 1,
    /// check ran and found template warnings, one line each on standard output.
    CliWarnings = 1,
    /// The command ran and failed; one line "reelkeep-cli: <what failed>: <reason>" says why.
    CliFailure = 2,
};

/// The streams a command reads and writes.
struct CliStreams
{
    QTextStream& in;
    QTextStream& out;
    QTextStream& err;
    /// Standard error is a terminal: a page run shows its label texts and a progress bar there.
    bool errIsTerminal = false;
    /// Takes what a command loaded once the command is done with it; when empty, the command
    /// frees it itself. How long it lives on is the process's choice (main()'s).
    std::function<void(ListDocument&&)> takeLoaded = {};
};

/// What `page` tells of a page run into pagePath on standard error (err): the template warnings,
/// then what failed. Returns its exit status.
int reportPage(const PageRunOutcome& outcome, const QString& pagePath, QTextStream& err);

/// What `check` tells of a page run of the templates in templateFolder: the template warnings,
/// the error and a summary on standard output (out), or on standard error (err) why it could not
/// run. Returns its exit status.
int reportCheck(const PageRunOutcome& outcome,
                const QString& templateFolder,
                QTextStream& out,
                QTextStream& err);

/// Runs one command. arguments are those after the program name; input comes from in, results
/// go to out, the usage and failures to err. Returns the exit status.
int runCli(const QStringList& arguments, const CliStreams& streams);

/// runCli() with nothing to read.
int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace reelkeep
