#pragma once

#include <QString>

namespace brevant {

// A response box's raw text with every line break, of Enter (U+2029) and of
// Shift+Enter (U+2028) alike, as '\n'. Nothing else changes: no-break
// spaces stay (QTextDocument::toPlainText() would make them spaces).
QString withNewlines(QString rawText);

} // namespace brevant
