#pragma once

class QString;
class QWidget;

namespace brevant {

class FileDialog;
class Program;
class Std0;

// Save, Save As (the same on every page) and Load saved work.
void saveWork(Program &program, QWidget *page, FileDialog &dialog);
void saveWorkAs(Program &program, QWidget *page, FileDialog &dialog);
void loadWork(Program &program, Std0 *start);

// Reads the work file at path into the 27 response boxes, with the busy
// pointer on while the file is read. A file that cannot be read, is too
// large or holds fewer than 27 responses is reported to the user (parent
// of the message) and changes no box. Returns true when the boxes were set.
bool readWorkFileIntoPages(Program &program, QWidget *parent, const QString &path);

} // namespace brevant
