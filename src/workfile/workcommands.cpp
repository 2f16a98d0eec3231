#include "workfile/workcommands.h"

#include "core/catalogue.h"
#include "core/workfileformat.h"
#include "core/workfileread.h"
#include "io/backups.h"
#include "io/files.h"
#include "questionnaire/questionnaire.h"
#include "ui/filedialog.h"
#include "workfile/fileguard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <optional>

namespace brevant {

namespace {

const QString kNotSaved = QStringLiteral("Not Saved");
const QString kNotLoaded = QStringLiteral("Not Loaded");

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The first words of a text, cut at a word boundary.
QString opening(const QString &text, int maxLength)
{
    const QString simple = text.simplified();
    if (simple.size() <= maxLength)
        return simple;
    qsizetype cut = simple.lastIndexOf(QLatin1Char(' '), maxLength);
    if (cut <= 0)
        cut = maxLength;
    return simple.left(cut) + QStringLiteral("...");
}

// How the user finds an item: its page, its section and how it begins.
QString itemLabel(int item)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    const QuestionnaireItem &it = catalogue.item(item);
    return QStringLiteral("Page %1, %2: \"%3\"")
        .arg(it.page)
        .arg(opening(catalogue.controlText(it.page, it.frame), 48), opening(it.statement.text, 36));
}

// Reads the responses and checks that the work file can hold them. Returns
// them, or nothing when the user is told why not.
std::optional<QStringList> responsesForSaving(const SavedWork &work, QWidget *parent)
{
    // As the boxes hold them: the writer turns their line breaks into the
    // file's.
    const QStringList texts = work.questionnaire.rawResponses();
    Dialogs &dialogs = work.dialogs;

    const QList<int> withSeparator = itemsHoldingSeparator(texts);
    if (!withSeparator.isEmpty()) {
        QStringList lines;
        for (int item : withSeparator)
            lines << QStringLiteral("    ") + itemLabel(item);
        dialogs.message(parent,
                        QStringLiteral("The work cannot be saved: the work file separates the "
                                       "responses with \"%%%%\", so no response may contain it. "
                                       "These responses do:\r\n\r\n")
                            + lines.join(QStringLiteral("\r\n"))
                            + QStringLiteral("\r\n\r\nChange \"%%%%\" there, then save again. "
                                             "Nothing was saved."),
                        Buttons::Ok, Icon::Critical, kNotSaved);
        return std::nullopt;
    }

    return texts;
}

bool writeWork(const SavedWork &work, QWidget *parent, const QString &path, const QStringList &texts)
{
    FileIdentity written;
    // Every character is kept: in Windows-1252 where the code page holds
    // them all, in UTF-8 otherwise.
    const ContentWriter content = [&texts](QIODevice &out) { return TextToFile(out, texts); };
    QString reason;
    // A file written over keeps its old content in the backups folder.
    if (!work.backups.beforeReplacing(path, content, &reason) && work.backups.tellFailureOnce()) {
        work.dialogs.message(parent, work.backups.failureText(reason), Buttons::Ok, Icon::Critical,
                             BackupKeeper::failureTitle());
    }
    if (writeFileSafely(path, content, &reason, &written)) {
        work.backups.written(path);
        // What the file is now, for the check before the next save.
        work.guard.seen(path, written);
        work.questionnaire.markSaved();
        return true;
    }
    work.dialogs.message(parent,
                         QStringLiteral("The work could not be saved to\r\n") + nativePath(path)
                             + QStringLiteral("\r\n\r\n") + reason
                             + QStringLiteral("\r\n\r\nNothing was saved; a file already "
                                              "there keeps what it had."),
                         Buttons::Ok, Icon::Critical, kNotSaved);
    return false;
}

// keptTheirs: the backup of a version another program saved, which this
// save replaced.
void showSaved(const SavedWork &work, QWidget *parent, const QString &keptTheirs = QString())
{
    // The first copy kept of a replaced file is named under the message.
    const QString kept = work.backups.keptToTellOnce();
    QString details;
    if (!keptTheirs.isEmpty())
        details = QStringLiteral("The version the other program saved is kept in ") + nativePath(keptTheirs);
    else if (!kept.isEmpty())
        details = BackupKeeper::keptText(kept);
    work.dialogs.message(parent, QStringLiteral("Successfully Saved.."), Buttons::Ok, Icon::None,
                         QStringLiteral("Saved"), details);
}

QString whenText(const FileIdentity &identity)
{
    return QLocale::c().toString(identity.modified(), QStringLiteral("dddd, d MMMM yyyy 'at' HH:mm:ss"));
}

// The question before a save writes over a file that changed since this
// program last read or wrote it.
ChangedFileChoice askAboutChange(const SavedWork &work, QWidget *parent, const QString &path,
                                 const DiskCheck &check)
{
    const FileIdentity seen = work.guard.lastSeen(path);
    QString text;
    switch (check.change) {
    case DiskChange::Removed:
        text = QStringLiteral("The work file\r\n%1\r\nis no longer there: it was removed or renamed after "
                              "this program last loaded or saved it (%2).\r\n\r\nWrite It Anew saves "
                              "your responses there as a new file. Save a Copy... saves them in a file "
                              "you name.")
                   .arg(nativePath(path), whenText(seen));
        break;
    case DiskChange::NotAFile:
        text = QStringLiteral("Where the work file\r\n%1\r\nwas, there is now a folder or something else "
                              "that is not a file (since %2). Nothing can be saved there.\r\n\r\n"
                              "Save a Copy... saves your responses in a file you name.")
                   .arg(nativePath(path), whenText(seen));
        break;
    case DiskChange::Unreadable:
        text = QStringLiteral("The work file\r\n%1\r\nwas changed by another program on %2, after this "
                              "program last loaded or saved it, and cannot be read now to tell what "
                              "changed. Saving now could replace what the other program wrote.\r\n\r\n"
                              "Save a Copy... saves your responses in a file you name and leaves this one "
                              "as it is.")
                   .arg(nativePath(path), whenText(check.now));
        break;
    default:
        text = QStringLiteral("The work file\r\n%1\r\nwas changed by another program on %2, after this "
                              "program last loaded or saved it. Saving now would replace what the other "
                              "program wrote.\r\n\r\nSave a Copy... saves your responses in a file you "
                              "name and leaves this one as it is.\r\nReplace It saves them in this file; "
                              "the version on disk is kept as a backup in\r\n%3")
                   .arg(nativePath(path), whenText(check.now), nativePath(work.backups.folder()));
        break;
    }
    const QList<ChangedFileChoice> choices = changedFileChoices(check);
    QStringList buttons;
    for (const ChangedFileChoice choice : choices)
        buttons << changedFileChoiceText(choice);
    const int chosen = work.dialogs.choose(parent, text, buttons, Icon::Critical,
                                           QStringLiteral("Work File Changed"));
    return choices.value(chosen, ChangedFileChoice::Cancel);
}

// Does what was chosen about a changed file before path is written.
// Returns whether the save goes on; *keptTheirs names the backup of the
// version on disk that Replace It keeps.
bool goOnAfterChoice(const SavedWork &work, QWidget *parent, FileDialog &dialog, const QString &path,
                     ChangedFileChoice choice, QString *keptTheirs)
{
    switch (choice) {
    case ChangedFileChoice::WriteAnew:
        return true;
    case ChangedFileChoice::Replace: {
        QString reason;
        *keptTheirs = work.backups.keepNow(path, &reason);
        if (!keptTheirs->isEmpty())
            return true;
        work.dialogs.message(parent,
                             QStringLiteral("The version of\r\n%1\r\nthat another program saved cannot be "
                                            "kept as a backup in\r\n%2\r\n%3\r\n\r\nNothing was saved. "
                                            "Save a Copy... saves your responses in a file you name.")
                                 .arg(nativePath(path), nativePath(work.backups.folder()), reason),
                             Buttons::Ok, Icon::Critical, kNotSaved);
        return false;
    }
    case ChangedFileChoice::SaveCopy:
        saveWorkAs(work, parent, dialog);
        return false;
    case ChangedFileChoice::Cancel:
        break;
    }
    return false;
}

// Before a save writes path: when the file there changed since this
// program last read or wrote it, asks what to do first. Returns whether
// the save goes on.
bool readyToWrite(const SavedWork &work, QWidget *parent, FileDialog &dialog, const QString &path,
                  QString *keptTheirs)
{
    if (!work.guard.knows(path))
        return true;
    const DiskCheck check = work.guard.check(path);
    if (check.change == DiskChange::Unchanged)
        return true;
    return goOnAfterChoice(work, parent, dialog, path, askAboutChange(work, parent, path, check), keptTheirs);
}

// Writes the responses to path as the current work file of Save.
void saveAsCurrent(const SavedWork &work, QWidget *page, const QString &path, const QStringList &texts,
                   const QString &keptTheirs)
{
    if (!writeWork(work, page, path, texts))
        return;
    WorkFileState &state = work.questionnaire.workFile();
    state.Name_File = path;
    state.pFileOpened = true;
    work.guard.hold(FileGuard::Slot::Current, path);
    showSaved(work, page, keptTheirs);
}

void reportNotLoaded(const SavedWork &work, QWidget *parent, const QString &path, const QString &why)
{
    work.dialogs.message(parent,
                         QStringLiteral("The work file\r\n") + nativePath(path)
                             + QStringLiteral("\r\ncould not be loaded: ") + why
                             + QStringLiteral("\r\n\r\nNo response was changed."),
                         Buttons::Ok, Icon::Critical, kNotLoaded);
}

// Before a Load: another program that has the file open, and responses
// restored from a recovery copy that are not saved yet, are told first.
bool mayLoad(const SavedWork &work, QWidget *start, const QString &path)
{
    const LockLook lock = work.guard.lookAtLock(path);
    if (lock.state == LockState::Theirs) {
        const QString since = lock.owner.since.isValid()
            ? QLocale::c().toString(lock.owner.since, QStringLiteral("dddd, d MMMM yyyy 'at' HH:mm"))
            : QStringLiteral("a time it does not say");
        const int chosen = work.dialogs.choose(
            start,
            QStringLiteral("The work file\r\n%1\r\nis open in another copy of the program: %2 has had it "
                           "open since %3.\r\n\r\nIf you both change it, each save would replace the "
                           "other's. This program asks before it saves over a change it has not seen; "
                           "still, agree with %4 who goes on with it.\r\n\r\nOpen Anyway loads it all the "
                           "same.")
                .arg(nativePath(path), lock.owner.who(), since,
                     lock.owner.fullName.isEmpty() ? lock.owner.user : lock.owner.fullName),
            {QStringLiteral("Open Anyway"), QStringLiteral("Cancel")}, Icon::None,
            QStringLiteral("Work File in Use"));
        if (chosen != 0)
            return false;
    }
    if (work.questionnaire.restoredUnsaved()) {
        const int chosen = work.dialogs.choose(
            start,
            QStringLiteral("The responses now in the program (restored from the copy an earlier run "
                           "left) are not saved in a work file yet. Loading\r\n%1\r\nreplaces them.\r\n\r\n"
                           "Cancel keeps them: Continue shows them, and Save or Save As keeps them in a "
                           "work file.")
                .arg(nativePath(path)),
            {QStringLiteral("Load and Replace Them"), QStringLiteral("Cancel")}, Icon::Critical,
            QStringLiteral("Unsaved Responses"));
        if (chosen != 0)
            return false;
    }
    return true;
}

} // namespace

