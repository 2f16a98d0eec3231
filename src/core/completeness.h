#pragma once

#include <QString>
#include <QStringList>

namespace brevant {

// The one answer that meets a requirement, exactly as typed.
inline constexpr char16_t kYes[] = u"Yes";

// The page test's rule for requirement item (1..27): it has a response (a
// blank or a line break counts), and its answer, where it has an answer
// box, reads exactly "Yes" (case and blanks count).
bool isRequirementComplete(int item, bool hasResponse, const QString &answer);

// Why a requirement is not complete, in words: "no response yet",
// "answer reads "No"" (what the answer reads, when it is not "Yes");
// empty when it is complete.
QStringList whyRequirementIncomplete(int item, bool hasResponse, const QString &answer);

} // namespace brevant
