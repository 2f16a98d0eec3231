#pragma once

#include "app/wiring.h"
#include "questionnaire/questionnaire.h"
#include "ui/window.h"
#include "io/backups.h"
#include "workfile/fileguard.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class QPlainTextEdit;

namespace brevant {

// The windows other than the question pages, which are known by number.
enum class WindowId { RegisterUpdate, RegisterForm, Std0, Example, Std11, TemplateSelect, Browser, Contents, Find };

class RegisterUpdate;
class RegisterForm;
class Std0;
class QuestionPage;
class ExampleWindow;
class Std11;
class TemplateSelect;
class BrowserWindow;
class ContentsWindow;
class FindWindow;
class RecoveryRecorder;
struct RecoveryCopy;
struct SavedWork;

// The running program: its services, the questionnaire the user fills in,
// and its windows. Every window exists at most once, is made on first use
// and afterwards only hidden and shown.
class Program : public QObject, public WindowHost {
    Q_OBJECT
public:
    explicit Program(const Services &services);
    ~Program() override;

    const Services &services() const { return m_services; }
    Dialogs &dialogs() const { return m_services.dialogs; }

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
    ContentsWindow *contents();
    FindWindow *findWindow();

    // The windows that exist now, visible or hidden.
    QList<Window *> windows() const;
    // A window if it exists now, else null.
    Window *existing(WindowId id) const;
    QuestionPage *existingPage(int number) const;
    // Every window the program has, each made (hidden) if need be.
    QList<Window *> everyWindow();
    bool ended() const { return m_ended; }

    // The responses, the answers and the work-file state.
    Questionnaire &questionnaire() { return m_questionnaire; }

    // WindowHost
    Window *showPage(int number) override;
    void showExample(int item) override;
    void hideExample() override;
    Window *showCompletion() override;
    void showStartup() override;
    void showRegistration() override;
    void showStart(QWidget *leaving) override;
    void showTemplates() override;
    void showInBrowser(const QString &path) override;
    void showContents(int item) override;
    void showFind(const QString &text) override;
    void findAgain(bool backward) override;
    QPlainTextEdit *showItem(int item, Keyboard keyboard) override;
    QPlainTextEdit *currentResponse() const override;
    void showWindow(QWidget *window) override;
    void hideWindow(QWidget *window) override;
    void closeWindow(Window *window) override;
    void closeAll() override;
    bool closingAll() const override { return m_closingAll; }
    void endProgram() override;
    QString programPath(const QString &relative) const override;

    // The response box of item 1..27, its page made (hidden) if need be.
    QPlainTextEdit *responseBox(int item);

    // What Save, Save As and Load use.
    SavedWork savedWork();
    // The recovery copy of what is typed, in the user's data folder.
    RecoveryRecorder &recovery() { return *m_recovery; }
    QString recoveryFolder() const;
    // Offers work that an earlier run left unsaved; done once, when the
    // start window is first shown. Returns whether work was restored.
    bool offerRecoveredWork(QWidget *parent);
    // Puts a recovery copy into the boxes, as Load does, answers included.
    void restore(const RecoveryCopy &copy);
    // Everything typed into the recovery copy, on the disk, now.
    void keepEverythingTyped();
    // Ends the program as the desktop asked: everything typed kept, then
    // every window closed as the close-all rule closes them, no question.
    void endOnRequest();

    // The check, lock and watch of the work files (programfiles.cpp).
    FileGuard &guard() { return m_guard; }

private:
    template <class T, class... Args>
    T *get(int key, Args &&...args);
    // Tells the recovery copy about every change of the questionnaire.
    void record();
    // The window a message of the program's own stands in front of.
    QWidget *frontWindow() const;
    // Tells the user, once per run, that the recovery copy cannot be written.
    void recoveryCopyFailed(const QString &folder, const QString &reason);
    // Watches the work files and tells the pages of a change (programfiles.cpp).
    void guardFiles();
    void showChangedNote(const QString &workFile, const QString &path, const DiskCheck &check);
    void hideChangedNote();
    // Puts the note of a change, if one is told, on a page.
    void noteOn(QuestionPage *page);

    Services m_services;
    // Before the windows, which show its documents, and gone after them.
    Questionnaire m_questionnaire;
    std::unique_ptr<RecoveryRecorder> m_recovery;
    BackupKeeper m_backups;
    FileGuard m_guard;
    // The change the pages' note tells of: the work file, its text and
    // choices; no work file while there is none.
    QString m_noteFile;
    QString m_noteText;
    QList<int> m_noteChoices;
    // By WindowId, and the pages by kPageKey + number.
    QMap<int, QPointer<Window>> m_windows;
    QSet<Window *> m_closing;
    bool m_ended = false;
    bool m_lastClosed = false;
    bool m_closingAll = false;
    bool m_offered = false;
    bool m_toldRecoveryFailed = false;
};

} // namespace brevant
