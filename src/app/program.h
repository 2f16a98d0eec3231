#pragma once

#include "app/wiring.h"
#include "questionnaire/responsestore.h"
#include "ui/window.h"
#include "workfile/backups.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class QPlainTextEdit;

namespace brevant {

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
struct SavedWork;

// The running program: its services and its windows. Every window exists
// at most once, is made on first use and afterwards only hidden and shown.
// It keeps the responses and answers, in the boxes of the page windows.
class Program : public QObject, public WindowHost, public ResponseStore {
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

    // The windows that exist now, visible or hidden.
    QList<Window *> windows() const;
    bool ended() const { return m_ended; }

    // WindowHost
    Window *window(const QString &name) override;
    Window *existing(const QString &name) const override;
    void showWindow(QWidget *window) override;
    void hideWindow(QWidget *window) override;
    void closeWindow(Window *window) override;
    void closeAll() override;
    bool closingAll() const override { return m_closingAll; }
    void endProgram() override;
    QString programPath(const QString &relative) const override;

    // ResponseStore: the boxes of the pages, made hidden on first use.
    QString response(int item) override;
    void setResponses(const QStringList &texts) override;
    QStringList answers() override;
    void setAnswers(const QStringList &texts) override;
    void markSaved() override;
    using ResponseStore::responses;

    // The response box of item 1..27, its page made if need be.
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

private:
    template <class T, class... Args>
    T *get(const QString &name, Args &&...args);
    void adopt(Window *window);
    // Wires a page made now: its Save buttons, and the recovery copy told
    // about every change of its boxes.
    void wire(QuestionPage *page);
    // A response as its box holds it, without making its page.
    QString existingResponse(int item) const;
    // The window a message of the program's own stands in front of.
    QWidget *frontWindow() const;
    // Tells the user, once per run, that the recovery copy cannot be written.
    void recoveryCopyFailed(const QString &folder, const QString &reason);

    Services m_services;
    std::unique_ptr<RecoveryRecorder> m_recovery;
    BackupKeeper m_backups;
    QMap<QString, QPointer<Window>> m_windows;
    QSet<Window *> m_closing;
    bool m_ended = false;
    bool m_lastClosed = false;
    bool m_closingAll = false;
    bool m_offered = false;
    bool m_toldRecoveryFailed = false;
};

} // namespace brevant
