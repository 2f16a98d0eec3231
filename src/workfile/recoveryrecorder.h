#pragma once

#include "core/catalogue.h"
#include "workfile/recoveryfile.h"
#include "workfile/recoverywriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace brevant {

// Keeps the recovery copy of this program up to date while the user types:
// a change is on disk within about a second, also while typing goes on.
//
// Writing never stalls typing. The copy is encoded and written on a thread
// of its own, which keeps its own copy of every response. While typing goes
// on, the window thread only hands it the edits made since the last write
// (a few characters each); when typing pauses, and before the program
// ends, it takes the whole texts of the boxes that changed, so that the
// copy is checked against the boxes themselves.
class RecoveryRecorder : public QObject {
    Q_OBJECT
public:
    // Where the texts come from, on the window thread.
    struct Source {
        // The text of response item (1..27) as its box holds it (paragraph
        // ends as U+2029); empty for a box that does not exist yet.
        std::function<QString(int item)> response;
        // The 16 answers in catalogue order.
        std::function<QStringList()> answers;
        // Name_File and FileName of the work-file state.
        std::function<std::pair<QString, QString>()> workFiles;
    };

    // folder: the recovery folder, made when the first copy is written.
    RecoveryRecorder(const QString &folder, Source source, QObject *parent = nullptr);
    // Writes what is not written yet and lets the copy's lock go; a copy
    // that holds unsaved work stays for the next start.
    ~RecoveryRecorder() override;

    QString session() const { return m_session; }
    QString copyPath() const;

    // An edit of response box item (1..27): at position, removed characters
    // gave way to added; length is the box's text length afterwards. With
    // no added text (a long insertion is not passed on) the whole text is
    // taken at the next write.
    void responseEdited(int item, qsizetype position, qsizetype removed,
                        const std::optional<QString> &added, qsizetype length);
    // Insertions longer than this are not passed on as edits.
    static constexpr qsizetype kMaxEditLength = 4096;
    // A change of response box item that says no more: its whole text is
    // taken at the next write.
    void responseChanged(int item);
    void answerChanged();
    // A response box (1..27) was made anew: its text is taken again.
    void boxMade(int item);
    // The responses as they stand are on disk in a work file (or were just
    // read from one): nothing is left to recover until the next change.
    void markClean();
    // Whether responses changed since they were last on disk.
    bool unsaved() const { return m_unsaved; }

    // Writes pending changes now, whole texts taken, and waits until they
    // are on disk.
    void flush();

    // Hands pending changes to the writing thread now, without waiting: as
    // while typing goes on (the edits only), or as when it pauses (the
    // whole texts of the boxes that changed).
    enum class Take { Edits, WholeTexts };
    void writeNow(Take take);

    // How long after the last change the copy is written, and at most how
    // long after the first change not yet written.
    void setDelays(int idleMs, int maxMs);

signals:
    // The copy could not be written (emitted on the window thread).
    void writeFailed(const QString &folder, const QString &reason);

private:
    void changed();
    void timeout();
    void resync(int item);

    // What the writing thread does not know yet of one response box.
    struct Pending {
        bool whole = true;        // it needs the whole text
        QList<RecoveryEdit> edits;   // otherwise: the edits since the last write
        qsizetype length = 0;     // the text's length once they are applied
    };

    QString m_folder;
    QString m_session;
    Source m_source;
    std::unique_ptr<RecoveryWriter> m_writer;   // made with the first write
    QTimer m_timer;
    QElapsedTimer m_sinceLastChange;
    QElapsedTimer m_sinceFirstPending;
    int m_idleMs = 750;
    int m_maxMs = 1000;
    bool m_unsaved = false;
    bool m_pending = false;
    QDateTime m_changed;
    std::array<Pending, kItemCount> m_items;
};

} // namespace brevant
