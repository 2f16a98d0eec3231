#include "workfile/recoveryrecorder.h"

#include "workfile/workfileformat.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// Past this many edits, taking the whole text costs no more than sending
// the edits.
constexpr qsizetype kMaxEdits = 512;

// A box ends its paragraphs with U+2029; the copy keeps line breaks as
// '\n'. One character for one, so positions stay as they are.
QString lineBreaksAsNewlines(QString text)
{
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

// What the window thread hands the writing thread at one write.
struct RecoveryRecorder::Update {
    struct Item {
        std::optional<QString> whole;   // the box's whole text, then
        QList<Edit> edits;              // the edits since
    };
    std::array<Item, kItemCount> items;
    QStringList answers;
    QDateTime changed;
    QString nameFile;
    QString fileName;

    // This update followed by a later one.
    void append(Update &&later)
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
};

// The thread that writes the copy. It keeps its own copy of the texts,
// brought up to date by the updates it is handed, and is told the state
// the disk should reach (the copy as it stands, or no copy): only the
// latest such state counts.
class RecoveryRecorder::Writer {
public:
    Writer(RecoveryRecorder *owner, const QString &folder, const QString &session)
        : m_owner(owner), m_folder(folder), m_copyPath(RecoveryFolder(folder).copyPath(session)),
          m_lockPath(RecoveryFolder(folder).lockPath(session)), m_thread([this] { run(); })
    {
    }

    ~Writer()
    {
        {
            std::lock_guard guard(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void write(Update update)
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
            std::optional<Update> update = std::move(m_update);
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
    bool apply(Update &update)
    {
        bool fits = true;
        for (int i = 0; i < kItemCount; ++i) {
            Update::Item &item = update.items[i];
            QString &text = m_texts[i];
            if (item.whole)
                text = lineBreaksAsNewlines(std::move(*item.whole));
            for (const Edit &edit : std::as_const(item.edits)) {
                if (edit.position > text.size() || edit.removed > text.size() - edit.position) {
                    fits = false;
                    const int number = i + 1;
                    RecoveryRecorder *owner = m_owner;
                    QMetaObject::invokeMethod(owner, [owner, number] { owner->resync(number); },
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
        RecoveryRecorder *owner = m_owner;
        const QString folder = m_folder;
        QMetaObject::invokeMethod(
            owner, [owner, folder, reason] { emit owner->writeFailed(folder, reason); },
            Qt::QueuedConnection);
    }

    RecoveryRecorder *const m_owner;
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
    std::optional<Update> m_update;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;   // last: starts once everything else is set
};

RecoveryRecorder::RecoveryRecorder(const QString &folder, Source source, QObject *parent)
    : QObject(parent), m_folder(folder), m_session(RecoveryFolder::newSession()),
      m_source(std::move(source))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryRecorder::timeout);
}

RecoveryRecorder::~RecoveryRecorder()
{
    flush();
    m_writer.reset();
}

QString RecoveryRecorder::copyPath() const
{
    return RecoveryFolder(m_folder).copyPath(m_session);
}

void RecoveryRecorder::setDelays(int idleMs, int maxMs)
{
    m_idleMs = idleMs;
    m_maxMs = maxMs;
}

void RecoveryRecorder::responseEdited(int item, qsizetype position, qsizetype removed,
                                      const std::optional<QString> &added, qsizetype length)
{
    Pending &p = m_items.at(item - 1);
    if (!p.whole) {
        // Lengths are counted here as the writing thread will count them;
        // where they disagree with the box, the box's whole text is taken.
        if (!added || added->size() > kMaxEditLength || position > p.length
            || p.edits.size() >= kMaxEdits) {
            p.whole = true;
        } else {
            const qsizetype cut = std::min(removed, p.length - position);
            p.length += added->size() - cut;
            if (p.length == length)
                p.edits.append({position, cut, *added});
            else
                p.whole = true;
        }
        if (p.whole)
            p.edits.clear();
    }
    m_unsaved = true;
    changed();
}

void RecoveryRecorder::responseChanged(int item)
{
    boxMade(item);
    m_unsaved = true;
    changed();
}

void RecoveryRecorder::boxMade(int item)
{
    Pending &p = m_items.at(item - 1);
    p.whole = true;
    p.edits.clear();
}

void RecoveryRecorder::resync(int item)
{
    responseChanged(item);
}

void RecoveryRecorder::answerChanged()
{
    // Answers are kept with the responses, but are never in a work file:
    // changing one alone leaves nothing unsaved to offer.
    if (m_unsaved)
        changed();
}

void RecoveryRecorder::changed()
{
    m_changed = QDateTime::currentDateTimeUtc();
    m_sinceLastChange.start();
    if (m_pending)
        return;
    m_pending = true;
    m_sinceFirstPending.start();
    m_timer.start(m_idleMs);
}

void RecoveryRecorder::timeout()
{
    const qint64 idle = m_idleMs - m_sinceLastChange.elapsed();
    const qint64 wait = std::min(idle, m_maxMs - m_sinceFirstPending.elapsed());
    if (wait > 0)
        m_timer.start(int(wait));
    else
        writeNow(idle > 0 ? Take::Edits : Take::WholeTexts);
}

void RecoveryRecorder::writeNow(Take take)
{
    m_timer.stop();
    m_pending = false;
    if (!m_unsaved)
        return;
    Update update;
    for (int i = 0; i < kItemCount; ++i) {
        Pending &p = m_items[i];
        if (take == Take::WholeTexts && !p.edits.isEmpty())
            p.whole = true;
        if (p.whole) {
            QString text = m_source.response(i + 1);
            p.length = text.size();
            update.items[i].whole = std::move(text);
        } else {
            update.items[i].edits = std::move(p.edits);
        }
        p.whole = false;
        p.edits.clear();
    }
    update.answers = m_source.answers();
    update.changed = m_changed;
    std::tie(update.nameFile, update.fileName) = m_source.workFiles();
    if (!m_writer)
        m_writer = std::make_unique<Writer>(this, m_folder, m_session);
    m_writer->write(std::move(update));
}

void RecoveryRecorder::markClean()
{
    m_unsaved = false;
    m_pending = false;
    m_timer.stop();
    if (m_writer)
        m_writer->remove();
}

void RecoveryRecorder::flush()
{
    if (m_pending)
        writeNow(Take::WholeTexts);
    if (m_writer)
        m_writer->waitIdle();
}

} // namespace brevant
