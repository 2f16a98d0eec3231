#include "report/odttext.h"

#include "report/ziparchive.h"

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

QByteArray withoutTabsBeforeLineBreaks(const QByteArray &odt, QString *error)
{
    ZipArchive zip(odt);
    const std::optional<QByteArray> content = zip.read(u"content.xml"_s);
    if (!content) {
        if (error)
            *error = zip.errorString();
        return QByteArray();
    }
    // The writer's indentation: a line feed and the blanks after it. No
    // text of the document holds a line feed (its line breaks are
    // elements, and attributes escape them), so every one is indentation.
    QByteArray mended;
    mended.reserve(content->size());
    const char *p = content->constData();
    const char *const end = p + content->size();
    while (p < end) {
        const char *feed = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
        if (!feed) {
            mended.append(p, end - p);
            break;
        }
        mended.append(p, feed - p);
        p = feed + 1;
        while (p < end && *p == ' ')
            ++p;
    }
    // The writer's tab before each line break; a tab typed before it stays.
    mended.replace("<text:tab/><text:line-break/>", "<text:line-break/>");
    QByteArray bytes;
    if (zip.put(u"content.xml"_s, mended))
        bytes = zip.finish();
    if (bytes.isEmpty() && error)
        *error = zip.errorString();
    return bytes;
}

} // namespace brevant
