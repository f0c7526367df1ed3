// reelkeep-cli: list files without the window.
#include "cli/CliCommands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    return reelkeep::runCli(QCoreApplication::arguments().mid(1), out, err);
}
