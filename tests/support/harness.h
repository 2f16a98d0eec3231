#pragma once

#include "app/program.h"
#include "fakes.h"

#include <QTemporaryDir>
#include <memory>

class QComboBox;
class QPlainTextEdit;

namespace brevant::test {

// A program wired to fakes, with its own temporary program folder.
// Use one per test function; check verify() before it goes.
struct Harness {
    // dataFolder: the user's data folder, when not one of its own (to start
    // the program again on what an earlier run left).
    explicit Harness(const QString &dataFolder = QString());
    ~Harness();

    FakeDialogs dialogs;
    FakeShell shell;
    FakeLifetime lifetime;
    QTemporaryDir folder;
    QTemporaryDir data;   // the user's data folder: recovery copies, backups
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

} // namespace brevant::test

// Fails the test when the dialogs script was not played exactly.
#define VERIFY_DIALOGS(h) QVERIFY2((h).problems().isEmpty(), qPrintable((h).problems()))
