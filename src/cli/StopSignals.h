// SIGINT and SIGTERM as a request to stop, for as long as a command wants to end in order rather
// than be ended where it stands.
#pragma once

#include <QString>

namespace reelkeep {

/// While one lives, SIGINT and SIGTERM do not end the process: the handler only notes the signal,
/// which the command reads at its next look (received()) and stops at. The handlers before it come
/// back when it goes. One at a time.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// The last of the two signals received since it was made, or 0 for none.
    int received() const;

    /// "SIGINT" or "SIGTERM".
    static QString nameOf(int signal);
};

} // namespace reelkeep
