#include "document/printreport.h"

#include "core/catalogue.h"
#include "document/printsurface.h"
#include "document/wrapline.h"

namespace brevant {

bool printQuestionnaireReport(PrintSurface &surface, const QStringList &responses)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    for (int item = 1; item <= kItemCount; ++item) {
        surface.setBold(true);
        const QStringList headings = catalogue.headingTexts(item);
        for (const QString &heading : headings) {
            if (!WrapLine(surface, heading))
                return false;
        }
        if (!WrapLine(surface, QStringLiteral("Response")))
            return false;
        surface.setBold(false);
        surface.setItalic(true);
        if (!WrapLine(surface, responses.value(item - 1)))
            return false;
        surface.setItalic(false);
        if (!WrapLine(surface, QString()))
            return false;
    }
    return surface.endDocument();
}

} // namespace brevant
