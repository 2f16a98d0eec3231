#pragma once

#include "ui/services.h"

#include <QString>
#include <QStringList>

namespace brevant {

// One window's common file dialog: its filter and the last name chosen.
// Cancelling is always reported as its own outcome (kCancelError).
class FileDialog {
public:
    void setFilter(const QString &filter) { m_filter = filter; }
    QString filter() const { return m_filter; }
    void setCancelError(bool on) { m_cancelError = on; }
    bool cancelError() const { return m_cancelError; }
    QString fileName() const { return m_fileName; }

    FileDialogOutcome showSave(Dialogs &dialogs, QWidget *parent);
    FileDialogOutcome showOpen(Dialogs &dialogs, QWidget *parent);

private:
    FileDialogOutcome remember(const FileDialogOutcome &outcome);

    QString m_filter;
    bool m_cancelError = false;
    QString m_fileName;
};

// "Dat Files (*.dat)|*.dat" -> "Dat Files (*.dat)", as Qt's dialogs take it.
QString qtFilterFrom(const QString &filter);
// The entries of that, one per file type, in the filter's order.
QStringList qtFilterEntries(const QString &filter);

} // namespace brevant
