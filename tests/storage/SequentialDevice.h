// A device read once from start to end, as a pipe is, whose size is not known beforehand; it can
// fail at its end instead of ending, as a disk may fail part-way through a file.
#pragma once

#include <QIODevice>

#include <cstring>

class SequentialDevice : public QIODevice
{
public:
    enum class AtEnd
    {
        Ends,
        Fails,
    };

    SequentialDevice(QByteArray bytes, AtEnd atEnd)
        : m_bytes(std::move(bytes))
        , m_atEnd(atEnd)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, qint64(m_bytes.size()) - m_position);
        if (count == 0 && m_atEnd == AtEnd::Fails) {
            setErrorString(QStringLiteral("the disk failed"));
            return -1;
        }
        std::memcpy(data, m_bytes.constData() + m_position, size_t(count));
        m_position += count;
        return count;
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    AtEnd m_atEnd;
    qint64 m_position = 0;
};
