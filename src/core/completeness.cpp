#include "core/completeness.h"

#include "core/catalogue.h"

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

bool answerMeets(int item, const QString &answer)
{
    return !QuestionnaireCatalogue::instance().item(item).hasAnswer() || answer == QStringView(kYes);
}

} // namespace

bool isRequirementComplete(int item, bool hasResponse, const QString &answer)
{
    return hasResponse && answerMeets(item, answer);
}

QStringList whyRequirementIncomplete(int item, bool hasResponse, const QString &answer)
{
    QStringList why;
    if (!hasResponse)
        why << u"no response yet"_s;
    if (!answerMeets(item, answer))
        why << u"answer reads \"%1\""_s.arg(answer);
    return why;
}

} // namespace brevant
