#include "workfile/recoveryrecorder.h"

#include "workfile/recoverywriter.h"

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// Past this many edits, taking the whole text costs no more than sending
// the edits.
constexpr qsizetype kMaxEdits = 512;

} // namespace

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
    RecoveryUpdate update;
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
    if (!m_writer) {
        RecoveryWriter::Callbacks callbacks{
            this,
            [this](const QString &folder, const QString &reason) { emit writeFailed(folder, reason); },
            [this](int item) { resync(item); }};
        m_writer = std::make_unique<RecoveryWriter>(m_folder, m_session, std::move(callbacks));
    }
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
