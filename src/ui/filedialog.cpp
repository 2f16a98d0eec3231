#include "ui/filedialog.h"

namespace brevant {

FileDialogOutcome FileDialog::showSave(Dialogs &dialogs, QWidget *parent)
{
    return remember(dialogs.showSave(parent, m_filter, m_fileName, Overwrite::Replace));
}

FileDialogOutcome FileDialog::showOpen(Dialogs &dialogs, QWidget *parent)
{
    return remember(dialogs.showOpen(parent, m_filter, m_fileName));
}

FileDialogOutcome FileDialog::remember(const FileDialogOutcome &outcome)
{
    if (outcome.kind == FileDialogOutcome::Kind::Chosen)
        m_fileName = outcome.path;
    return outcome;
}

QStringList qtFilterEntries(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        const QString &pattern = parts.at(i + 1);
        if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
            entries << description;
        else
            entries << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty())
        entries << parts.last();
    return entries;
}

QString qtFilterFrom(const QString &filter)
{
    return qtFilterEntries(filter).join(QStringLiteral(";;"));
}

} // namespace brevant
