#pragma once

#include <QByteArray>
#include <QIODevice>

namespace brevant::test {

// A device that takes a given number of bytes and then fails, as a full
// disk does: open for writing from the start. What it took is kept.
class FailingDevice : public QIODevice {
public:
    enum class Failure {
        Error,       // the write that does not fit takes nothing and fails
        ShortWrite,  // it takes what still fits and says so; the next one fails
    };

    explicit FailingDevice(qint64 capacity, Failure failure = Failure::Error);

    const QByteArray &taken() const { return m_taken; }
    // The writes after the first that failed or fell short: a writer
    // should stop there.
    int writesAfterFailure() const { return m_writesAfterFailure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    qint64 m_capacity;
    Failure m_failure;
    QByteArray m_taken;
    bool m_failed = false;
    int m_writesAfterFailure = 0;
};

} // namespace brevant::test
