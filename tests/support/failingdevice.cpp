#include "failingdevice.h"

namespace brevant::test {

FailingDevice::FailingDevice(qint64 capacity, Failure failure) : m_capacity(capacity), m_failure(failure)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FailingDevice::writeData(const char *data, qint64 size)
{
    if (m_failed)
        ++m_writesAfterFailure;
    const qint64 room = m_capacity - m_taken.size();
    if (size <= room) {
        m_taken.append(data, size);
        return size;
    }
    if (m_failure == Failure::ShortWrite && room > 0 && !m_failed) {
        m_taken.append(data, room);
        m_failed = true;
        return room;
    }
    m_failed = true;
    setErrorString(QStringLiteral("No space left on device"));
    return -1;
}

} // namespace brevant::test
