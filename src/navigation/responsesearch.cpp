#include "navigation/responsesearch.h"

#include "core/catalogue.h"
#include "questionnaire/questionnaire.h"

#include <QTextCursor>
#include <QTextDocument>

namespace brevant {

namespace {

Qt::CaseSensitivity sensitivity(const SearchQuery &query)
{
    return query.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

bool standsAlone(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !isWordCharacter(text.at(at - 1)))
        && (at + length >= text.size() || !isWordCharacter(text.at(at + length)));
}

} // namespace

qsizetype findForward(QStringView text, const SearchQuery &query, qsizetype from)
{
    const qsizetype n = query.text.size();
    if (n == 0 || from < 0)
        return -1;
    for (qsizetype at = text.indexOf(query.text, from, sensitivity(query)); at >= 0;
         at = text.indexOf(query.text, at + 1, sensitivity(query))) {
        if (!query.wholeWords || standsAlone(text, at, n))
            return at;
    }
    return -1;
}

qsizetype findBackward(QStringView text, const SearchQuery &query, qsizetype to)
{
    const qsizetype n = query.text.size();
    if (n == 0 || to - n < 0)
        return -1;
    // (A negative start would count from the end of the text.)
    for (qsizetype at = text.lastIndexOf(query.text, to - n, sensitivity(query)); at >= 0;
         at = at > 0 ? text.lastIndexOf(query.text, at - 1, sensitivity(query)) : -1) {
        if (!query.wholeWords || standsAlone(text, at, n))
            return at;
    }
    return -1;
}

QList<qsizetype> findAll(QStringView text, const SearchQuery &query)
{
    QList<qsizetype> found;
    for (qsizetype at = findForward(text, query, 0); at >= 0; at = findForward(text, query, at + query.text.size()))
        found << at;
    return found;
}

bool selectionMatches(const QTextCursor &cursor, const SearchQuery &query)
{
    if (!cursor.hasSelection() || query.isEmpty()
        || cursor.selectedText().compare(query.text, sensitivity(query)) != 0)
        return false;
    const QTextDocument *document = cursor.document();
    return !query.wholeWords
        || (!isWordCharacter(document->characterAt(cursor.selectionStart() - 1))
            && !isWordCharacter(document->characterAt(cursor.selectionEnd())));
}

SearchCount countInResponses(const Questionnaire &questionnaire, const SearchQuery &query)
{
    SearchCount count;
    if (query.isEmpty())
        return count;
    const qsizetype n = query.text.size();
    for (int item = 1; item <= kItemCount; ++item) {
        const QString text = questionnaire.rawResponse(item);
        qsizetype inItem = 0;
        for (qsizetype at = findForward(text, query, 0); at >= 0; at = findForward(text, query, at + n))
            ++inItem;
        if (inItem > 0) {
            count.matches += inItem;
            count.items << item;
        }
    }
    return count;
}

SearchHit findInResponses(const Questionnaire &questionnaire, const SearchQuery &query, int item,
                          qsizetype position, bool backward)
{
    if (query.isEmpty())
        return {};
    const qsizetype n = query.text.size();
    const QString own = questionnaire.rawResponse(item);
    qsizetype at = backward ? findBackward(own, query, position) : findForward(own, query, position);
    if (at >= 0)
        return {item, at};
    for (int step = 1; step < kItemCount; ++step) {
        const int other = backward ? (item - 1 - step + kItemCount) % kItemCount + 1
                                   : (item - 1 + step) % kItemCount + 1;
        const QString text = questionnaire.rawResponse(other);
        at = backward ? findBackward(text, query, text.size()) : findForward(text, query, 0);
        if (at >= 0)
            return {other, at};
    }
    // Round to the same response: what lies on the other side of position.
    at = backward ? findBackward(own, query, own.size()) : findForward(own, query, 0);
    if (at >= 0 && (backward ? at + n > position : at < position))
        return {item, at};
    return {};
}

int replaceInResponse(Questionnaire &questionnaire, int item, const SearchQuery &query,
                      const QString &replacement)
{
    const QList<qsizetype> found = findAll(questionnaire.rawResponse(item), query);
    if (found.isEmpty())
        return 0;
    QTextCursor cursor(questionnaire.document(item));
    cursor.beginEditBlock();
    // From the last to the first, so that the places before stay where they are.
    for (auto at = found.crbegin(); at != found.crend(); ++at) {
        cursor.setPosition(int(*at));
        cursor.setPosition(int(*at + query.text.size()), QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
    }
    cursor.endEditBlock();
    return int(found.size());
}

} // namespace brevant
