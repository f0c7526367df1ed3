// The page's file, written on a thread of its own while the page is being made.
#pragma once

#include <QFile>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace reelkeep {

/// Writes full buffers of a page to its file on a thread of its own, so that making the next
/// buffer and the system's copying of the last one into the file overlap. Buffers are written
/// whole and in the order given; after a buffer the file took only in part, nothing more is
/// written, so the page never has a gap in the middle. When the system cannot start the thread,
/// each buffer is written as it is given.
class PageFileWriter
{
public:
    /// Creates or empties the file. Raises Path/File access error (75) when it cannot.
    explicit PageFileWriter(const QString& path);
    /// Writes what it was given and closes the file.
    ~PageFileWriter();
    PageFileWriter(const PageFileWriter&) = delete;
    PageFileWriter& operator=(const PageFileWriter&) = delete;

    /// Gives the first `used` bytes of buffer to be written, and puts a buffer of the same size
    /// in its place. Returns false when the file took an earlier buffer only in part.
    bool write(std::vector<char>& buffer, qsizetype used);
    /// While set, buffers are written on the caller's thread, after those given before: while
    /// other threads render the page on every processor, a thread that writes only takes time
    /// from them, and the caller has time to spare.
    void setWritesHere(bool here) { m_writesHere = here; }
    bool writesHere() const { return m_writesHere; }
    /// Waits until every buffer given is written. Returns false when one was not written whole.
    bool finish();

private:
    /// Waits until the thread has nothing to write; returns whether everything so far was written.
    bool waitUntilIdle(std::unique_lock<std::mutex>& lock);
    /// Writes a buffer on the caller's thread, unless an earlier one was not written whole.
    bool writeHere(const std::vector<char>& buffer, qsizetype used);
    void writeGivenBuffers();

    QFile m_file;
    std::mutex m_mutex;
    std::condition_variable m_given;
    std::condition_variable m_written;
    /// The buffer the thread writes, its size, and whether it has one.
    std::vector<char> m_writing;
    qsizetype m_writingSize = 0;
    bool m_busy = false;
    bool m_failed = false;
    bool m_closing = false;
    /// The caller's own: whether it writes its buffers itself.
    bool m_writesHere = false;
    std::thread m_thread;
};

} // namespace reelkeep
