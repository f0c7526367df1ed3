// Noting SIGINT and SIGTERM in a flag, the one thing a signal handler may safely do here.
#include "cli/StopSignals.h"

#include <array>
#include <csignal>

namespace reelkeep {

namespace {

constexpr std::array<int, 2> StopSignalNumbers{SIGINT, SIGTERM};

volatile std::sig_atomic_t receivedSignal = 0;
std::array<struct sigaction, StopSignalNumbers.size()> previousActions{};

extern "C" void noteStopSignal(int signal)
{
    receivedSignal = signal;
}

} // namespace

StopSignals::StopSignals()
{
    receivedSignal = 0;
    struct sigaction action = {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes that the signal interrupts go on: the run stops at its next look.
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < StopSignalNumbers.size(); ++i)
        sigaction(StopSignalNumbers[i], &action, &previousActions[i]);
}

StopSignals::~StopSignals()
{
    for (size_t i = 0; i < StopSignalNumbers.size(); ++i)
        sigaction(StopSignalNumbers[i], &previousActions[i], nullptr);
}

int StopSignals::received() const
{
    return receivedSignal;
}

QString StopSignals::nameOf(int signal)
{
    return signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM");
}

} // namespace reelkeep
