#include "workfile/workcommands.h"

#include "app/program.h"
#include "app/responsecache.h"
#include "app/std0.h"
#include "questionnaire/catalogue.h"
#include "ui/filedialog.h"
#include "workfile/recoveryrecorder.h"
#include "workfile/workfileformat.h"

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

QString characterName(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    const bool visible = QChar::isPrint(c) && !QChar::isSpace(c);
    return visible ? QString::fromUcs4(&c, 1) + QStringLiteral(" (") + code + QLatin1Char(')') : code;
}

QString charactersList(const QList<char32_t> &characters)
{
    constexpr int kShown = 8;
    QStringList names;
    for (int i = 0; i < characters.size() && i < kShown; ++i)
        names << characterName(characters.at(i));
    QString list = names.join(QStringLiteral(", "));
    if (characters.size() > kShown)
        list += QStringLiteral(" and %1 more").arg(characters.size() - kShown);
    return list;
}

// Reads the boxes and checks that the work file can hold them. Returns the
// encoded responses to write, or nothing when the user is told why not or
// declines.
std::optional<QList<QByteArray>> workFileForSaving(Program &program, QWidget *parent)
{
    ResponseCache &cache = ResponseCache::of(program);
    QList<QByteArray> encoded;
    QList<int> withSeparator;
    QList<UnstorableCharacters> unstorable;
    for (int item = 1; item <= kItemCount; ++item) {
        const EncodedResponse &response = cache.workFile(item);
        encoded << response.bytes;
        if (response.holdsSeparator)
            withSeparator << item;
        if (!response.unstorable.isEmpty())
            unstorable << UnstorableCharacters{item, response.unstorable};
    }
    Dialogs &dialogs = program.dialogs();

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

    if (!unstorable.isEmpty()) {
        QStringList lines;
        for (const UnstorableCharacters &u : unstorable)
            lines << QStringLiteral("    ") + itemLabel(u.item) + QStringLiteral("\r\n        ")
                    + charactersList(u.characters);
        const Answer answer = dialogs.message(
            parent,
            QStringLiteral("Some responses contain characters that a work file cannot hold "
                           "(it stores Windows-1252 text):\r\n\r\n")
                + lines.join(QStringLiteral("\r\n"))
                + QStringLiteral("\r\n\r\nSave anyway, with \"?\" in their place?"),
            Buttons::YesNo, Icon::None, QStringLiteral("Save"));
        if (answer != Answer::Yes)
            return std::nullopt;
    }
    return encoded;
}

bool writeWork(Program &program, QWidget *parent, const QString &path, const QList<QByteArray> &responses)
{
    const QList<QByteArrayView> pieces = workFilePieces(responses);
    QString reason;
    // A file written over keeps its old content in the backups folder.
    BackupKeeper &backups = program.backups();
    if (!backups.beforeReplacing(path, pieces, &reason))
        program.backupFailed(backups.folder(), reason);
    if (writeFileSafely(path, pieces, &reason)) {
        backups.written(path);
        // The responses as they stand are on disk now.
        program.recovery().markClean();
        return true;
    }
    program.dialogs().message(parent,
                              QStringLiteral("The work could not be saved to\r\n") + nativePath(path)
                                  + QStringLiteral("\r\n\r\n") + reason
                                  + QStringLiteral("\r\n\r\nNothing was saved; a file already "
                                                   "there keeps what it had."),
                              Buttons::Ok, Icon::Critical, kNotSaved);
    return false;
}

void showSaved(Program &program, QWidget *parent)
{
    program.dialogs().message(parent, QStringLiteral("Successfully Saved.."), Buttons::Ok, Icon::None,
                              QStringLiteral("Saved"));
}

void reportNotLoaded(Program &program, QWidget *parent, const QString &path, const QString &why)
{
    program.dialogs().message(parent,
                              QStringLiteral("The work file\r\n") + nativePath(path)
                                  + QStringLiteral("\r\ncould not be loaded: ") + why
                                  + QStringLiteral("\r\n\r\nNo response was changed."),
                              Buttons::Ok, Icon::Critical, kNotLoaded);
}

} // namespace

void saveWork(Program &program, QWidget *page, FileDialog &dialog)
{
    const std::optional<QList<QByteArray>> encoded = workFileForSaving(program, page);
    if (!encoded)
        return;
    WorkFileState &state = program.std0()->state;
    // The first Save asks for the current work file; later ones rewrite it.
    const bool held = state.pFileOpened;
    QString path = state.Name_File;
    if (!held) {
        const FileDialogOutcome outcome = dialog.showSave(program.dialogs(), page);
        if (!acceptDialogOutcome(program.dialogs(), page, outcome))
            return;
        path = outcome.path;
    }
    if (!writeWork(program, page, path, *encoded))
        return;
    if (!held) {
        state.Name_File = path;
        state.pFileOpened = true;
    }
    showSaved(program, page);
}

void saveWorkAs(Program &program, QWidget *page, FileDialog &dialog)
{
    const std::optional<QList<QByteArray>> encoded = workFileForSaving(program, page);
    if (!encoded)
        return;
    const FileDialogOutcome outcome = dialog.showSave(program.dialogs(), page);
    if (!acceptDialogOutcome(program.dialogs(), page, outcome))
        return;
    program.std0()->state.FileName = outcome.path;
    if (!writeWork(program, page, outcome.path, *encoded))
        return;
    showSaved(program, page);
}

void loadWork(Program &program, Std0 *start)
{
    const FileDialogOutcome outcome = start->openDialog().showOpen(program.dialogs(), start);
    if (!acceptDialogOutcome(program.dialogs(), start, outcome))
        return;
    start->state.FileName = outcome.path;
    if (!start->TextFromFile(start->state.FileName))
        return;
    program.dialogs().message(start, QStringLiteral("Successfully Loaded.."), Buttons::Ok, Icon::None,
                              QStringLiteral("Loaded"));
}

bool readWorkFileIntoPages(Program &program, QWidget *parent, const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        reportNotLoaded(program, parent, path, QStringLiteral("it is a folder, not a file."));
        return false;
    }
    if (info.exists() && !info.isFile()) {
        reportNotLoaded(program, parent, path, QStringLiteral("it is not an ordinary file."));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportNotLoaded(program, parent, path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size > kMaxWorkFileSize) {
        reportNotLoaded(program, parent, path,
                        QStringLiteral("it holds %1 MiB, far more than any work file (at most %2 MiB).")
                            .arg(size / (1024 * 1024))
                            .arg(kMaxWorkFileSize / (1024 * 1024)));
        return false;
    }

    Dialogs &dialogs = program.dialogs();
    dialogs.setBusy(true);
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    const QString readError = file.errorString();
    file.close();
    dialogs.setBusy(false);
    if (readFailed) {
        reportNotLoaded(program, parent, path, readError);
        return false;
    }

    const WorkFileContents contents = parseWorkFile(bytes);
    if (!contents.complete()) {
        const QString why = bytes.isEmpty()
            ? QStringLiteral("the file is empty; a work file holds 27 responses.")
            : QStringLiteral("it is not a complete work file. It holds %1 of the 27 responses.")
                  .arg(contents.pieces);
        reportNotLoaded(program, parent, path, why);
        return false;
    }
    program.setResponses(contents.responses);
    // Just loaded: nothing unsaved until the next change.
    program.recovery().markClean();
    return true;
}

} // namespace brevant
