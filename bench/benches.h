#pragma once

#include "measure.h"

#include <QList>
#include <QString>

namespace brevant {
class Speller;
}

namespace bench {

struct Settings {
    int runs = 7;                // per side, for the commands
    int startupRuns = 31;        // per side, for start-up
    QString programFolder;       // the built program folder
    QString program;             // the built program
    QString bareWindow;          // the bare Qt window program
    QString startupPlatform;     // Qt platform for the start-up runs
    QString workFolder;          // where the bench writes its files
    QString soffice;             // the peer's converter; empty when missing
    QString bareCli;             // the bare Qt command-line program
    QString peakProbe;           // runs a command and prints its peak memory
};

// Start-up time and memory of the program against the bare Qt window.
QList<Row> startupRows(const Settings &settings);

// Save, Load and the HTML report through the program's own commands, with
// 27 responses of 1 MiB each. Save and the HTML report give two rows: with
// every response edited since the last run (the first save after a Load,
// the goal row) and with one response edited (a record), both against the
// 27 texts taken out of their boxes and written with QSaveFile.
QList<Row> saveRows(const Settings &settings);
QList<Row> saveRowsOf(const Settings &settings, const QStringList &texts);
// What the check against a change on disk adds to a Save of the held work
// file: the look before writing, the fingerprint taken while writing, the
// identity kept and the lock made again.
Row saveCheckRow(const Settings &settings);
// Load, with the plain pages and with spell checking on (where the American
// English dictionary is installed), against plain boxes.
QList<Row> loadRows(const Settings &settings);
Row loadRow(const Settings &settings, brevant::Speller *speller, bool utf8);
QList<Row> htmlRows(const Settings &settings);
// The browser window showing the HTML report, against a bare text browser.
Row htmlShownRow(const Settings &settings);

// Typing into a 1 MiB response with the recovery copy, the count line and
// spell checking on, against a plain QPlainTextEdit: key press to repaint,
// median and 99th percentile.
QList<Row> typingRows(const Settings &settings);
// The same with the Contents window open beside the page.
QList<Row> typingWithContentsRows(const Settings &settings);
// The same with 50 comments on passages of the response.
QList<Row> typingWithCommentsRows(const Settings &settings);
// Going to a page through the Contents window against Next on a complete
// page, and Find All over 27 responses of 1 MiB against QString::indexOf
// over the same texts taken out of their boxes.
QList<Row> navigationRows(const Settings &settings);
// The window thread's part of one recovery copy write, 27 responses of
// 1 MiB with one changed, against a budget of 5 ms.
Row recoveryWriteRow(const Settings &settings);

// The printed report to PDF against Qt's own text layout, with 27
// responses of 40 KiB each; every run of the program's side goes to
// printRuns for the peer row.
Row printRow(const Settings &settings, QList<double> *printRuns);
// WrapLine over 4 and 16 times a text, against itself over the text once.
QList<Row> scalingRows(const Settings &settings);
// A word processor converting the same report from plain text, against the
// program's printed report runs.
Row peerRow(const Settings &settings, const QList<double> &printRuns);

// The report saved as a PDF, an ODT and a Word document through the
// template window, with 27 responses of 40 KiB: the PDF against
// QTextDocument::print of the same HTML report (time and peak memory), then
// against a word processor exporting the ODT as PDF/UA; the Word document
// against the ODT; the ODT and the Word document against a word processor
// converting the HTML report (skipped where it is missing).
QList<Row> documentRows(const Settings &settings);
// The peak memory of the PDF save against QTextDocument::print's, each in a
// process of its own: the bench itself, run with --memory-child WHAT
// (pdf or print) --child-folder PROGRAM_FOLDER --child-output FILE, which
// runs documentMemoryChild and exits.
Row documentMemoryRow(const Settings &settings);
int documentMemoryChild(const QString &what, const QString &programFolder, const QString &out);

// brevant-cli, each run a process of its own: --version against a bare Qt
// program that prints a line; the export of 60 work files (27 x 40 KiB)
// to tagged PDF with two jobs against one after another, against a word
// processor converting their ODTs, and its peak memory against one file's;
// the rollup of 500 work files (27 x 10 KiB) against wc -w.
QList<Row> cliRows(const Settings &settings);

} // namespace bench
