// Reading a device a piece at a time into one buffer that the pieces share.
#include "storage/ByteWindow.h"

#include "storage/InputLimits.h"

#include <QIODevice>

#include <cstring>

namespace reelkeep {

ByteWindow::ByteWindow(QByteArrayView bytes)
    : m_view(bytes)
    , m_expectedSize(bytes.size())
{}

ByteWindow::ByteWindow(QIODevice& device, qsizetype piece, qsizetype limit)
    : m_device(&device)
    , m_piece(piece)
    , m_limit(limit)
    , m_atDataEnd(false)
{
    Q_ASSERT(piece > 0);
    if (!device.isSequential())
        m_expectedSize = device.size() - device.pos();
    moveOn(0);
}

void ByteWindow::moveOn(qsizetype from)
{
    // What is kept moves to the front of the buffer. At least a piece is read after it, and as
    // much as is kept when that is more, so that a long field is read again only a few times.
    const qsizetype kept = m_view.size() - from;
    if (kept > 0)
        std::memmove(m_buffer.data(), m_view.data() + from, size_t(kept));
    const qsizetype wanted = qMax(m_piece, kept);
    m_buffer.resize(kept + wanted);
    qsizetype got = 0;
    while (got < wanted) {
        const qint64 read = m_device->read(m_buffer.data() + kept + got, wanted - got);
        if (read < 0)
            m_failure = m_device->errorString();
        if (read <= 0) {
            m_atDataEnd = true;
            break;
        }
        got += read;
    }
    m_buffer.truncate(kept + got);
    m_view = m_buffer;
    m_offset += from;
    if (m_limit >= 0 && m_offset + m_view.size() > m_limit) {
        m_failure = fileTooLargeFailure(m_limit);
        m_atDataEnd = true;
    }
}

void ByteWindow::readToEnd()
{
    while (!m_atDataEnd)
        moveOn(m_view.size());
}

} // namespace reelkeep
