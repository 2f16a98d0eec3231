#include "workfile/workcommands.h"

#include "core/catalogue.h"
#include "core/workfileformat.h"
#include "core/workfileread.h"
#include "io/files.h"
#include "questionnaire/questionnaire.h"
#include "ui/filedialog.h"
#include "workfile/backups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // Every character is kept: in Windows-1252 where the code page holds
    // them all, in UTF-8 otherwise.
    const ContentWriter content = [&texts](QIODevice &out) { return TextToFile(out, texts); };
    QString reason;
    // A file written over keeps its old content in the backups folder.
    if (!work.backups.beforeReplacing(path, content, &reason) && work.backups.tellFailureOnce()) {
        work.dialogs.message(parent,
                             QStringLiteral("The program cannot keep a copy of the file that this save "
                                            "replaces: the folder\r\n%1\r\ncannot be written. %2\r\n\r\n"
                                            "The save goes on without that copy.")
                                 .arg(nativePath(work.backups.folder()), reason),
                             Buttons::Ok, Icon::Critical, QStringLiteral("Backup Not Kept"));
    }
    if (writeFileSafely(path, content, &reason)) {
        work.backups.written(path);
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

void showSaved(const SavedWork &work, QWidget *parent)
{
    // The first copy kept of a replaced file is named under the message.
    const QString kept = work.backups.keptToTellOnce();
    work.dialogs.message(parent, QStringLiteral("Successfully Saved.."), Buttons::Ok, Icon::None,
                         QStringLiteral("Saved"),
                         kept.isEmpty() ? QString()
                                        : QStringLiteral("The file's earlier content is kept in ")
                                              + nativePath(kept));
}

void reportNotLoaded(const SavedWork &work, QWidget *parent, const QString &path, const QString &why)
{
    work.dialogs.message(parent,
                         QStringLiteral("The work file\r\n") + nativePath(path)
                             + QStringLiteral("\r\ncould not be loaded: ") + why
                             + QStringLiteral("\r\n\r\nNo response was changed."),
                         Buttons::Ok, Icon::Critical, kNotLoaded);
}

} // namespace

void saveWork(const SavedWork &work, QWidget *page, FileDialog &dialog)
{
    const std::optional<QStringList> texts = responsesForSaving(work, page);
    if (!texts)
        return;
    WorkFileState &state = work.questionnaire.workFile();
    // The first Save asks for the current work file; later ones rewrite it.
    const bool held = state.pFileOpened;
    QString path = state.Name_File;
    if (!held) {
        const FileDialogOutcome outcome = dialog.showSave(work.dialogs, page);
        if (!acceptDialogOutcome(work.dialogs, page, outcome))
            return;
        path = outcome.path;
    }
    if (!writeWork(work, page, path, *texts))
        return;
    if (!held) {
        state.Name_File = path;
        state.pFileOpened = true;
    }
    showSaved(work, page);
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
    if (!writeWork(work, page, outcome.path, *texts))
        return;
    showSaved(work, page);
}

void loadWork(const SavedWork &work, QWidget *start, FileDialog &openDialog)
{
    const FileDialogOutcome outcome = openDialog.showOpen(work.dialogs, start);
    if (!acceptDialogOutcome(work.dialogs, start, outcome))
        return;
    work.questionnaire.workFile().FileName = outcome.path;
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
    return true;
}

} // namespace brevant