void saveWork(const SavedWork &work, QWidget *page, FileDialog &dialog)
{
    const std::optional<QStringList> texts = responsesForSaving(work, page);
    if (!texts)
        return;
    WorkFileState &state = work.questionnaire.workFile();
    // The first Save asks for the current work file; later ones rewrite it.
    QString path = state.Name_File;
    if (!state.pFileOpened) {
        const FileDialogOutcome outcome = dialog.showSave(work.dialogs, page);
        if (!acceptDialogOutcome(work.dialogs, page, outcome))
            return;
        path = outcome.path;
    }
    QString keptTheirs;
    if (!readyToWrite(work, page, dialog, path, &keptTheirs))
        return;
    saveAsCurrent(work, page, path, *texts, keptTheirs);
}

void saveWorkAs(const SavedWork &work, QWidget *page, FileDialog &dialog)
{
    const std::optional<QStringList> texts = responsesForSaving(work, page);
    if (!texts)
        return;
    const FileDialogOutcome outcome = dialog.showSave(work.dialogs, page);
    if (!acceptDialogOutcome(work.dialogs, page, outcome))
        return;
    work.questionnaire.workFile().FileName = outcome.path;
    QString keptTheirs;
    if (!readyToWrite(work, page, dialog, outcome.path, &keptTheirs))
        return;
    if (!writeWork(work, page, outcome.path, *texts))
        return;
    // The file loaded last is let go once a copy is saved elsewhere.
    const QString loaded = work.guard.held(FileGuard::Slot::Loaded);
    if (!loaded.isEmpty() && QFileInfo(loaded) != QFileInfo(outcome.path))
        work.guard.hold(FileGuard::Slot::Loaded, QString());
    showSaved(work, page, keptTheirs);
}

