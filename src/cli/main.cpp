// reelkeep-cli: list files and expressions without the window.
#include "cli/CliCommands.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    in.setEncoding(QStringConverter::Utf8);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const bool errIsTerminal = isatty(fileno(stderr)) != 0;
    return reelkeep::runCli(QCoreApplication::arguments().mid(1),
                            reelkeep::CliStreams{in, out, err, errIsTerminal, true});
}
