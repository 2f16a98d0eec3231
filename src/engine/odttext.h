#pragma once

#include "document/reportmodel.h"

#include <QByteArray>

class QTextDocument;

namespace brevant {

// The OpenDocument report holds each response as it was typed. Qt's HTML
// parser folds runs of blanks and leaves a blank after each response, and
// Qt's OpenDocument writer puts a tab before every line break (so that the
// last line of a justified paragraph does not stretch); these undo both.

// The report with a mark in place of each response, for the page that
// Qt's text engine reads.
Report withResponseMarks(const Report &report);

// Puts each response, as typed, in place of its mark in a document made
// from that page, in the mark's character format. False when a mark is
// missing (the document is then not to be written).
bool putTypedResponses(QTextDocument &doc, const Report &report);

} // namespace brevant
