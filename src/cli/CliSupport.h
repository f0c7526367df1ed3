// What the commands of reelkeep-cli share: the line that says why a command failed, a list file
// loaded as its name says, the page texts of a new list, and the usage error.
#pragma once

#include "cli/CliCommands.h"
#include "storage/ListFile.h"

#include <QString>
#include <QTextStream>

#include <optional>

namespace reelkeep::cli {

/// "reelkeep-cli: WHAT: REASON" on err; returns CliFailure.
int fail(QTextStream& err, const QString& what, const QString& reason);

/// A list file loaded as its name says, with a warning line on err for what loads but is not as
/// written; nothing, with failure saying why, when it does not load.
std::optional<ListDocument> loadList(const QString& path, QTextStream& err, QString* failure);

/// Gives a list without page texts (one read from the comma-separated form) those of a new window.
void giveDefaultPageTexts(ListDocument& document);

/// "1 file name", "2 file names": a count and its noun, in the plural past one.
QString counted(qsizetype count, const char* noun);

/// "reelkeep-cli: REASON" and then the usage on err; returns CliUsageError.
int usageError(QTextStream& err, const QString& reason);

} // namespace reelkeep::cli
