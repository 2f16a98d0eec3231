#pragma once

#include "core/catalogue.h"
#include "core/workfilestate.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class QTextDocument;

namespace brevant {

class ResponseCounter;
class ReviewModel;

// The questionnaire as the user fills it in: the 27 responses, the 16
// answers, which requirements are complete, and the current work file.
// Save, Load, Print, the reports and the recovery copy read and write it;
// the question pages are views of it, made when first shown. It is made
// empty and cheap: a response's document is made when it is first needed.
class Questionnaire : public QObject {
    Q_OBJECT
public:
    explicit Questionnaire(QObject *parent = nullptr);
    ~Questionnaire() override;

    // The document of response item (1..27), with a plain-text layout so
    // that a page's box shows it; made on first use. Its undo history is
    // the box's.
    QTextDocument *document(int item);
    // Its words and characters, kept as it is edited.
    ResponseCounter *counter(int item);

    // Item 1..27 exactly as typed, every line break as '\n'.
    QString response(int item) const;
    // The 27 responses in catalogue order.
    QStringList responses() const;
    // As the document holds it: paragraph ends as U+2029 (and a line
    // break of Shift+Enter as U+2028).
    QString rawResponse(int item) const;
    // The 27 of them so, for a writer that breaks lines at those too (it
    // saves a pass over every text).
    QStringList rawResponses() const;
    // Puts texts into responses 1, 2, ... (line breaks as '\n'), as Load
    // does; the undo history of each starts anew.
    void setResponses(const QStringList &texts);

    // The answer of an item with an answer box ("Yes" until changed); an
    // empty string for the others.
    QString answer(int item) const;
    void setAnswer(int item, const QString &text);
    // The answers of the 16 items that have an answer box, in catalogue order.
    QStringList answers() const;
    void setAnswers(const QStringList &texts);

    // Whether a response holds any text at all (a blank or a line break
    // counts).
    bool hasResponse(int item) const;
    // The response is not empty and the answer, where there is one, reads
    // exactly "Yes" (case and blanks count).
    bool isComplete(int item) const;
    // Every requirement of page 1..10 is complete.
    bool isPageComplete(int page) const;
    // The requirements of a page that are not complete, in page order.
    QList<int> incompleteItems(int page) const;
    // How many of the 27 are complete.
    int completeCount() const;
    // Why a requirement is not complete, in words: "no response yet",
    // "answer reads "No"" (what the answer reads, when it is not "Yes");
    // empty when it is complete.
    QStringList whyIncomplete(int item) const;

    // The review: states, comments, details, and what the review file
    // beside the work file holds besides.
    ReviewModel &review() { return *m_review; }
    const ReviewModel &review() const { return *m_review; }

    // The current work file, kept for the whole run.
    WorkFileState &workFile() { return m_workFile; }
    const WorkFileState &workFile() const { return m_workFile; }

    // Whether a response changed since the responses were last saved or
    // loaded. Answers are never in a work file and do not count.
    bool unsaved() const { return m_unsaved; }
    // The responses as they stand are in a work file now: just saved, or
    // just loaded.
    void markSaved();
    // The responses were restored from a recovery copy; until they are
    // saved (or a work file is loaded in their place), restoredUnsaved().
    void markRestored() { m_restored = true; }
    bool restoredUnsaved() const { return m_restored; }

signals:
    // The text of a response changed: at position, removed characters gave
    // way to added ones (as QTextDocument::contentsChange says). Formatting
    // that is not text never counts.
    void responseChanged(int item, int position, int removed, int added);
    void answerChanged(int item);
    // A response was given a whole new text (Load, a restored copy).
    void responseReplaced(int item);
    // A response or an answer of the item changed.
    void itemChanged(int item);
    void saved();

private:
    void contentsChange(int item, int position, int removed, int added);
    QStringList everyResponse(QString (Questionnaire::*text)(int) const) const;

    std::array<QTextDocument *, kItemCount> m_documents{};
    std::array<ResponseCounter *, kItemCount> m_counters{};
    std::array<QString, kItemCount> m_answers;
    WorkFileState m_workFile;
    ReviewModel *m_review = nullptr;
    bool m_unsaved = false;
    bool m_restored = false;
};

} // namespace brevant
