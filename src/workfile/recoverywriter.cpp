#include "workfile/recoverywriter.h"

#include "io/files.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// A box ends its paragraphs with U+2029; the copy keeps line breaks as
// '\n'. One character for one, so positions stay as they are.
QString lineBreaksAsNewlines(QString text)
{
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

void RecoveryUpdate::append(RecoveryUpdate &&later)
{
    for (int i = 0; i < kItemCount; ++i) {
        Item &item = items[i];
        Item &next = later.items[i];
        if (next.whole) {
            item = std::move(next);
        } else {
            item.edits += std::move(next.edits);
        }
    }
    answers = std::move(later.answers);
    changed = later.changed;
    nameFile = std::move(later.nameFile);
    fileName = std::move(later.fileName);
}

// The thread that writes the copy. It keeps its own copy of the texts,
// brought up to date by the updates it is handed, and is told the state
// the disk should reach (the copy as it stands, or no copy): only the
// latest such state counts.
class RecoveryWriter::Thread {
public:
    Thread(const QString &folder, const QString &session, Callbacks callbacks)
        : m_callbacks(std::move(callbacks)), m_folder(folder), m_copyPath(RecoveryFolder(folder).copyPath(session)),
          m_lockPath(RecoveryFolder(folder).lockPath(session)), m_thread([this] { run(); })
    {
    }

    ~Thread()
    {
        {
            std::lock_guard guard(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void write(RecoveryUpdate update)
    {
        {
            std::lock_guard guard(m_mutex);
            if (m_update)
                m_update->append(std::move(update));
            else
                m_update = std::move(update);
            m_next = Next::Write;
        }
        m_wake.notify_all();
    }

    void remove()
    {
        {
            std::lock_guard guard(m_mutex);
            m_next = Next::Remove;
        }
        m_wake.notify_all();
    }

    void waitIdle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_next == Next::Nothing && !m_busy; });
    }

private:
    enum class Next { Nothing, Write, Remove };

    void run()
    {
        // Typing comes first: the copy is written when the processor has
        // nothing more urgent to do (on Linux a thread has a nice value of
        // its own).
        ::setpriority(PRIO_PROCESS, ::gettid(), 19);
        m_texts.resize(kItemCount);
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_next != Next::Nothing; });
            if (m_next == Next::Nothing)
                break;   // stopping, with nothing left to do
            const Next next = m_next;
            std::optional<RecoveryUpdate> update = std::move(m_update);
            m_update.reset();
            m_next = Next::Nothing;
            m_busy = true;
            lock.unlock();
            const bool applied = !update || apply(*update);
            if (next == Next::Write && applied)
                writeCopy();
            else if (next == Next::Remove)
                QFile::remove(m_copyPath);
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
        m_lock.reset();   // lets the lock go; an unsaved copy stays behind
    }

    // Brings the texts up to date. An edit that does not fit its text (which
    // the window thread's own count of lengths rules out) leaves that text
    // to be taken whole again, and the copy on disk as it was meanwhile.
    bool apply(RecoveryUpdate &update)
    {
        bool fits = true;
        for (int i = 0; i < kItemCount; ++i) {
            RecoveryUpdate::Item &item = update.items[i];
            QString &text = m_texts[i];
            if (item.whole)
                text = lineBreaksAsNewlines(std::move(*item.whole));
            for (const RecoveryEdit &edit : std::as_const(item.edits)) {
                if (edit.position > text.size() || edit.removed > text.size() - edit.position) {
                    fits = false;
                    const int number = i + 1;
                    const auto resync = m_callbacks.resync;
                    QMetaObject::invokeMethod(m_callbacks.context, [resync, number] { resync(number); },
                                              Qt::QueuedConnection);
                    break;
                }
                text.replace(edit.position, edit.removed, lineBreaksAsNewlines(edit.added));
            }
        }
        m_copy.answers = std::move(update.answers);
        m_copy.changed = update.changed;
        m_copy.nameFile = std::move(update.nameFile);
        m_copy.fileName = std::move(update.fileName);
        return fits;
    }

    void writeCopy()
    {
        QString reason;
        if (!takeLock(&reason)) {
            report(reason);
            return;
        }
        m_copy.responses = m_texts;
        if (!writeFileSafely(m_copyPath, encodeRecoveryCopy(m_copy), &reason))
            report(reason);
    }

    // The lock says that this program runs: taken before the first copy is
    // written, so no other program ever offers a copy that is still in use.
    bool takeLock(QString *reason)
    {
        if (m_lock)
            return true;
        if (m_folder.isEmpty()) {
            *reason = u"No folder for the program's own data was found."_s;
            return false;
        }
        if (!QDir().mkpath(m_folder)) {
            *reason = u"The folder cannot be made."_s;
            return false;
        }
        auto lock = std::make_unique<QLockFile>(m_lockPath);
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            *reason = lock->error() == QLockFile::PermissionError
                ? u"Permission denied."_s
                : u"Its lock file cannot be made."_s;
            return false;
        }
        m_lock = std::move(lock);
        return true;
    }

    void report(const QString &reason)
    {
        const auto failed = m_callbacks.failed;
        const QString folder = m_folder;
        QMetaObject::invokeMethod(
            m_callbacks.context, [failed, folder, reason] { failed(folder, reason); }, Qt::QueuedConnection);
    }

    const Callbacks m_callbacks;
    const QString m_folder;
    const QString m_copyPath;
    const QString m_lockPath;
    // Used by the thread only.
    std::unique_ptr<QLockFile> m_lock;
    QStringList m_texts;     // the responses, line breaks as '\n'
    RecoveryCopy m_copy;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    Next m_next = Next::Nothing;
    std::optional<RecoveryUpdate> m_update;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;   // last: starts once everything else is set
};

RecoveryWriter::RecoveryWriter(const QString &folder, const QString &session, Callbacks callbacks)
    : m_thread(std::make_unique<Thread>(folder, session, std::move(callbacks)))
{
}

RecoveryWriter::~RecoveryWriter() = default;

void RecoveryWriter::write(RecoveryUpdate update)
{
    m_thread->write(std::move(update));
}

void RecoveryWriter::remove()
{
    m_thread->remove();
}

void RecoveryWriter::waitIdle()
{
    m_thread->waitIdle();
}

} // namespace brevant
