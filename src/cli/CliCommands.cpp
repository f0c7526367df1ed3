// reelkeep-cli's commands: a table of names, argument counts and handlers.
#include "cli/CliCommands.h"

#include "cli/ListJson.h"
#include "storage/ListFile.h"

#include <array>

namespace reelkeep {

namespace {

struct CliCommand
{
    QStringView name;
    qsizetype argumentCount;
    QStringView usage;
    int (*run)(const QStringList& arguments, QTextStream& out, QTextStream& err);
};

int fail(QTextStream& err, const QString& what, const QString& reason)
{
    err << "reelkeep-cli: " << what << ": " << reason << '\n';
    return CliFailure;
}

int dump(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
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

int convert(const QStringList& arguments, QTextStream&, QTextStream& err)
{
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

constexpr std::array<CliCommand, 2> Commands = {{
    {u"dump", 1, u"dump FILE", dump},
    {u"convert", 2, u"convert IN OUT", convert},
}};

int showUsage(QTextStream& err)
{
    for (size_t i = 0; i < Commands.size(); ++i)
        err << (i == 0 ? "usage: " : "       ") << "reelkeep-cli " << Commands[i].usage << '\n';
    return CliUsageError;
}

} // namespace

int runCli(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty())
        return showUsage(err);
    for (const CliCommand& command : Commands) {
        if (arguments[0] == command.name) {
            if (arguments.size() - 1 != command.argumentCount)
                return showUsage(err);
            return command.run(arguments.mid(1), out, err);
        }
    }
    return showUsage(err);
}

} // namespace reelkeep
