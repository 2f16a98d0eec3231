#include "questionnaire/reviewmodel.h"

#include "questionnaire/questionnaire.h"

#include <QDateTime>
#include <QTextDocument>

namespace brevant {

namespace {

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

// A cursor's selection as the response's text has it.
QString selected(const QTextCursor &cursor)
{
    QString text = cursor.selectedText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

} // namespace

ReviewModel::ReviewModel(Questionnaire &questionnaire) : QObject(&questionnaire), m_questionnaire(questionnaire) {}

void ReviewModel::setReview(const Review &review)
{
    m_review = review;
    for (int item = 1; item <= kItemCount; ++item) {
        const RequirementReview &requirement = m_review.requirement(item);
        if (requirement.answer && QuestionnaireCatalogue::instance().item(item).hasAnswer())
            m_questionnaire.setAnswer(item, *requirement.answer);
        m_passages.at(std::size_t(item - 1)).clear();
        for (const ReviewComment &comment : requirement.comments)
            anchor(item, comment);
    }
    m_saved = reviewBytes(current());
    emit changed(0);
}

Review ReviewModel::current() const
{
    Review review = m_review;
    for (int item = 1; item <= kItemCount; ++item) {
        RequirementReview &requirement = review.requirement(item);
        if (QuestionnaireCatalogue::instance().item(item).hasAnswer())
            requirement.answer = m_questionnaire.answer(item);
        for (ReviewComment &comment : requirement.comments) {
            const QTextCursor at = passage(item, comment.id);
            if (!at.isNull())
                comment.offset = at.selectionStart();
        }
    }
    return review;
}

void ReviewModel::setDetails(const ReviewDetails &details)
{
    m_review.details = details;
    emit changed(0);
}

void ReviewModel::setState(int item, ReviewState state)
{
    RequirementReview &requirement = m_review.requirement(item);
    if (requirement.currentState() == state && requirement.state)
        return;
    requirement.state = state;
    emit changed(item);
}

QString ReviewModel::addComment(int item, int position, int length, const QString &text)
{
    QTextCursor cursor(m_questionnaire.document(item));
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    ReviewComment comment;
    comment.id = newCommentId();
    comment.author = m_author;
    comment.date = now();
    comment.quote = selected(cursor);
    comment.offset = position;
    comment.text = text;
    m_review.requirement(item).comments << comment;
    m_passages.at(std::size_t(item - 1)).insert(comment.id, cursor);
    emit changed(item);
    return comment.id;
}

void ReviewModel::reply(int item, const QString &id, const QString &text)
{
    if (ReviewComment *comment = find(item, id)) {
        comment->replies << ReviewReply{m_author, now(), text, {}};
        emit changed(item);
    }
}

void ReviewModel::setResolved(int item, const QString &id, bool resolved)
{
    ReviewComment *comment = find(item, id);
    if (comment && comment->resolved != resolved) {
        comment->resolved = resolved;
        emit changed(item);
    }
}

void ReviewModel::removeComment(int item, const QString &id)
{
    QList<ReviewComment> &comments = m_review.requirement(item).comments;
    const auto gone = std::remove_if(comments.begin(), comments.end(), [&](const ReviewComment &c) { return c.id == id; });
    if (gone == comments.end())
        return;
    comments.erase(gone, comments.end());
    m_passages.at(std::size_t(item - 1)).remove(id);
    emit changed(item);
}

QTextCursor ReviewModel::passage(int item, const QString &id) const
{
    const auto &passages = m_passages.at(std::size_t(item - 1));
    const auto it = passages.constFind(id);
    const ReviewComment *comment = nullptr;
    for (const ReviewComment &c : m_review.requirement(item).comments) {
        if (c.id == id)
            comment = &c;
    }
    if (it == passages.constEnd() || !comment)
        return QTextCursor();
    // Where it was followed to, unless an edit went through it: then
    // where the text holds it again, nearest to that place.
    if (selected(*it) == comment->quote)
        return *it;
    QTextDocument *document = it->document();
    const QString text = m_questionnaire.response(item);
    const qsizetype at = findQuote(text, comment->quote, it->selectionStart());
    if (at < 0)
        return QTextCursor();
    QTextCursor found(document);
    found.setPosition(int(at));
    found.setPosition(int(at + comment->quote.size()), QTextCursor::KeepAnchor);
    return found;
}

void ReviewModel::setAuthor(const QString &author, bool known)
{
    const bool confirmed = known && (!m_authorKnown || author != m_author);
    m_author = author;
    m_authorKnown = m_authorKnown || known;
    if (confirmed)
        emit authorConfirmed(author);
}

bool ReviewModel::unsaved() const
{
    return reviewBytes(current()) != m_saved;
}

void ReviewModel::markSaved()
{
    m_saved = reviewBytes(current());
}

ReviewComment *ReviewModel::find(int item, const QString &id)
{
    for (ReviewComment &comment : m_review.requirement(item).comments) {
        if (comment.id == id)
            return &comment;
    }
    return nullptr;
}

void ReviewModel::anchor(int item, const ReviewComment &comment)
{
    const QString text = m_questionnaire.response(item);
    const qsizetype at = findQuote(text, comment.quote, comment.offset);
    QTextCursor cursor(m_questionnaire.document(item));
    if (at >= 0) {
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + comment.quote.size()), QTextCursor::KeepAnchor);
    } else {
        // Gone already: the cursor waits where it was, so that the text,
        // should it come back, is found near it.
        cursor.setPosition(int(std::min<qint64>(comment.offset.value_or(0), text.size())));
    }
    m_passages.at(std::size_t(item - 1)).insert(comment.id, cursor);
}

} // namespace brevant
