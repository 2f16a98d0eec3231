#pragma once

class QWidget;

namespace brevant {

class FileDialog;
class Program;
class Std0;

// Save, Save As (the same on every page) and Load saved work.
void saveWork(Program &program, QWidget *page, FileDialog &dialog);
void saveWorkAs(Program &program, QWidget *page, FileDialog &dialog);
void loadWork(Program &program, Std0 *start);

} // namespace brevant
