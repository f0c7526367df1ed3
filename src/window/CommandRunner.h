// The one boundary the main window's commands run through.
#pragma once

#include <functional>
#include <new>

namespace reelkeep {

class DesktopServices;

/// Runs the window's commands so that a lack of memory ends the command, not the program: the
/// window puts back what the command changed, and the user is told. A command run inside another
/// (while a page run yields) leaves that to the outer one.
class CommandRunner
{
public:
    /// What the window does around the outermost command.
    class Window
    {
    public:
        virtual ~Window() = default;
        /// Notes how things stand before the command.
        virtual void noteCommandStart() = 0;
        /// Puts back what the command changed, once it ran out of memory.
        virtual void putBackCommand() = 0;
    };

    CommandRunner(Window& window, DesktopServices& desktop)
        : m_window(window)
        , m_desktop(desktop)
    {}

    void run(const std::function<void()>& command);
    /// Whether a command is running: a change now is the command's, not the user's.
    bool isRunning() const { return m_depth > 0; }

    /// A command as a slot, run by run().
    template <typename Command> auto asCommand(Command command)
    {
        return [this, command] { run(command); };
    }
    /// A slot that Qt calls while a command changes the window: no exception may pass through Qt,
    /// so a lack of memory is noted for the command around it, which then ends as run() ends it.
    template <typename Slot> auto notingLackOfMemory(Slot slot)
    {
        return [this, slot] {
            try {
                slot();
            } catch (const std::bad_alloc&) {
                m_memoryRanOut = true;
            }
        };
    }

private:
    Window& m_window;
    DesktopServices& m_desktop;
    /// How many commands are running, one inside another.
    int m_depth = 0;
    /// A slot ran out of memory during the command running.
    bool m_memoryRanOut = false;
};

} // namespace reelkeep
