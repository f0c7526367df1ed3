// reelkeep-cli's commands: a table of names, argument counts and handlers.
#include "cli/CliCommands.h"

#include "catalogue/Catalogue.h"
#include "catalogue/CollectionStatistics.h"
#include "cli/ListJson.h"
#include "cli/StopSignals.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/File_Filter.h"
#include "pagegen/PageHost.h"
#include "pagegen/PageRun.h"
#include "storage/ImportedList.h"
#include "storage/InputLimits.h"
#include "storage/ListFile.h"
#include "storage/SheetFile.h"
#include "value/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QProcess>

#include <array>

namespace reelkeep {

namespace {

struct CliCommand
{
    QStringView name;
    /// The number of arguments the command takes; AtLeastOne or AtLeastTwo for that many or more.
    qsizetype argumentCount;
    QStringView usage;
    int (*run)(const QStringList& arguments, const CliStreams& streams);
};

constexpr qsizetype AtLeastOne = -1;
constexpr qsizetype AtLeastTwo = -2;

int fail(QTextStream& err, const QString& what, const QString& reason)
{
    err << "reelkeep-cli: " << what << ": " << reason << '\n';
    return CliFailure;
}

// A list file loaded as its name says, with a warning line for what loads but is not as written.
std::optional<ListDocument> loadList(const QString& path, QTextStream& err, QString* failure)
{
    QString warning;
    std::optional<ListDocument> document = loadListFile(path, ListForm::FromName, failure, &warning);
    if (!warning.isEmpty())
        err << "reelkeep-cli: warning: " << path << " has " << warning << '\n';
    return document;
}

int dump(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& out = streams.out;
    QTextStream& err = streams.err;
    const QString& path = arguments[0];
    QString failure;
    const std::optional<ListDocument> document = loadList(path, err, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(path), failure);
    out << listDocumentToJson(*document);
    return CliSuccess;
}

// Page texts for a native file made from a comma-separated one, as a new main window has them.
void giveDefaultPageTexts(ListDocument& document)
{
    if (!document.pageTitle)
        document.pageTitle = DefaultPageTitle;
    if (!document.pageDescription)
        document.pageDescription = QString();
}

// A warning line for what the form of a list file saved does not keep of the list.
void warnOfWhatIsNotKept(const QString& path, const ListDocument& document, QTextStream& err)
{
    const QString notKept =
        notKeptSentence(path, formFromFileName(path).value_or(ListForm::Native), document);
    if (!notKept.isEmpty())
        err << "reelkeep-cli: warning: " << notKept << '\n';
}

int convert(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& err = streams.err;
    const QString& input = arguments[0];
    const QString& output = arguments[1];
    QString failure;
    std::optional<ListDocument> document = loadList(input, err, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(input), failure);
    giveDefaultPageTexts(*document);
    if (!saveListFile(output, ListForm::FromName, *document, &failure))
        return fail(err, QStringLiteral("cannot save %1").arg(output), failure);
    warnOfWhatIsNotKept(output, *document, err);
    return CliSuccess;
}

// export LIST SHEET: the list as a spreadsheet's file that import reads back.
int exportSheet(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& err = streams.err;
    const QString& list = arguments[0];
    const QString& sheet = arguments[1];
    if (QFileInfo(list) == QFileInfo(sheet))
        return fail(
            err, QStringLiteral("cannot export %1").arg(list), QStringLiteral("it is the list itself"));
    QString failure;
    const std::optional<ListDocument> document = loadList(list, err, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(list), failure);
    QStringList warnings;
    if (!exportSheetFile(sheet, *document, &failure, &warnings))
        return fail(err, QStringLiteral("cannot write %1").arg(sheet), failure);
    for (const QString& warning : warnings)
        err << "reelkeep-cli: warning: " << sheet << ": " << warning << '\n';
    return CliSuccess;
}

// stats LIST: the films counted by genre, type, decade of release and each rating and yes/no field,
// as the window's Statistics shows them.
int stats(const QStringList& arguments, const CliStreams& streams)
{
    const QString& path = arguments[0];
    QString failure;
    const std::optional<ListDocument> document = loadList(path, streams.err, &failure);
    if (!document)
        return fail(streams.err, QStringLiteral("cannot load %1").arg(path), failure);
    streams.out << statisticsText(collectionStatistics(document->films, document->fields));
    return CliSuccess;
}

// Prints the line of one expression. What check would tell of it (a misspelt name) and the error it
// raises, with its cause, go to standard error; false when it raised one.
bool evaluateOne(Equation_Evaluater& evaluator, const QString& expression, const CliStreams& streams)
{
    QStringList findings;
    evaluator.Prepare_Equation(expression, &findings);
    for (const QString& finding : findings)
        streams.err << "reelkeep-cli: warning: " << finding << " in " << expression << '\n';
    std::optional<RuntimeError> raised;
    streams.out << evaluateToLine(evaluator, expression, &raised) << '\n';
    if (!raised)
        return true;
    QString message = errorMessage(raised->number());
    if (!raised->cause().isEmpty())
        message += QStringLiteral(": ") + raised->cause();
    streams.err << "reelkeep-cli: " << expression << ": error " << raised->number() << ": " << message
                << '\n';
    return false;
}

// Outside a page run no host answers: variables are Empty, and so are functions the library does
// not know. Fails when any expression raised an error.
int eval(const QStringList& arguments, const CliStreams& streams)
{
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions);
    bool allEvaluated = true;
    if (arguments == QStringList{QStringLiteral("-")}) {
        QString line;
        while (streams.in.readLineInto(&line))
            allEvaluated = evaluateOne(evaluator, line, streams) && allEvaluated;
    } else {
        for (const QString& expression : arguments)
            allEvaluated = evaluateOne(evaluator, expression, streams) && allEvaluated;
    }
    return allEvaluated ? CliSuccess : CliFailure;
}

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

int showUsage(QTextStream& err);

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

// Reads the arguments (`files` of them besides the options, `quietAllowed` for --quiet) and runs
// the page; a status to return at once when the arguments or the list file fail.
std::optional<int> runPageCommand(const QStringList& arguments,
                                  qsizetype files,
                                  bool quietAllowed,
                                  const CliStreams& streams,
                                  PageCommand& command)
{
    QStringList rest = arguments;
    const qsizetype option = rest.indexOf(QStringLiteral("--template-dir"));
    if (option >= 0) {
        if (option + 1 >= rest.size())
            return showUsage(streams.err);
        command.templateFolder = rest.at(option + 1);
        rest.remove(option, 2);
    }
    if (quietAllowed)
        command.quiet = rest.removeAll(QStringLiteral("--quiet")) > 0;
    if (rest.size() != files)
        return showUsage(streams.err);
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

// page LISTFILE OUTPUT [--template-dir DIR] [--quiet]
int page(const QStringList& arguments, const CliStreams& streams)
{
    PageCommand command;
    if (const std::optional<int> status = runPageCommand(arguments, 2, true, streams, command))
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
    if (const std::optional<int> status = runPageCommand(arguments, 1, false, streams, command))
        return *status;
    if (command.stoppedBy == 0)
        return reportCheck(command.outcome, command.templateFolder, streams.out, streams.err);
    streams.err << "reelkeep-cli: stopped by " << StopSignals::nameOf(command.stoppedBy) << '\n';
    return 128 + command.stoppedBy;
}

// What import was asked: import IN OUT [--replace] [--map COLUMN=FIELD ...].
struct ImportRequest
{
    QString sheet;
    QString list;
    bool replaces = false;
    QStringList choices;
};

std::optional<ImportRequest> importRequest(const QStringList& arguments)
{
    ImportRequest request;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--replace")
            request.replaces = true;
        else if (arguments[i] != u"--map")
            files.append(arguments[i]);
        else if (i + 1 < arguments.size() && arguments[i + 1].contains(u'='))
            request.choices.append(arguments[++i]);
        else
            return std::nullopt;
    }
    if (files.size() != 2)
        return std::nullopt;
    request.sheet = files[0];
    request.list = files[1];
    return request;
}

// The films of the sheet for a list with the given extra fields, each column where its name or a
// --map sends it, or the reason why not.
std::optional<ImportedFilms> importedFilms(const ImportRequest& request,
                                           const ImportAnalysis& analysis,
                                           const ExtraFields& listFields,
                                           QStringList& description,
                                           QString* failure)
{
    const ImportTarget target{listFields, PageHost::answersFilmName};
    ImportMapping mapping = guessMapping(analysis.table, target);
    for (const QString& choice : request.choices) {
        // Field names hold no "=": the last one ends the column's name, or the last "=+" before an
        // extra field's name.
        const qsizetype extra = choice.lastIndexOf(u"=+");
        const qsizetype equals = extra >= 0 ? extra : choice.lastIndexOf(u'=');
        if (!assignColumnByName(
                mapping, analysis.table, choice.first(equals), choice.sliced(equals + 1), target, failure))
            return std::nullopt;
    }
    description = describeImport(analysis, mapping, target);
    return importFilms(analysis, mapping, target, failure);
}

// The list the films are added to: the one in the file, with its form, page texts and encoding,
// or a new one when there is no file or it is to be replaced. A file that does not load as a list
// is no list to add to.
std::optional<ListDocument> importTarget(const ImportRequest& request, QTextStream& err, QString* failure)
{
    if (request.replaces || !QFileInfo::exists(request.list)) {
        ListDocument document;
        giveDefaultPageTexts(document);
        return document;
    }
    QString reason;
    std::optional<ListDocument> document = loadList(request.list, err, &reason);
    if (!document) {
        *failure = QStringLiteral("%1 is not a list that loads (%2); --replace replaces it")
                       .arg(request.list, reason);
    }
    return document;
}

// "2 films added to films.rkf (23 now)", and where the version it replaced is kept.
QString importedSummary(qsizetype added, const ListDocument& list, const QString& path, bool replaced)
{
    QString summary = QStringLiteral("%1 %2 added to %3 (%4 now)")
                          .arg(added)
                          .arg(added == 1 ? QStringLiteral("film") : QStringLiteral("films"), path)
                          .arg(list.films.size());
    if (replaced)
        summary += QStringLiteral("; the version it replaced is kept as %1").arg(previousVersionPath(path));
    return summary;
}

// import IN OUT [--replace] [--map COLUMN=FIELD ...]: the rows of a spreadsheet's file added as
// films to a list file, or to a new one, each column where its name sends it unless a --map says
// otherwise (an empty FIELD leaves the column out, +NAME sends it to an extra field). What went where
// is told on standard error.
int importList(const QStringList& arguments, const CliStreams& streams)
{
    const std::optional<ImportRequest> request = importRequest(arguments);
    if (!request)
        return showUsage(streams.err);
    const QString what = QStringLiteral("cannot import %1").arg(request->sheet);
    if (QFileInfo(request->sheet) == QFileInfo(request->list))
        return fail(streams.err, what, QStringLiteral("it is the list the films would be added to"));
    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImportFile(request->sheet, &failure);
    if (!analysis)
        return fail(streams.err, what, failure);
    std::optional<ListDocument> list = importTarget(*request, streams.err, &failure);
    if (!list)
        return fail(streams.err, what, failure);
    QStringList description;
    std::optional<ImportedFilms> imported =
        importedFilms(*request, *analysis, list->fields, description, &failure);
    if (!imported)
        return fail(streams.err, what, failure);
    const qsizetype added = imported->films.size();
    if (list->films.size() + added > MaxListFilms) {
        return fail(streams.err,
                    what,
                    QStringLiteral("%1 holds %2 films and the sheet %3, more than the 32,767 a list holds")
                        .arg(request->list)
                        .arg(list->films.size())
                        .arg(added));
    }
    list->films.append(std::move(imported->films));
    list->fields = std::move(imported->fields);
    const bool replaces = QFileInfo(request->list).isFile();
    if (!saveListFile(request->list, ListForm::FromName, *list, &failure))
        return fail(streams.err, QStringLiteral("cannot save %1").arg(request->list), failure);
    for (const QString& line : description)
        streams.err << line << '\n';
    warnOfWhatIsNotKept(request->list, *list, streams.err);
    streams.err << importedSummary(added, *list, request->list, replaces) << '\n';
    return CliSuccess;
}

constexpr std::array<CliCommand, 8> Commands = {{
    {u"dump", 1, u"dump FILE", dump},
    {u"stats", 1, u"stats LIST", stats},
    {u"convert", 2, u"convert IN OUT", convert},
    {u"export", 2, u"export LIST SHEET.csv", exportSheet},
    {u"eval", AtLeastOne, u"eval EXPRESSION... | eval -", eval},
    {u"page", AtLeastTwo, u"page LISTFILE OUTPUT [--template-dir DIR] [--quiet]", page},
    {u"check", AtLeastOne, u"check LISTFILE [--template-dir DIR]", check},
    {u"import", AtLeastTwo, u"import IN OUT [--replace] [--map COLUMN=FIELD|COLUMN=+NAME ...]", importList},
}};

int showUsage(QTextStream& err)
{
    for (size_t i = 0; i < Commands.size(); ++i)
        err << (i == 0 ? "usage: " : "       ") << "reelkeep-cli " << Commands[i].usage << '\n';
    return CliUsageError;
}

} // namespace

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

int runCli(const QStringList& arguments, const CliStreams& streams)
{
    if (arguments.isEmpty())
        return showUsage(streams.err);
    for (const CliCommand& command : Commands) {
        if (arguments[0] != command.name)
            continue;
        const qsizetype given = arguments.size() - 1;
        // A negative count asks for at least that many arguments.
        const bool countFits =
            command.argumentCount < 0 ? given >= -command.argumentCount : given == command.argumentCount;
        if (!countFits)
            return showUsage(streams.err);
        return command.run(arguments.mid(1), streams);
    }
    return showUsage(streams.err);
}

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString nothing;
    QTextStream in(&nothing, QIODevice::ReadOnly);
    return runCli(arguments, CliStreams{in, out, err});
}

} // namespace reelkeep
