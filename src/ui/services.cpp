#include "ui/services.h"

#include <QDir>
#include <QFileInfo>

namespace brevant {

FileDialogOutcome FileDialogOutcome::chosen(const QString &path, int filterIndex)
{
    FileDialogOutcome o;
    o.kind = Kind::Chosen;
    o.path = path;
    o.filterIndex = filterIndex;
    return o;
}

FileDialogOutcome FileDialogOutcome::cancelled()
{
    FileDialogOutcome o;
    o.kind = Kind::Cancelled;
    o.error = kCancelError;
    o.description = QStringLiteral("Cancel was selected.");
    return o;
}

FileDialogOutcome FileDialogOutcome::failed(int error, const QString &description)
{
    FileDialogOutcome o;
    o.kind = Kind::Failed;
    o.error = error;
    o.description = description;
    return o;
}

QString fileDialogErrorText(int error, const QString &description)
{
    return QStringLiteral("Error ") + QString::number(error) + QStringLiteral(" selecting file.\r\n")
        + description;
}

bool acceptDialogOutcome(Dialogs &dialogs, QWidget *parent, const FileDialogOutcome &outcome)
{
    switch (outcome.kind) {
    case FileDialogOutcome::Kind::Chosen:
        return true;
    case FileDialogOutcome::Kind::Cancelled:
        return false;
    case FileDialogOutcome::Kind::Failed:
        dialogs.message(parent, fileDialogErrorText(outcome.error, outcome.description), Buttons::Ok,
                        Icon::None, QString());
        return false;
    }
    return false;
}

bool openOrSayWhere(Dialogs &dialogs, Shell &shell, QWidget *owner, const QString &path, const QString &what,
                    const QString &directory)
{
    if (shell.open(owner, QStringLiteral("open"), path, QString(), directory, 1))
        return true;
    dialogs.message(owner,
                    QStringLiteral("This computer has no program set up to open %1. It is saved here:\r\n%2"
                                   "\r\n\r\nOpen it with a program of your choice, or ask your system "
                                   "administrator to set one up for files of its type.")
                        .arg(what, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())),
                    Buttons::Ok, Icon::None, QStringLiteral("Not Opened"));
    return false;
}

QString withTypeExtension(Dialogs &dialogs, QWidget *parent, const QString &chosen, const QString &extension)
{
    // A name with an extension, or one already there (which the user chose
    // as it is), stays as chosen.
    if (!QFileInfo(chosen).suffix().isEmpty() || QFileInfo::exists(chosen))
        return chosen;
    const QString path = chosen + u'.' + extension;
    const QFileInfo info(path);
    if (!info.exists())
        return path;
    // As the file dialog asks for a name typed.
    const Answer answer = dialogs.message(parent,
                                          QStringLiteral("%1 already exists.\r\nDo you want to replace it?")
                                              .arg(QDir::toNativeSeparators(info.absoluteFilePath())),
                                          Buttons::YesNo, Icon::None, QStringLiteral("Confirm Save As"));
    return answer == Answer::Yes ? path : QString();
}

} // namespace brevant
