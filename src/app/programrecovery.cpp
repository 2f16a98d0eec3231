#include "app/program.h"

#include "app/std0.h"
#include "io/files.h"
#include "workfile/recoveryoffer.h"
#include "workfile/recoveryrecorder.h"

#include <QApplication>
#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

// What the program keeps of unsaved work: the recovery copy as the
// questionnaire changes, the offer at the next start, and what is kept
// when the desktop ends the program.

namespace brevant {

using namespace Qt::Literals::StringLiterals;

void Program::record()
{
    RecoveryRecorder *recorder = m_recovery.get();
    Questionnaire *questionnaire = &m_questionnaire;
    // Typing, pasting, cutting, undoing and Load alike change a response.
    // The recovery copy is told what changed, in a few characters where it
    // can be.
    connect(questionnaire, &Questionnaire::responseChanged, recorder,
            [recorder, questionnaire](int item, int position, int removed, int added) {
                QTextDocument *document = questionnaire->document(item);
                const int length = document->characterCount() - 1;
                // (Replacing the whole text counts the last paragraph end
                // in; it is no part of the text.)
                added = std::min(added, length - position);
                std::optional<QString> text;
                if (added >= 0 && added <= RecoveryRecorder::kMaxEditLength) {
                    QTextCursor cursor(document);
                    cursor.setPosition(position);
                    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
                    text = cursor.selectedText();
                }
                recorder->responseEdited(item, position, removed, text, length);
            });
    connect(questionnaire, &Questionnaire::answerChanged, recorder, &RecoveryRecorder::answerChanged);
    connect(questionnaire, &Questionnaire::saved, recorder, &RecoveryRecorder::markClean);
}

QString Program::recoveryFolder() const
{
    return m_services.dataFolder.isEmpty() ? QString() : m_services.dataFolder + u"/recovery"_s;
}

bool Program::offerRecoveredWork(QWidget *parent)
{
    if (m_offered)
        return false;
    m_offered = true;
    if (recoveryFolder().isEmpty())
        return false;
    return brevant::offerRecoveredWork(recoveryFolder(), m_recovery->session(), dialogs(), parent,
                                       [this](const RecoveryCopy &copy) { restore(copy); });
}

void Program::restore(const RecoveryCopy &copy)
{
    m_questionnaire.setResponses(copy.responses);
    m_questionnaire.setAnswers(copy.answers);
    m_questionnaire.markRestored();
    WorkFileState &state = m_questionnaire.workFile();
    state.Name_File = copy.nameFile;
    state.FileName = copy.fileName;
    // The restored work is this run's own unsaved work now: in this run's
    // copy before the old one is set aside.
    m_recovery->flush();
}

void Program::keepEverythingTyped()
{
    m_recovery->flush();
    if (!recoveryFolder().isEmpty())
        syncFolder(recoveryFolder());
}

void Program::endOnRequest()
{
    if (m_ended)
        return;
    keepEverythingTyped();
    closeAll();
    // (With no window open, the close-all rule has none to close.)
    if (!m_lastClosed) {
        m_lastClosed = true;
        m_services.lifetime.lastWindowClosed();
    }
}

QWidget *Program::frontWindow() const
{
    for (Window *w : windows()) {
        if (w->isVisible() && w->isActiveWindow())
            return w;
    }
    for (Window *w : windows()) {
        if (w->isVisible())
            return w;
    }
    return nullptr;
}

void Program::recoveryCopyFailed(const QString &folder, const QString &reason)
{
    if (m_toldRecoveryFailed || m_ended)
        return;
    // Not over a dialog that is open now: when it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(1000, this, [this, folder, reason] { recoveryCopyFailed(folder, reason); });
        return;
    }
    m_toldRecoveryFailed = true;
    dialogs().message(frontWindow(),
                      u"The program cannot keep a recovery copy of the responses you type: the "
                      "folder\r\n%1\r\ncannot be written. %2\r\n\r\nThe program works as before, "
                      "but what you type is kept only once you save it with Save or Save As."_s
                          .arg(QDir::toNativeSeparators(folder), reason),
                      Buttons::Ok, Icon::Critical, u"Recovery Copy Not Kept"_s);
}

} // namespace brevant
