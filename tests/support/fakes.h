#pragma once

#include "document/printsurface.h"
#include "recordingsurface.h"
#include "ui/services.h"
#include "updates/mailsender.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace brevant::test {

// Plays a script of dialogs. Each message box and file dialog the program
// shows must be the next one expected; anything else is recorded as a
// failure, and so is a script left unused (see verify()).
class FakeDialogs : public Dialogs {
public:
    struct Step {
        enum class Kind { Message, Choice, Save, Open } kind = Kind::Message;
        // Message
        QString text;
        QString title;          // null: the application's title
        bool matchText = true;  // false: any text (the caller checks it)
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        Answer answer = Answer::Ok;
        // A choice: the buttons shown and the one pressed
        QStringList choices;
        int chosen = -1;
        // File dialogs
        QString filter;
        FileDialogOutcome outcome;
        Overwrite overwrite = Overwrite::Replace;
    };

    // Expect a message box with exactly this text and title.
    FakeDialogs &expectMessage(const QString &text, const QString &title,
                               Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                               Answer answer = Answer::Ok);
    // Expect a message box whose text is checked by the test afterwards.
    FakeDialogs &expectAnyMessage(const QString &title, Buttons buttons = Buttons::Ok,
                                  Answer answer = Answer::Ok);
    // Expect a question with buttons of its own, answered by the button
    // named chosen; the text is checked by the test afterwards unless given.
    FakeDialogs &expectChoice(const QString &title, const QStringList &choices, const QString &chosen,
                              const QString &text = QString());
    // A save dialog asks before it replaces a file only where that is
    // expected (the PDF of Print); the others replace without a question.
    FakeDialogs &expectSave(const QString &filter, const FileDialogOutcome &outcome,
                            Overwrite overwrite = Overwrite::Replace);
    FakeDialogs &expectOpen(const QString &filter, const FileDialogOutcome &outcome);

    Answer message(QWidget *parent, const QString &prompt, Buttons buttons, Icon icon,
                   const QString &title, const QString &details = QString()) override;
    int choose(QWidget *parent, const QString &prompt, const QStringList &choices, Icon icon,
               const QString &title, const QString &details = QString()) override;
    FileDialogOutcome showSave(QWidget *parent, const QString &filter,
                               const QString &fileName, Overwrite overwrite) override;
    FileDialogOutcome showOpen(QWidget *parent, const QString &filter,
                               const QString &fileName) override;
    void setBusy(bool busy) override;

    // Empty when every expected dialog came, in order, and nothing else.
    QStringList verify() const;
    void reset();

    QStringList shownTexts;     // every message text shown, in order
    QStringList shownTitles;
    QStringList shownDetails;   // the detail text of every message shown
    QList<QWidget *> parents;   // the parent of every dialog shown
    QStringList initialNames;   // the file name each file dialog started with
    QList<Overwrite> overwrites;   // what each save dialog does with an existing file
    int busyOn = 0;
    int busyOff = 0;
    QStringList failures;
    // Called as each dialog comes up, before it is answered.
    std::function<void()> onDialog;

private:
    // Records a message box or question as it comes up.
    void shown(QWidget *parent, const QString &prompt, const QString &title, const QString &details);

    QList<Step> m_script;
};

// Records every shell request.
class FakeShell : public Shell {
public:
    struct Request {
        QString verb, target, parameters, directory;
        int showCode = 0;
    };
    bool open(QWidget *owner, const QString &verb, const QString &target,
              const QString &parameters, const QString &directory, int showCode) override;
    QList<Request> requests;
    // Whether the desktop has a program for what it is asked to open.
    bool opens = true;
};

// Records how the program ended.
class FakeLifetime : public Lifetime {
public:
    void endProgram() override { ++endProgramCalls; }
    void lastWindowClosed() override { ++lastWindowClosedCalls; }
    int endProgramCalls = 0;
    int lastWindowClosedCalls = 0;
};

// Hands out recording surfaces and keeps what each one saw. No printer is
// set up unless the test names one.
class FakePrinters : public PrinterFactory {
public:
    QString printer;
    int failAt = -1;   // passed to every surface made; -2: no PDF surface, for kNoEngine
    static inline const QString kNoEngine = QStringLiteral(
        "The document engine libbrevant_documents.so could not be loaded: it is in none of the folders the "
        "program looks in (/usr/lib/brevant).");
    QList<std::shared_ptr<Recording>> documents;

    QString defaultPrinter() const override { return printer; }
    std::unique_ptr<PrintSurface> printerSurface(const QString &name) override;
    std::unique_ptr<PrintSurface> pdfSurface(const QString &path, QString *error) override;

private:
    std::unique_ptr<PrintSurface> make(const QString &target);
};

// Keeps every message handed to it, and sends it or fails as told.
class FakeMail : public MailSender {
public:
    Result send(const QByteArray &message) override
    {
        messages << message;
        return result;
    }
    QList<QByteArray> messages;
    Result result{true, QString()};
};

} // namespace brevant::test
