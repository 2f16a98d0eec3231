#pragma once

#include <QList>
#include <QString>
#include <QStringView>

class QTextCursor;

namespace brevant {

class Questionnaire;

// What Find looks for: the letters' case ignored and matches anywhere in a
// word, unless told otherwise.
struct SearchQuery {
    QString text;
    bool matchCase = false;
    bool wholeWords = false;

    bool isEmpty() const { return text.isEmpty(); }
    bool operator==(const SearchQuery &) const = default;
};

// In one text, positions counted as the response's document counts them.
// The first match that starts at or after from, or -1.
qsizetype findForward(QStringView text, const SearchQuery &query, qsizetype from);
// The last match that ends at or before to, or -1.
qsizetype findBackward(QStringView text, const SearchQuery &query, qsizetype to);
// Every match, first to last, none overlapping the one before.
QList<qsizetype> findAll(QStringView text, const SearchQuery &query);
// Whether a cursor's selection is a match where it stands.
bool selectionMatches(const QTextCursor &cursor, const SearchQuery &query);

// A match in the responses: requirement 1..27 and where in its response.
struct SearchHit {
    int item = 0;
    qsizetype position = -1;
    bool isValid() const { return item > 0; }
};

// How many matches the 27 responses hold, and in which requirements.
struct SearchCount {
    qsizetype matches = 0;
    QList<int> items;
};

// Over the questionnaire's responses in catalogue order, read from their
// documents: no page need exist.
SearchCount countInResponses(const Questionnaire &questionnaire, const SearchQuery &query);
// The match after position in response item (backward: the one before
// it), going on through the following requirements, from 27 round to 1
// (backward: from 1 round to 27), back to the start of the same response.
SearchHit findInResponses(const Questionnaire &questionnaire, const SearchQuery &query, int item,
                          qsizetype position, bool backward);
// Replaces every match in response item as one step of its undo history;
// returns how many it replaced.
int replaceInResponse(Questionnaire &questionnaire, int item, const SearchQuery &query,
                      const QString &replacement);

} // namespace brevant
