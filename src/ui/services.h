#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace brevant {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Critical };
enum class Answer { Ok, Yes, No };
// Whether a save dialog asks before a chosen file that exists is replaced.
enum class Overwrite { Replace, Ask };

// The error number a file dialog reports when the user cancels it.
inline constexpr int kCancelError = 32755;

// What a file dialog reports: a chosen path, a cancellation, or a failure.
struct FileDialogOutcome {
    enum class Kind { Chosen, Cancelled, Failed };
    Kind kind = Kind::Cancelled;
    QString path;          // Chosen
    int filterIndex = 0;   // Chosen: the file type chosen, 0 for the filter's first entry
    int error = 0;         // Cancelled: kCancelError; Failed: the error number
    QString description;   // Failed

    static FileDialogOutcome chosen(const QString &path, int filterIndex = 0);
    static FileDialogOutcome cancelled();
    static FileDialogOutcome failed(int error, const QString &description);
};

// Message boxes, file dialogs and the busy pointer. Every window reaches
// the user only through this, so tests can play a script instead.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Blocks until answered. A null title means the application's title.
    // The first button is the default. details, when not empty, stands
    // below the prompt in the box's smaller detail text.
    virtual Answer message(QWidget *parent, const QString &prompt, Buttons buttons,
                           Icon icon, const QString &title,
                           const QString &details = QString()) = 0;
    // A question answered by buttons of its own (choices, in the order
    // shown). The first is the default; the last is the way out that
    // Escape and the box's close button take. Returns the index pressed.
    virtual int choose(QWidget *parent, const QString &prompt, const QStringList &choices,
                       Icon icon, const QString &title, const QString &details = QString()) = 0;
    // filter: "Description (*.ext)|*.ext" pairs joined by '|'; the first
    // entry is the one chosen when the dialog opens.
    virtual FileDialogOutcome showSave(QWidget *parent, const QString &filter,
                                       const QString &fileName, Overwrite overwrite) = 0;
    virtual FileDialogOutcome showOpen(QWidget *parent, const QString &filter,
                                       const QString &fileName) = 0;
    // Busy pointer on or off. Nothing the user does meanwhile is dispatched
    // until the command that set it has ended.
    virtual void setBusy(bool busy) = 0;
};

// Asks the desktop to open a document or an address. showCode: 1 normal,
// 3 maximised. Returns false when the desktop has no program for it (the
// caller may then say where the file is).
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool open(QWidget *owner, const QString &verb, const QString &target,
                      const QString &parameters, const QString &directory, int showCode) = 0;
};

// Opens a file with the desktop; when the desktop has no program for it,
// tells the user where the file is (what: "the help document", "the
// report"). Returns whether it was opened.
bool openOrSayWhere(Dialogs &dialogs, Shell &shell, QWidget *owner, const QString &path, const QString &what,
                    const QString &directory = QString());

// A chosen name with the extension of its type added ("report" becomes
// "report.pdf", where nothing is named "report"): the dialog asked about
// the name typed, not this one, so a file already there is asked about here. Returns the path to write, or
// an empty string when the user keeps the file there.
QString withTypeExtension(Dialogs &dialogs, QWidget *parent, const QString &chosen, const QString &extension);

// How the process ends.
class Lifetime {
public:
    virtual ~Lifetime() = default;
    // Ends the program at once: no window's unload rule runs.
    virtual void endProgram() = 0;
    // The last window has been closed.
    virtual void lastWindowClosed() = 0;
};

// The shared message for a failed file dialog.
QString fileDialogErrorText(int error, const QString &description);

// Handles the non-chosen outcomes the same way for every command: a
// cancellation ends silently, a failure shows the shared message. Returns
// true when a path was chosen.
bool acceptDialogOutcome(Dialogs &dialogs, QWidget *parent, const FileDialogOutcome &outcome);

} // namespace brevant
