// reelkeep-cli's page and check commands.
#pragma once

#include "cli/CliCommands.h"

#include <QStringList>

namespace reelkeep::cli {

/// page LISTFILE OUTPUT [--template-dir DIR] [--quiet]: the page of a list file, its template
/// warnings and what failed on standard error. Returns the exit status.
int page(const QStringList& arguments, const CliStreams& streams);

/// check LISTFILE [--template-dir DIR]: the page run without its page, its template warnings and
/// error on standard output, then a summary. 0 without warnings, 1 with some, 2 when abandoned.
int check(const QStringList& arguments, const CliStreams& streams);

} // namespace reelkeep::cli
