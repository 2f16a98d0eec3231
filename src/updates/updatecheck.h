#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace brevant {

// The version of this program as the update database names it.
inline constexpr char16_t kProgramVersion[] = u"1.0";
// The page the update check opens when the database announces updates.
inline constexpr char16_t kUpdatePage[] = u"https://www.brevant.example/updates/";

// One row of the table "updates"; a null field has no value.
struct UpdateRow {
    std::optional<QString> version;
    std::optional<QString> updates;
};

// True when some row speaks of this program's version and says "True".
// Both comparisons are exact and case-sensitive; null fields never match,
// and an empty table announces nothing.
bool updatesAnnounced(const QList<UpdateRow> &rows);

} // namespace brevant