void settleChangedFile(const SavedWork &work, QWidget *page, FileDialog &dialog, const QString &path,
                       ChangedFileChoice choice)
{
    const std::optional<QStringList> texts = responsesForSaving(work, page);
    if (!texts)
        return;
    // Looked at again: it may have changed once more, or gone.
    const DiskCheck check = work.guard.check(path);
    if (check.change != DiskChange::Unchanged && !changedFileChoices(check).contains(choice))
        choice = askAboutChange(work, page, path, check);
    QString keptTheirs;
    if (check.change == DiskChange::Unchanged && choice == ChangedFileChoice::Replace)
        choice = ChangedFileChoice::WriteAnew;
    if (!goOnAfterChoice(work, page, dialog, path, choice, &keptTheirs))
        return;
    saveAsCurrent(work, page, path, *texts, keptTheirs);
}

QList<ChangedFileChoice> changedFileChoices(const DiskCheck &check)
{
    // (Merge, with what this program last wrote as the common ancestor and
    // the version on disk as the other side, goes before Cancel.)
    switch (check.change) {
    case DiskChange::Unchanged:
        return {};
    case DiskChange::Removed:
        return {ChangedFileChoice::WriteAnew, ChangedFileChoice::SaveCopy, ChangedFileChoice::Cancel};
    case DiskChange::NotAFile:
    case DiskChange::Unreadable:
        return {ChangedFileChoice::SaveCopy, ChangedFileChoice::Cancel};
    case DiskChange::Changed:
        break;
    }
    return {ChangedFileChoice::SaveCopy, ChangedFileChoice::Replace, ChangedFileChoice::Cancel};
}

