// The one boundary the main window's commands run through.
#include "window/CommandRunner.h"

#include "window/Controls.h"

#include <QScopeGuard>
#include <QString>

namespace reelkeep {

void CommandRunner::run(const std::function<void()>& command)
{
    ++m_depth;
    const auto leave = qScopeGuard([this] { --m_depth; });
    if (m_depth > 1) {
        // Inside another command, which puts back what both changed.
        try {
            command();
        } catch (const std::bad_alloc&) {
            m_memoryRanOut = true;
        }
        return;
    }
    m_memoryRanOut = false;
    try {
        m_window.noteCommandStart();
        try {
            command();
            if (!m_memoryRanOut)
                return;
        } catch (const std::bad_alloc&) {
        }
        m_window.putBackCommand();
        tell(m_desktop,
             QStringLiteral("There was not enough memory for the command, so it was stopped. The list "
                            "and the fields are as they were before it."));
    } catch (const std::bad_alloc&) {
        // Not even the words to say it: the window goes on as it is.
    }
}

} // namespace reelkeep
