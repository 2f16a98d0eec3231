#pragma once

// What the tests of Save, Save As and Load share: the dialogs they expect
// and the buttons they press.

#include "app/registerupdate.h"
#include "app/std0.h"
#include "core/catalogue.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "testmain.h"

#include <QComboBox>
#include <unistd.h>

namespace brevant::test {

inline const QString kFilter = QStringLiteral("Dat Files (*.dat)|*.dat");
inline const QString kSaved = QStringLiteral("Successfully Saved..");
inline const QString kLoaded = QStringLiteral("Successfully Loaded..");

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

inline QStringList numbered(const QString &prefix)
{
    QStringList r;
    for (int i = 1; i <= kItemCount; ++i)
        r << prefix + QString::number(i);
    return r;
}

inline WorkFileState &stateOf(Harness &h)
{
    return h.program->std0()->state;
}

// Startup window -> start window, ready to load.
inline void toStartWindow(Harness &h)
{
    h.program->start();
    h.click(h.program->registerUpdate(), QStringLiteral("continue"));
}

inline void showPage(Harness &h, int number)
{
    for (int n = 1; n <= kPageCount; ++n) {
        if (n != number && h.program->existingPage(n))
            h.program->hideWindow(h.program->page(n));
    }
    h.program->showWindow(h.program->page(number));
}

// The save dialog chooses path, and the file is saved.
inline void expectSavedTo(Harness &h, const QString &path)
{
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kSaved, QStringLiteral("Saved"));
}

// The open dialog chooses path, and the file is loaded.
inline void expectLoadedFrom(Harness &h, const QString &path)
{
    h.dialogs.expectOpen(kFilter, FileDialogOutcome::chosen(path)).expectMessage(kLoaded, QStringLiteral("Loaded"));
}

// The text of every answer box, an empty string for items without one.
inline QStringList answers(Harness &h)
{
    QStringList r;
    for (int i = 1; i <= kItemCount; ++i)
        r << (h.answer(i) ? h.answer(i)->currentText() : QString());
    return r;
}

inline void save(Harness &h, int page)
{
    h.click(h.program->page(page), QStringLiteral("Save"));
}

inline void saveAs(Harness &h, int page)
{
    h.click(h.program->page(page), QStringLiteral("SaveAs"));
}

inline void load(Harness &h)
{
    h.click(h.program->std0(), QStringLiteral("load"));
}

} // namespace brevant::test
