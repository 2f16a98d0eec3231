#include "ui/services.h"

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

QString applicationTitle()
{
    return QStringLiteral("Brevant Policies");
}

} // namespace brevant
