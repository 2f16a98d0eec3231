#include "app/program.h"

#include "questionnaire/questionpage.h"
#include "ui/widgets.h"
#include "workfile/workcommands.h"

#include <QGuiApplication>
#include <QWindow>

// The watch on the work files: a change another program made is told in a
// quiet note on the pages, with the choices a Save would offer.

namespace brevant {

void Program::guardFiles()
{
    connect(&m_guard, &FileGuard::changedOnDisk, this, &Program::showChangedNote);
    connect(&m_guard, &FileGuard::settled, this, &Program::hideChangedNote);
    // A write over the network raises no notice here: the files are looked
    // at whenever one of the program's windows comes to the front.
    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::focusWindowChanged, &m_guard, [this](QWindow *window) {
            if (window)
                m_guard.lookNow();
        });
}

void Program::showChangedNote(const QString &workFile, const QString &path, const DiskCheck &check)
{
    m_noteFile = workFile;
    m_noteText = changedFileNote(path, check);
    m_noteChoices.clear();
    // The question's choices but its way out: the note has Hide.
    const QList<ChangedFileChoice> choices = changedFileChoices(check);
    for (qsizetype i = 0; i + 1 < choices.size(); ++i)
        m_noteChoices << int(choices.at(i));
    for (int n = 1; n <= kPageCount; ++n) {
        if (QuestionPage *shown = existingPage(n))
            noteOn(shown);
    }
}

void Program::hideChangedNote()
{
    m_noteFile.clear();
    for (int n = 1; n <= kPageCount; ++n) {
        if (QuestionPage *shown = existingPage(n))
            shown->note()->hide();
    }
}

void Program::noteOn(QuestionPage *page)
{
    NoteBar *note = page->note();
    note->disconnect(this);
    if (m_noteFile.isEmpty()) {
        note->hide();
        return;
    }
    QStringList buttons;
    for (const int choice : std::as_const(m_noteChoices))
        buttons << changedFileChoiceText(ChangedFileChoice(choice));
    note->showNote(m_noteText, buttons);
    connect(note, &NoteBar::chosen, this, [this, page](int index) {
        if (index < 0 || index >= m_noteChoices.size() || m_noteFile.isEmpty())
            return;
        // Copies: settling the change clears the note's.
        const QString file = m_noteFile;
        const auto choice = ChangedFileChoice(m_noteChoices.at(index));
        settleChangedFile(savedWork(), page, page->saveDialog(), file, choice);
    });
}

} // namespace brevant
