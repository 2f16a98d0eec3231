#pragma once

#include "questionnaire/catalogue.h"

#include <QString>
#include <QStringList>

namespace brevant {

// A response box's raw text with every line break, of Enter (U+2029) and of
// Shift+Enter (U+2028) alike, as '\n'. Nothing else changes: no-break
// spaces stay (QTextDocument::toPlainText() would make them spaces).
QString withNewlines(QString rawText);

// The 27 responses and the 16 answers of the questionnaire, wherever the
// program keeps them: what Save, Load, Print and the reports read and
// write. Reaching a response may make the page that holds it.
class ResponseStore {
public:
    virtual ~ResponseStore() = default;

    // Item 1..27 exactly as typed, every line break as '\n'.
    virtual QString response(int item) = 0;
    // The 27 responses in catalogue order.
    QStringList responses()
    {
        QStringList texts;
        texts.reserve(kItemCount);
        for (int item = 1; item <= kItemCount; ++item)
            texts << response(item);
        return texts;
    }
    // Puts texts into responses 1, 2, ...; line breaks as '\n'.
    virtual void setResponses(const QStringList &texts) = 0;

    // The answers of the 16 items that have an answer box, in catalogue order.
    virtual QStringList answers() = 0;
    virtual void setAnswers(const QStringList &texts) = 0;

    // The responses as they stand are in a work file now: just saved, or
    // just loaded.
    virtual void markSaved() = 0;
};

} // namespace brevant
