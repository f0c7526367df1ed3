// A window that moves forward along the bytes of a list file, so that a reader holds only the part
// it is reading rather than the whole file.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace reelkeep {

class ByteWindow
{
public:
    /// The pieces in which a file is read: large enough that reading them costs little, small
    /// enough to stay in the processor's cache while they are decoded.
    static constexpr qsizetype FilePiece = 64 * 1024;

    /// A window on bytes in memory, showing all of them at once.
    explicit ByteWindow(QByteArrayView bytes);

    /// A window on what is left to read of an open device, read in pieces of the given size. A
    /// device with more than `limit` bytes (a negative limit for none) is read no further: its
    /// data ends there, and failure() says the file is too large.
    ByteWindow(QIODevice& device, qsizetype piece, qsizetype limit = -1);

    /// The bytes in view.
    QByteArrayView bytes() const { return m_view; }

    /// Whether the bytes in view run to the end of the data.
    bool atDataEnd() const { return m_atDataEnd; }

    /// How many bytes of the data come before those in view.
    qsizetype offset() const { return m_offset; }

    /// The size of all the data when it is known beforehand, or -1.
    qsizetype expectedSize() const { return m_expectedSize; }

    /// Drops the bytes in view before position from and reads more after the last: a piece, or as
    /// many as are kept when that is more, fewer only at the end of the data. Positions in view
    /// then count from the byte that was at from. Only for a window not at the end of the data.
    void moveOn(qsizetype from);

    /// Reads the rest of the data and drops it, so that a device that cannot be read to its end
    /// says so even when a reader needs none of the rest.
    void readToEnd();

    /// Why the device could not be read, or the empty text while it could.
    const QString& failure() const { return m_failure; }

private:
    QIODevice* m_device = nullptr;
    qsizetype m_piece = 0;
    qsizetype m_limit = -1;
    QByteArray m_buffer;
    QByteArrayView m_view;
    qsizetype m_offset = 0;
    qsizetype m_expectedSize = -1;
    bool m_atDataEnd = true;
    QString m_failure;
};

} // namespace reelkeep
