#pragma once

class QString;
class QWidget;

namespace brevant {

class BackupKeeper;
class Dialogs;
class FileDialog;
class Questionnaire;

// What Save, Save As and Load saved work use: the responses and the
// current work file are the questionnaire's.
struct SavedWork {
    Dialogs &dialogs;
    Questionnaire &questionnaire;
    BackupKeeper &backups;
};

// Save and Save As: the same on every page, each with the page's dialog.
void saveWork(const SavedWork &work, QWidget *page, FileDialog &dialog);
void saveWorkAs(const SavedWork &work, QWidget *page, FileDialog &dialog);
// Load saved work on the start window.
void loadWork(const SavedWork &work, QWidget *start, FileDialog &openDialog);

// Reads the work file at path into the 27 responses, with the busy pointer
// on while the file is read. A file that cannot be read, is too large or
// holds fewer than 27 responses is reported to the user (parent of the
// message) and changes no response. Returns true when they were set.
bool readWorkFile(const SavedWork &work, QWidget *parent, const QString &path);

} // namespace brevant
