#pragma once

#include "updates/updatecheck.h"

#include <QList>
#include <QString>

namespace brevant {

// What one reading of the update database found.
struct UpdateReading {
    bool ok = false;
    QString error;            // why it could not be read, when !ok
    QList<UpdateRow> rows;    // every row of "updates", in stored order
};

// Reads the fields "Version" and "Updates" of every row of the table
// "updates" in the SQLite file at path. The file is opened read-only on a
// connection of its own for this one reading and closed again, so each
// call sees the file as it is now.
UpdateReading readUpdateDatabase(const QString &path);

} // namespace brevant
