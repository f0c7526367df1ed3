// reelkeep-cli's commands: a table of names, argument counts and handlers.
#include "cli/CliCommands.h"

#include "about/Version.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CollectionStatistics.h"
#include "cli/CliPage.h"
#include "cli/CliSupport.h"
#include "cli/ListJson.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/PageHost.h"
#include "storage/ImportedList.h"
#include "storage/InputLimits.h"
#include "storage/ListFile.h"
#include "storage/SheetFile.h"
#include "value/RuntimeError.h"

#include <QFileInfo>
#include <QIODevice>

#include <array>

namespace reelkeep {

namespace cli {

int fail(QTextStream& err, const QString& what, const QString& reason)
{
    err << "reelkeep-cli: " << what << ": " << reason << '\n';
    return CliFailure;
}

std::optional<ListDocument> loadList(const QString& path, QTextStream& err, QString* failure)
{
    QString warning;
    std::optional<ListDocument> document = loadListFile(path, ListForm::FromName, failure, &warning);
    if (!warning.isEmpty())
        err << "reelkeep-cli: warning: " << path << " has " << warning << '\n';
    return document;
}

void giveDefaultPageTexts(ListDocument& document)
{
    if (!document.pageTitle)
        document.pageTitle = DefaultPageTitle;
    if (!document.pageDescription)
        document.pageDescription = QString();
}

QString counted(qsizetype count, const char* noun)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(noun),
                                                    QLatin1String(count == 1 ? "" : "s"));
}

} // namespace cli

