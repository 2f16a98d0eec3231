#pragma once

#include "ui/services.h"
#include "workfile/backups.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

class QPlainTextEdit;

namespace brevant {

class Window;
class RegisterUpdate;
class RegisterForm;
class Std0;
class QuestionPage;
class ExampleWindow;
class Std11;
class TemplateSelect;
class BrowserWindow;
class RecoveryRecorder;
struct RecoveryCopy;

// The running program: its services and its windows. Every window exists
// at most once, is made on first use and afterwards only hidden and shown.
class Program : public QObject {
    Q_OBJECT
public:
    explicit Program(const Services &services);
    ~Program() override;

    const Services &services() const { return m_services; }
    Dialogs &dialogs() const { return *m_services.dialogs; }

    // Program start: the startup window alone.
    void start();

    // The windows, made (hidden) on first use.
    RegisterUpdate *registerUpdate();
    RegisterForm *registerForm();
    Std0 *std0();
    QuestionPage *page(int number);   // 1..10
    ExampleWindow *example();
    Std11 *std11();
    TemplateSelect *templateSelect();
    BrowserWindow *browser();

    // The window of that name if it exists now, else null.
    Window *existing(const QString &name) const;
    // The windows that exist now, visible or hidden.
    QList<Window *> windows() const;

    // Shows without blocking and brings to the front.
    void showWindow(QWidget *window);
    void hideWindow(QWidget *window);
    // Hides the Example window if it exists.
    void hideExample();

    // Closes one window: its own unload rule runs first.
    void closeWindow(Window *window);
    // The close-all rule of the main windows.
    void closeAll(bool workFileStep);
    // True while the close-all rule is closing every window.
    bool closingAll() const { return m_closingAll; }
    // Ends the program at once; no unload rule runs.
    void endProgram();
    bool ended() const { return m_ended; }

    // The response boxes in catalogue order; page windows that do not
    // exist yet are made, hidden.
    QPlainTextEdit *responseBox(int item);
    QStringList responses();
    void setResponses(const QStringList &texts);
    // The 16 answer boxes in catalogue order; pages made as for responses.
    QStringList answers();
    void setAnswers(const QStringList &texts);

    // The recovery copy of what is typed, and the copies kept of files a
    // save replaces, both in the user's data folder.
    RecoveryRecorder &recovery() { return *m_recovery; }
    BackupKeeper &backups() { return m_backups; }
    QString recoveryFolder() const;
    // Offers work that an earlier run left unsaved; done once, when the
    // start window is first shown. Returns whether work was restored.
    bool offerRecoveredWork(QWidget *parent);
    // Puts a recovery copy into the boxes, as Load does, answers included.
    void restore(const RecoveryCopy &copy);
    // Tells the user, once per run for each kind, that the data folder
    // cannot be written.
    void recoveryCopyFailed(const QString &folder, const QString &reason);
    void backupFailed(const QString &folder, const QString &reason);

    // A file installed with the program: the program folder followed by
    // a relative path such as "/Templates/Orange_Madness.htm".
    QString programPath(const QString &relative) const;

signals:
    void windowCreated(brevant::Window *window);
    void programEnded();

private:
    template <class T, class... Args>
    T *get(const QString &name, Args &&...args);
    void adopt(Window *window);
    // Tells the recovery copy about every change of the page's boxes.
    void watch(QuestionPage *page);
    // A response as its box holds it, without making its page.
    QString existingResponse(int item) const;
    // The window a message of the program's own stands in front of.
    QWidget *frontWindow() const;

    Services m_services;
    std::unique_ptr<RecoveryRecorder> m_recovery;
    BackupKeeper m_backups;
    bool m_offered = false;
    bool m_toldRecoveryFailed = false;
    bool m_toldBackupFailed = false;
    QMap<QString, QPointer<Window>> m_windows;
    QSet<Window *> m_closing;
    bool m_ended = false;
    bool m_lastClosed = false;
    bool m_closingAll = false;
};

} // namespace brevant
