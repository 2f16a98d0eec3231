#pragma once

#include "core/review.h"

#include <QHash>
#include <QObject>
#include <QTextCursor>

#include <array>

namespace brevant {

class Questionnaire;

// The review of the responses as the user and the quality office make it:
// each requirement's state and the comments on its passages, the
// document's details and all else the review file beside the work file
// holds. A comment's passage is followed as the response is edited (a
// cursor of the response's document holds it), and found again by its
// text where an edit went through it.
class ReviewModel : public QObject {
    Q_OBJECT
public:
    explicit ReviewModel(Questionnaire &questionnaire);

    // As Load reads it: the answers it records go into the boxes (an
    // absent one leaves its box as it is), the comments are anchored in
    // the responses as they are now.
    void setReview(const Review &review);
    // What the review file is to hold now: the answers of the boxes, each
    // comment's passage and place as they stand.
    Review current() const;
    const ReviewDetails &details() const { return m_review.details; }
    void setDetails(const ReviewDetails &details);

    ReviewState state(int item) const { return m_review.requirement(item).currentState(); }
    void setState(int item, ReviewState state);
    const QList<ReviewComment> &comments(int item) const { return m_review.requirement(item).comments; }
    int openComments(int item) const { return m_review.requirement(item).openComments(); }
    int approvedCount() const { return m_review.approvedCount(); }
    int openCommentCount() const { return m_review.openCommentCount(); }

    // A comment on the passage [position, position + length) of the
    // response; returns its id.
    QString addComment(int item, int position, int length, const QString &text);
    void reply(int item, const QString &id, const QString &text);
    void setResolved(int item, const QString &id, bool resolved);
    void removeComment(int item, const QString &id);
    // The comment's passage in the response as it stands; a null cursor
    // when the response no longer holds it.
    QTextCursor passage(int item, const QString &id) const;

    // Who writes the comments and replies made here; known once the user
    // has said it (or the settings kept it), else a guess to offer.
    const QString &author() const { return m_author; }
    bool authorKnown() const { return m_authorKnown; }
    void setAuthor(const QString &author, bool known);

    // Whether what the review file is to hold differs from what it held
    // when it was last read or written.
    bool unsaved() const;
    // It holds current() now.
    void markSaved();

signals:
    // A state, a comment or a reply of the item changed; 0: the details or
    // the whole review (Load).
    void changed(int item);
    // The user said who writes the comments.
    void authorConfirmed(const QString &author);

private:
    ReviewComment *find(int item, const QString &id);
    void anchor(int item, const ReviewComment &comment);

    Questionnaire &m_questionnaire;
    Review m_review;
    // The passage of each comment, by id, per requirement.
    std::array<QHash<QString, QTextCursor>, kItemCount> m_passages;
    QString m_author;
    bool m_authorKnown = false;
    QByteArray m_saved;   // reviewBytes of what the file held
};

} // namespace brevant