namespace {

using namespace cli;

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

// Whether two paths name one file that exists. Two paths that name no file are not one file:
// a command whose input is missing says so rather than that it would write over it.
bool sameExistingFile(const QString& first, const QString& second)
{
    const QFileInfo file(first);
    return file.exists() && file == QFileInfo(second);
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

// "; the version it replaced is kept as films.rkf.bak" after a summary, for a file that a command
// replaced.
QString keptVersion(const QString& path, bool replaced)
{
    return replaced ? QStringLiteral("; the version it replaced is kept as %1").arg(previousVersionPath(path))
                    : QString();
}

// export LIST SHEET: the list as a spreadsheet's file that import reads back, keeping the sheet it
// replaces.
int exportSheet(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& err = streams.err;
    const QString& list = arguments[0];
    const QString& sheet = arguments[1];
    if (sameExistingFile(list, sheet))
        return fail(
            err, QStringLiteral("cannot export %1").arg(list), QStringLiteral("it is the list itself"));
    QString failure;
    const std::optional<ListDocument> document = loadList(list, err, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(list), failure);
    QStringList warnings;
    const bool replaces = QFileInfo(sheet).isFile();
    if (!exportSheetFile(sheet, *document, &failure, &warnings))
        return fail(err, QStringLiteral("cannot write %1").arg(sheet), failure);
    for (const QString& warning : warnings)
        err << "reelkeep-cli: warning: " << sheet << ": " << warning << '\n';
    err << list << " exported to " << sheet << keptVersion(sheet, replaces) << '\n';
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

// What import was asked: import IN OUT [--replace] [--map COLUMN=FIELD ...].
struct ImportRequest
{
    QString sheet;
    QString list;
    bool replaces = false;
    QStringList choices;
};

// The request, or nothing with `wrong` saying what is wrong with the arguments.
std::optional<ImportRequest> importRequest(const QStringList& arguments, QString& wrong)
{
    ImportRequest request;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--replace") {
            request.replaces = true;
        } else if (arguments[i] != u"--map") {
            files.append(arguments[i]);
        } else if (i + 1 < arguments.size() && arguments[i + 1].contains(u'=')) {
            request.choices.append(arguments[++i]);
        } else {
            wrong = QStringLiteral("--map takes COLUMN=FIELD, COLUMN=+NAME or COLUMN=");
            return std::nullopt;
        }
    }
    if (files.size() != 2) {
        wrong = QStringLiteral("import takes 2 file names besides its options, not %1").arg(files.size());
        return std::nullopt;
    }
    request.sheet = files[0];
    request.list = files[1];
    return request;
}

// The films of the sheet for a list with the given extra fields, each column where its name or a
// --map sends it, or the reason why not. mapping receives where the columns go.
std::optional<ImportedFilms> importedFilms(const ImportRequest& request,
                                           const ImportAnalysis& analysis,
                                           const ExtraFields& listFields,
                                           ImportMapping& mapping,
                                           QStringList& description,
                                           QString* failure)
{
    const ImportTarget target{listFields, PageHost::answersFilmName};
    mapping = guessMapping(analysis.table, target);
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

// Why a list file's form cannot take what the import would give it (the comma-separated form keeps
// no extra fields), naming the columns and the ways out; the empty text when it can.
QString notKeptByForm(const ImportRequest& request,
                      const ListDocument& list,
                      const DelimitedTable& table,
                      const ImportMapping& mapping)
{
    const QString notKept =
        notKeptSentence(request.list, formFromFileName(request.list).value_or(ListForm::Native), list);
    if (notKept.isEmpty())
        return notKept;
    QStringList columns;
    QStringList leftOut;
    for (qsizetype column = 0; column < mapping.size(); ++column) {
        if (!mapping[column].extra)
            continue;
        columns.append(u'"' + table.columns[column] + u'"');
        leftOut.append(QStringLiteral("--map \"%1=\"").arg(table.columns[column]));
    }
    const bool one = columns.size() == 1;
    return QStringLiteral("%1; %2 %3 would go there. Import into a .rkf list, or leave %4 out with %5")
        .arg(notKept,
             one ? QStringLiteral("the column") : QStringLiteral("the columns"),
             columns.join(QStringLiteral(", ")),
             one ? QStringLiteral("it") : QStringLiteral("them"),
             leftOut.join(u' '));
}

// "2 films added to films.rkf (23 now)", or "2 films imported into films.rkf (replaced)" when a new
// list took its place, and where the version it replaced is kept.
QString importedSummary(qsizetype added, const ListDocument& list, const ImportRequest& request)
{
    const bool replaced = QFileInfo(request.list).isFile();
    const QString films = counted(added, "film");
    const QString summary =
        request.replaces && replaced
            ? QStringLiteral("%1 imported into %2 (replaced)").arg(films, request.list)
            : QStringLiteral("%1 added to %2 (%3 now)").arg(films, request.list).arg(list.films.size());
    return summary + keptVersion(request.list, replaced);
}

// import IN OUT [--replace] [--map COLUMN=FIELD ...]: the rows of a spreadsheet's file added as
// films to a list file, or to a new one, each column where its name sends it unless a --map says
// otherwise (an empty FIELD leaves the column out, +NAME sends it to an extra field). What went where
// is told on standard error.
int importList(const QStringList& arguments, const CliStreams& streams)
{
    QString wrong;
    const std::optional<ImportRequest> request = importRequest(arguments, wrong);
    if (!request)
        return usageError(streams.err, wrong);
    const QString what = QStringLiteral("cannot import %1").arg(request->sheet);
    if (sameExistingFile(request->sheet, request->list))
        return fail(streams.err, what, QStringLiteral("it is the list the films would be added to"));
    QString failure;
    const std::optional<ImportAnalysis> analysis = analyseImportFile(request->sheet, &failure);
    if (!analysis)
        return fail(streams.err, what, failure);
    std::optional<ListDocument> list = importTarget(*request, streams.err, &failure);
    if (!list)
        return fail(streams.err, what, failure);
    ImportMapping mapping;
    QStringList description;
    std::optional<ImportedFilms> imported =
        importedFilms(*request, *analysis, list->fields, mapping, description, &failure);
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
    // Nothing is written that the list's form would lose.
    if (const QString notKept = notKeptByForm(*request, *list, analysis->table, mapping); !notKept.isEmpty())
        return fail(streams.err, what, notKept);
    const QString summary = importedSummary(added, *list, *request);
    if (!saveListFile(request->list, ListForm::FromName, *list, &failure))
        return fail(streams.err, QStringLiteral("cannot save %1").arg(request->list), failure);
    for (const QString& line : description)
        streams.err << line << '\n';
    streams.err << summary << '\n';
    return CliSuccess;
}

constexpr std::array<CliCommand, 8> Commands = {{
    {u"dump", 1, u"dump FILE", dump},
    {u"stats", 1, u"stats LIST", stats},
    {u"convert", 2, u"convert IN OUT", convert},
    {u"export", 2, u"export LIST SHEET.csv", exportSheet},
    {u"eval", AtLeastOne, u"eval EXPRESSION... | eval -", eval},
    {u"page", AtLeastTwo, u"page LISTFILE OUTPUT [--template-dir DIR] [--quiet]", cli::page},
    {u"check", AtLeastOne, u"check LISTFILE [--template-dir DIR]", cli::check},
    {u"import", AtLeastTwo, u"import IN OUT [--replace] [--map COLUMN=FIELD|COLUMN=+NAME ...]", importList},
}};

void writeUsage(QTextStream& stream)
{
    for (size_t i = 0; i < Commands.size(); ++i)
        stream << (i == 0 ? "usage: " : "       ") << "reelkeep-cli " << Commands[i].usage << '\n';
    stream << "       reelkeep-cli --help | -h | --version\n";
}

// What is wrong with the number of arguments given to a command, or the empty text.
QString countProblem(const CliCommand& command, qsizetype given)
{
    // A negative count asks for at least that many arguments.
    const qsizetype wanted = qAbs(command.argumentCount);
    if (command.argumentCount < 0 ? given >= wanted : given == wanted)
        return QString();
    return QStringLiteral("%1 takes %2%3, not %4")
        .arg(command.name, command.argumentCount < 0 ? QStringLiteral("at least ") : QString())
        .arg(counted(wanted, "argument"))
        .arg(given);
}

} // namespace

int cli::usageError(QTextStream& err, const QString& reason)
{
    err << "reelkeep-cli: " << reason << '\n';
    writeUsage(err);
    return CliUsageError;
}

int runCli(const QStringList& arguments, const CliStreams& streams)
{
    if (arguments.isEmpty())
        return usageError(streams.err, QStringLiteral("no command given"));
    if (arguments[0] == u"--help" || arguments[0] == u"-h") {
        writeUsage(streams.out);
        return CliSuccess;
    }
    if (arguments[0] == u"--version") {
        streams.out << "reelkeep-cli " << VersionText << '\n';
        return CliSuccess;
    }
    for (const CliCommand& command : Commands) {
        if (arguments[0] != command.name)
            continue;
        if (const QString problem = countProblem(command, arguments.size() - 1); !problem.isEmpty())
            return usageError(streams.err, problem);
        return command.run(arguments.mid(1), streams);
    }
    return usageError(streams.err, QStringLiteral("no command is called \"%1\"").arg(arguments[0]));
}

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString nothing;
    QTextStream in(&nothing, QIODevice::ReadOnly);
    return runCli(arguments, CliStreams{in, out, err});
}

} // namespace reelkeep
