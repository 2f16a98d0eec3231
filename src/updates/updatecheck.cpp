#include "updates/updatecheck.h"

#include <algorithm>

namespace brevant {

bool updatesAnnounced(const QList<UpdateRow> &rows)
{
    const QString version = QString::fromUtf16(kProgramVersion);
    const QString yes = QStringLiteral("True");
    return std::any_of(rows.cbegin(), rows.cend(), [&](const UpdateRow &row) {
        return row.version == version && row.updates == yes;
    });
}

} // namespace brevant
