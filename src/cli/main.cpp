// reelkeep-cli: list files and expressions without the window.
#include "cli/CliCommands.h"
#include "cli/HugePageHeap.h"
#include "storage/ListFile.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdio>
#include <unistd.h>

namespace {

/// reelkeep-cli runs one command and ends. With this on, the process lays its memory out for that:
/// room for a large catalogue at the top of the heap, in huge pages, which the heap never gives
/// back (prepareHugePageHeap), and what the command loaded is left to the system at exit. A
/// catalogue of thousands of films is hundreds of thousands of small blocks: faulting fresh memory
/// in 4 KB pages, and freeing the blocks one by one, each take about as long as reading the list.
constexpr bool LaysMemoryOutForOneCommand = true;

/// The room: about three times the list file's bytes for a loaded catalogue, and the page's own
/// blocks after it, for list files up to 64 MB. A larger catalogue grows the heap as usual.
constexpr std::size_t HeapRoom = std::size_t(256) << 20;

// Keeps what the command loaded reachable until the process ends, when the system takes all its
// memory back at once.
void leaveToTheSystem(reelkeep::ListDocument&& document)
{
    static reelkeep::ListDocument* left = nullptr;
    delete left;
    left = new reelkeep::ListDocument(std::move(document));
}

} // namespace

int main(int argc, char* argv[])
{
    if (LaysMemoryOutForOneCommand)
        reelkeep::prepareHugePageHeap(HeapRoom);
    QCoreApplication application(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    in.setEncoding(QStringConverter::Utf8);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    reelkeep::CliStreams streams{in, out, err, isatty(fileno(stderr)) != 0};
    if (LaysMemoryOutForOneCommand)
        streams.takeLoaded = leaveToTheSystem;
    return reelkeep::runCli(QCoreApplication::arguments().mid(1), streams);
}
