#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

namespace brevant {

// What a recovery copy keeps: every response and answer as they stood at
// the last change, so that nothing typed is lost when the program ends
// before it was saved. Unlike a work file it holds every character and
// the answer boxes too.
struct RecoveryCopy {
    QStringList responses;   // 27, catalogue order, line breaks as '\n'
    QStringList answers;     // 16, catalogue order of the items that have one
    QDateTime changed;       // the last change
    QString nameFile;        // Name_File of the work-file state
    QString fileName;        // FileName of the work-file state

    // Responses that hold any text.
    int filledResponses() const;
    // Whether it differs from what a fresh start shows (every response
    // empty, every answer "Yes"); a copy that does not is not worth offering.
    bool holdsWork() const;
};

// The version written; a copy of a later version is not read.
inline constexpr int kRecoveryFormatVersion = 1;
inline constexpr int kAnswerCount = 16;

// UTF-8 JSON.
QByteArray encodeRecoveryCopy(const RecoveryCopy &copy);
// The copy in bytes written by encodeRecoveryCopy, or nothing (with the
// reason in *why) for bytes that are damaged, empty, of another kind or of
// a later version. Never a part of a copy.
std::optional<RecoveryCopy> decodeRecoveryCopy(const QByteArray &bytes, QString *why);

// The folder of recovery copies. Each running program keeps its copy in a
// file of its own, "<session>.json", and holds "<session>.lock" while it
// runs, so that a copy is offered only once its program no longer runs.
// Copies set aside (declined, restored or unreadable) go to "set-aside/",
// where the newest ten are kept.
class RecoveryFolder {
public:
    explicit RecoveryFolder(const QString &path);

    QString path() const { return m_path; }
    QString setAsidePath() const;
    QString copyPath(const QString &session) const;
    QString lockPath(const QString &session) const;

    // A name for the session of a program starting now: the time, then the
    // process number, so that names sort by age.
    static QString newSession();

    // A copy whose program no longer runs. Its lock is held by this object,
    // so no other program offers it meanwhile; it is let go on destruction.
    struct Orphan {
        QString session;
        QString path;
        std::shared_ptr<QLockFile> lock;
    };
    // The copies left by programs that no longer run, newest first; own is
    // the session of this program, which is never among them.
    std::vector<Orphan> claimOrphans(const QString &own) const;

    // Moves a copy into set-aside/, keeping the newest kKeptSetAside there.
    bool setAside(const QString &copyPath, QString *error) const;

    static constexpr int kKeptSetAside = 10;

private:
    QString m_path;
};

} // namespace brevant
