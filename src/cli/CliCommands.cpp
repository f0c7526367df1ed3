// reelkeep-cli's commands: a table of names, argument counts and handlers.
#include "cli/CliCommands.h"

#include "cli/ListJson.h"
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluationLine.h"
#include "storage/ListFile.h"

#include <QIODevice>

#include <array>

namespace reelkeep {

namespace {

struct CliCommand
{
    QStringView name;
    /// The number of arguments the command takes; AtLeastOne for one or more.
    qsizetype argumentCount;
    QStringView usage;
    int (*run)(const QStringList& arguments, const CliStreams& streams);
};

constexpr qsizetype AtLeastOne = -1;

int fail(QTextStream& err, const QString& what, const QString& reason)
{
    err << "reelkeep-cli: " << what << ": " << reason << '\n';
    return CliFailure;
}

int dump(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& out = streams.out;
    QTextStream& err = streams.err;
    const QString& path = arguments[0];
    QString failure;
    const std::optional<ListDocument> document = loadListFile(path, ListForm::FromName, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(path), failure);
    out << listDocumentToJson(*document);
    return CliSuccess;
}

// Page texts for a native file made from a comma-separated one, as a new main window has them.
void giveDefaultPageTexts(ListDocument& document)
{
    if (!document.pageTitle)
        document.pageTitle = QStringLiteral("My Movie");
    if (!document.pageDescription)
        document.pageDescription = QString();
}

int convert(const QStringList& arguments, const CliStreams& streams)
{
    QTextStream& err = streams.err;
    const QString& input = arguments[0];
    const QString& output = arguments[1];
    QString failure;
    std::optional<ListDocument> document = loadListFile(input, ListForm::FromName, &failure);
    if (!document)
        return fail(err, QStringLiteral("cannot load %1").arg(input), failure);
    giveDefaultPageTexts(*document);
    if (!saveListFile(output, ListForm::FromName, *document, &failure))
        return fail(err, QStringLiteral("cannot save %1").arg(output), failure);
    return CliSuccess;
}

// Outside a page run no host answers: variables are Empty, and so are unknown functions.
int eval(const QStringList& arguments, const CliStreams& streams)
{
    Equation_Evaluater evaluator;
    if (arguments == QStringList{QStringLiteral("-")}) {
        QString line;
        while (streams.in.readLineInto(&line))
            streams.out << evaluateToLine(evaluator, line) << '\n';
    } else {
        for (const QString& expression : arguments)
            streams.out << evaluateToLine(evaluator, expression) << '\n';
    }
    return CliSuccess;
}

constexpr std::array<CliCommand, 3> Commands = {{
    {u"dump", 1, u"dump FILE", dump},
    {u"convert", 2, u"convert IN OUT", convert},
    {u"eval", AtLeastOne, u"eval EXPRESSION... | eval -", eval},
}};

int showUsage(QTextStream& err)
{
    for (size_t i = 0; i < Commands.size(); ++i)
        err << (i == 0 ? "usage: " : "       ") << "reelkeep-cli " << Commands[i].usage << '\n';
    return CliUsageError;
}

} // namespace

int runCli(const QStringList& arguments, const CliStreams& streams)
{
    if (arguments.isEmpty())
        return showUsage(streams.err);
    for (const CliCommand& command : Commands) {
        if (arguments[0] != command.name)
            continue;
        const qsizetype given = arguments.size() - 1;
        const bool countFits =
            command.argumentCount == AtLeastOne ? given >= 1 : given == command.argumentCount;
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
