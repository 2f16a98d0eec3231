#include "engine/odttext.h"

#include <QTextCursor>
#include <QTextDocument>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// A mark of private-use characters, which neither the templates nor the
// policy's texts hold, around the item's number.
QString responseMark(int number)
{
    return u"\uE000"_s + QString::number(number) + u"\uE001"_s;
}

// The response as the document holds it: line breaks within the
// paragraph, as the page's <br>.
QString paragraphText(const QString &response)
{
    QString text = documentText(response);
    text.replace(u'\n', QChar(QChar::LineSeparator));
    return text;
}

} // namespace

Report withResponseMarks(const Report &report)
{
    Report marked = report;
    for (ReportItem &item : marked.items)
        item.response = responseMark(item.number);
    return marked;
}

bool putTypedResponses(QTextDocument &doc, const Report &report)
{
    QTextCursor from(&doc);
    for (const ReportItem &item : report.items) {
        QTextCursor mark = doc.find(responseMark(item.number), from, QTextDocument::FindCaseSensitively);
        if (mark.isNull())
            return false;
        // The page's line end after the response is a blank to the parser:
        // not the user's.
        const int end = mark.selectionEnd();
        if (doc.characterAt(end) == u' ')
            mark.setPosition(end + 1, QTextCursor::KeepAnchor);
        QTextCursor first(&doc);
        first.setPosition(mark.selectionStart() + 1);
        mark.insertText(paragraphText(item.response), first.charFormat());
        from = mark;
    }
    return true;
}

} // namespace brevant
