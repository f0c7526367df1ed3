// Running the page generator and describing how the run ended.
#include "pagegen/PageRun.h"

#include "pagegen/FileIdentity.h"
#include "value/RuntimeError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace reelkeep {

QString PageRunOutcome::describe() const
{
    switch (result) {
    case Result::Made:
        return QString();
    case Result::TemplateMissing:
        return QStringLiteral("the page template %1 is missing").arg(QDir::toNativeSeparators(templatePath));
    case Result::Refused:
    case Result::PageNotCreated:
        return reason;
    case Result::Stopped:
        return QStringLiteral("Stopped: the page holds the films written so far.");
    case Result::Abandoned:
        break;
    }
    // The page file failed, not a template: no template place would help.
    if (!reason.isEmpty())
        return QStringLiteral("error %1: %2: %3").arg(errorNumber).arg(errorMessage(errorNumber), reason);
    const QString message = cause.isEmpty() ? errorMessage(errorNumber)
                                            : errorMessage(errorNumber) + QStringLiteral(": ") + cause;
    return QStringLiteral("error %1: %2 (%3, line %4)")
        .arg(errorNumber)
        .arg(message, QDir::toNativeSeparators(where.file))
        .arg(where.line);
}

namespace {

// Links followed to find where a file would be created, as many as the system follows.
constexpr int MaxLinks = 40;

// The path a file has or would have once links and ".." are resolved: an existing file's own,
// else its folder's followed by its name; empty when neither exists.
QString resolvedPath(const QString& path, int links = 0)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    // A link to a file not there yet: writing through it creates the file it points to.
    if (info.isSymLink() && links < MaxLinks)
        return resolvedPath(info.symLinkTarget(), links + 1);
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + info.fileName();
}

// The file below a folder, its subfolders included, that is the file `identity` tells; empty
// when there is none. Links to files are followed, links to folders are not, so that a loop of
// them ends.
QString fileInFolder(const QString& folder, const FileIdentity& identity)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (identityOfFile(path) == identity)
            return path;
    }
    return QString();
}

} // namespace

std::optional<QString>
refusedPageOutput(const QString& outputPath, const QString& templateFolder, const QString& listFile)
{
    const QString shown = QDir::toNativeSeparators(outputPath);
    // An existing file is compared by what it is, whatever names lead to it.
    if (const std::optional<FileIdentity> output = identityOfFile(outputPath)) {
        if (identityOfFile(listFile) == output)
            return QStringLiteral("%1 is the list file the page is made from").arg(shown);
        if (identityOfFile(mainTemplatePath(templateFolder)) == output)
            return QStringLiteral("%1 is the page template").arg(shown);
        const QString file = fileInFolder(templateFolder, *output);
        if (!file.isEmpty())
            return QStringLiteral("%1 is the template %2").arg(shown, QDir::toNativeSeparators(file));
    }
    // A file not there yet is refused where a template may come to be.
    const QString output = resolvedPath(outputPath);
    const QString folder = QFileInfo(templateFolder).canonicalFilePath();
    if (!output.isEmpty() && !folder.isEmpty() &&
        (output == folder || output.startsWith(folder + QLatin1Char('/'))))
        return QStringLiteral("%1 is in the template folder %2")
            .arg(shown, QDir::toNativeSeparators(templateFolder));
    return std::nullopt;
}

PageRunOutcome runPage(File_Filter& filter,
                       Equation_Evaluater& evaluator,
                       const QString& templateFolder,
                       const QString& outputPath,
                       const QString& listFile)
{
    PageRunOutcome outcome;
    outcome.templatePath = mainTemplatePath(templateFolder);
    if (std::optional<QString> refusal = refusedPageOutput(outputPath, templateFolder, listFile)) {
        outcome.result = PageRunOutcome::Result::Refused;
        outcome.reason = std::move(*refusal);
        return outcome;
    }
    if (!QFileInfo(outcome.templatePath).isFile()) {
        outcome.result = PageRunOutcome::Result::TemplateMissing;
        return outcome;
    }
    filter.setListFolder(listFile.isEmpty() ? QString() : QFileInfo(listFile).absolutePath());
    FilterReport report = filter.Filter_File(outcome.templatePath, outputPath, evaluator);
    outcome.warnings = std::move(report.warnings);
    outcome.templateWarnings = std::move(report.templateWarnings);
    if (report.error == ErrorNumber::None)
        return outcome;
    if (!report.pageIncluded.isEmpty()) {
        outcome.result = PageRunOutcome::Result::Refused;
        outcome.reason =
            QStringLiteral("%1 is a file the templates include (%2, line %3)")
                .arg(QDir::toNativeSeparators(outputPath), QDir::toNativeSeparators(report.abandonedAt.file))
                .arg(report.abandonedAt.line);
        return outcome;
    }
    if (!report.pageNotCreated.isEmpty()) {
        outcome.result = PageRunOutcome::Result::PageNotCreated;
        outcome.reason = QStringLiteral("the page file %1 could not be created: %2")
                             .arg(QDir::toNativeSeparators(outputPath), report.pageNotCreated);
        return outcome;
    }
    // Only the filter's stop raises User interrupt: the user asked for it, so it is no fault.
    outcome.result = report.error == ErrorNumber::UserInterrupt ? PageRunOutcome::Result::Stopped
                                                                : PageRunOutcome::Result::Abandoned;
    outcome.errorNumber = static_cast<int>(report.error);
    outcome.where = std::move(report.abandonedAt);
    outcome.cause = std::move(report.abandonedCause);
    if (!report.pageNotWritten.isEmpty())
        outcome.reason = QStringLiteral("the page file %1 could not be written to its end: %2")
                             .arg(QDir::toNativeSeparators(outputPath), report.pageNotWritten);
    return outcome;
}

} // namespace reelkeep
