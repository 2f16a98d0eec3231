#pragma once

#include "app/program.h"
#include "fakes.h"

#include <QTemporaryDir>
#include <memory>

class QComboBox;
class QPlainTextEdit;

namespace brevant::test {

// What a harness is built on where the test does not leave it to the
// harness's own temporary folders and fakes.
struct HarnessOptions {
    QString programFolder;               // the program folder
    QString dataFolder;                  // the user's data folder: recovery copies, backups
    PrinterFactory *printers = nullptr;  // where printed documents go
    MailSender *mail = nullptr;          // how the registration is sent
    Speller *speller = nullptr;          // spell checking; none unless given
    Lifetime *lifetime = nullptr;        // how the process ends; the fake unless given
    EndSignals *endSignals = nullptr;    // the endings the desktop asks for; none unless given
};

// A program wired to fakes, with its own temporary program and data
// folders. Use one per test function; the dialogs script must be played
// exactly by the time it goes.
struct Harness {
    explicit Harness(const HarnessOptions &options = {});
    ~Harness();

    FakeDialogs dialogs;
    FakeShell shell;
    FakeLifetime lifetime;
    FakePrinters printers;
    FakeMail mail;
    QTemporaryDir folder;
    QTemporaryDir data;
    Services services;
    std::unique_ptr<Program> program;

    // Startup window -> start window -> page 1, as a user would.
    void continueToPage1();
    // Fills every response box and sets every answer box to "Yes".
    void fillAll(const QString &prefix = QStringLiteral("Response "));
    QPlainTextEdit *response(int item);
    QComboBox *answer(int item);
    // A button of a window by its object name, clicked.
    void click(QWidget *window, const QString &button);
    // The names of the visible windows.
    QStringList visibleWindows() const;
    // Deletes windows closed since the last call.
    static void flushDeletes();
    // Script problems of the dialogs fake, as one string (empty when fine).
    QString problems() const;
};

// Fails the test when the dialogs script was not played exactly.
#define VERIFY_DIALOGS(h) QVERIFY2((h).problems().isEmpty(), qPrintable((h).problems()))

} // namespace brevant::test
