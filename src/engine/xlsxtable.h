#pragma once

#include "document/table.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace brevant {

// The table as an XLSX workbook of one sheet: the header row in bold and
// frozen, numbers as numbers, every 0 shaded, the columns as wide as their
// texts; made, as its creation time says, at made. Empty, with the reason in
// *error, when it could not be made.
QByteArray xlsxTable(const Table &table, const QDateTime &made, QString *error);

} // namespace brevant
