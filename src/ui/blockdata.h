#pragma once

#include <QList>
#include <QTextBlockUserData>

#include <memory>

namespace brevant {

// What the response boxes keep of each paragraph between edits, so that an
// edit costs work on the paragraphs it touched only: its counts, and what
// the spell checker found in it.
class ResponseBlockData : public QTextBlockUserData {
public:
    // The sums over every paragraph of a document. A paragraph that goes
    // takes its share with it.
    struct Totals {
        qint64 words = 0;
        qint64 characters = 0;
        quint64 generation = 0;   // a whole new text starts a new one
    };

    ~ResponseBlockData() override;

    // The data of a block, made on first use.
    static ResponseBlockData *of(const QTextBlock &block);

    // Counts, once the counter has seen the paragraph.
    std::shared_ptr<Totals> totals;
    quint64 generation = 0;
    qint64 words = 0;
    qint64 characters = 0;

    // Spelling: the misspelt words found (start, length), and what they
    // were found in: the text's and the dictionary's generations (0: the
    // paragraph changed since).
    quint64 spellText = 0;
    quint64 spellWords = 0;
    QList<std::pair<int, int>> misspelt;
    // The word left unchecked because it was being typed (start, or -1).
    int typedWord = -1;
    int typedWordEnd = -1;
};

} // namespace brevant
