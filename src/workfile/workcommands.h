#pragma once

#include <QList>

class QString;
class QWidget;

namespace brevant {

class BackupKeeper;
class Dialogs;
class FileDialog;
class FileGuard;
class Questionnaire;
struct DiskCheck;

// What Save, Save As and Load saved work use: the responses and the
// current work file are the questionnaire's.
struct SavedWork {
    Dialogs &dialogs;
    Questionnaire &questionnaire;
    BackupKeeper &backups;
    // What each work file was when last read or written, the locks and the
    // watch on the files held.
    FileGuard &guard;
};

// Save and Save As: the same on every page, each with the page's dialog.
void saveWork(const SavedWork &work, QWidget *page, FileDialog &dialog);
void saveWorkAs(const SavedWork &work, QWidget *page, FileDialog &dialog);
// Load saved work on the start window.
void loadWork(const SavedWork &work, QWidget *start, FileDialog &openDialog);

// What the user may do about a work file that another program changed
// since this program last read or wrote it, asked before a Save writes it
// and offered by the note on the pages.
enum class ChangedFileChoice { SaveCopy, Replace, WriteAnew, Cancel };
// The buttons for a change of this kind, in the order shown, the way out
// last.
QList<ChangedFileChoice> changedFileChoices(const DiskCheck &check);
QString changedFileChoiceText(ChangedFileChoice choice);
// What the pages' note says of such a change (one line).
QString changedFileNote(const QString &path, const DiskCheck &check);
// The choice made in the pages' note: Save a Copy... or Replace It, as the
// question before a Save would have had them.
// path: the work file the note is about.
void settleChangedFile(const SavedWork &work, QWidget *page, FileDialog &dialog, const QString &path,
                       ChangedFileChoice choice);

// Reads the work file at path into the 27 responses, with the busy pointer
// on while the file is read. A file that cannot be read, is too large or
// holds fewer than 27 responses is reported to the user (parent of the
// message) and changes no response. Returns true when they were set.
bool readWorkFile(const SavedWork &work, QWidget *parent, const QString &path);

} // namespace brevant
