// The page's file, written on a thread of its own while the page is being made.
#include "pagegen/PageFileWriter.h"

#include "evaluator/value/RuntimeError.h"

#include <system_error>

namespace reelkeep {

PageFileWriter::PageFileWriter(const QString& path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        raise(ErrorNumber::PathFileAccessError);
    try {
        m_thread = std::thread([this] { writeGivenBuffers(); });
    } catch (const std::system_error&) {
        // The system has no thread to spare: the buffers are written as they are given.
    }
}

PageFileWriter::~PageFileWriter()
{
    if (!m_thread.joinable())
        return;
    {
        std::unique_lock lock(m_mutex);
        waitUntilIdle(lock);
        m_closing = true;
    }
    m_given.notify_one();
    m_thread.join();
    m_file.close();
}

bool PageFileWriter::write(std::vector<char>& buffer, qsizetype used)
{
    if (!m_thread.joinable())
        return writeHere(buffer, used);
    std::unique_lock lock(m_mutex);
    if (!waitUntilIdle(lock))
        return false;
    // The thread waits for the next buffer, and touches nothing of the file until it has one.
    if (m_writesHere)
        return writeHere(buffer, used);
    buffer.swap(m_writing);
    buffer.resize(m_writing.size());
    m_writingSize = used;
    m_busy = true;
    lock.unlock();
    m_given.notify_one();
    return true;
}

bool PageFileWriter::writeHere(const std::vector<char>& buffer, qsizetype used)
{
    if (!m_failed)
        m_failed = m_file.write(buffer.data(), used) != used;
    return !m_failed;
}

bool PageFileWriter::finish()
{
    std::unique_lock lock(m_mutex);
    return waitUntilIdle(lock);
}

bool PageFileWriter::waitUntilIdle(std::unique_lock<std::mutex>& lock)
{
    m_written.wait(lock, [this] { return !m_busy; });
    return !m_failed;
}

void PageFileWriter::writeGivenBuffers()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_given.wait(lock, [this] { return m_busy || m_closing; });
        if (!m_busy)
            return;
        if (!m_failed) {
            lock.unlock();
            const bool whole = m_file.write(m_writing.data(), m_writingSize) == m_writingSize;
            lock.lock();
            m_failed = !whole;
        }
        m_busy = false;
        m_written.notify_one();
    }
}

} // namespace reelkeep