QString changedFileChoiceText(ChangedFileChoice choice)
{
    switch (choice) {
    case ChangedFileChoice::SaveCopy:
        return QStringLiteral("Save a Copy...");
    case ChangedFileChoice::Replace:
        return QStringLiteral("Replace It");
    case ChangedFileChoice::WriteAnew:
        return QStringLiteral("Write It Anew");
    case ChangedFileChoice::Cancel:
        break;
    }
    return QStringLiteral("Cancel");
}

QString changedFileNote(const QString &path, const DiskCheck &check)
{
    const QString name = QFileInfo(path).fileName();
    switch (check.change) {
    case DiskChange::Removed:
        return QStringLiteral("The work file %1 was removed or renamed by another program.").arg(name);
    case DiskChange::NotAFile:
        return QStringLiteral("The work file %1 was replaced by a folder or something else that is not a file.")
            .arg(name);
    default:
        break;
    }
    return QStringLiteral("Another program changed the work file %1 on %2. Your responses are not saved "
                          "there yet.")
        .arg(name, whenText(check.now));
}

void loadWork(const SavedWork &work, QWidget *start, FileDialog &openDialog)
{
    const FileDialogOutcome outcome = openDialog.showOpen(work.dialogs, start);
    if (!acceptDialogOutcome(work.dialogs, start, outcome))
        return;
    work.questionnaire.workFile().FileName = outcome.path;
    if (!mayLoad(work, start, outcome.path))
        return;
    if (!readWorkFile(work, start, outcome.path))
        return;
    work.dialogs.message(start, QStringLiteral("Successfully Loaded.."), Buttons::Ok, Icon::None,
                         QStringLiteral("Loaded"));
}

bool readWorkFile(const SavedWork &work, QWidget *parent, const QString &path)
{
    const WorkFileReading read =
        TextFromFile(path, [&work](bool reading) { work.dialogs.setBusy(reading); });
    if (!read.ok) {
        reportNotLoaded(work, parent, path, read.reason);
        return false;
    }
    work.questionnaire.setResponses(read.contents.responses);
    // Just loaded: nothing unsaved until the next change.
    work.questionnaire.markSaved();
    work.guard.seen(path, read.identity);
    work.guard.hold(FileGuard::Slot::Loaded, path);
    return true;
}

} // namespace brevant
