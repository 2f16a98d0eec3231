#include "questionnaire/questionnaire.h"

#include "core/completeness.h"
#include "core/responsetext.h"
#include "questionnaire/reviewmodel.h"
#include "ui/formatting.h"
#include "ui/responseaids.h"

#include <QPlainTextDocumentLayout>
#include <QTextDocument>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

const QuestionnaireCatalogue &catalogue()
{
    return QuestionnaireCatalogue::instance();
}

} // namespace

Questionnaire::Questionnaire(QObject *parent) : QObject(parent), m_review(new ReviewModel(*this))
{
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (item.hasAnswer())
            m_answers[item.number - 1] = QString::fromUtf16(kYes);
    }
}

Questionnaire::~Questionnaire() = default;

QTextDocument *Questionnaire::document(int item)
{
    QTextDocument *&document = m_documents.at(item - 1);
    if (!document) {
        document = new QTextDocument(this);
        document->setDocumentLayout(new QPlainTextDocumentLayout(document));
        m_counters[item - 1] = new ResponseCounter(document);
        connect(document, &QTextDocument::contentsChange, this,
                [this, item](int position, int removed, int added) {
                    contentsChange(item, position, removed, added);
                });
    }
    return document;
}

ResponseCounter *Questionnaire::counter(int item)
{
    document(item);
    return m_counters.at(item - 1);
}

void Questionnaire::contentsChange(int item, int position, int removed, int added)
{
    // Underlining a misspelt word, or marking what a search found, changes
    // no text.
    if (FormattingOnly::active(m_documents.at(item - 1)))
        return;
    m_unsaved = true;
    emit responseChanged(item, position, removed, added);
    emit itemChanged(item);
}

QString Questionnaire::rawResponse(int item) const
{
    const QTextDocument *document = m_documents.at(item - 1);
    return document ? document->toRawText() : QString();
}

QString Questionnaire::response(int item) const
{
    return withNewlines(rawResponse(item));
}

QStringList Questionnaire::responses() const
{
    return everyResponse(&Questionnaire::response);
}

QStringList Questionnaire::rawResponses() const
{
    return everyResponse(&Questionnaire::rawResponse);
}

QStringList Questionnaire::everyResponse(QString (Questionnaire::*text)(int) const) const
{
    QStringList texts;
    texts.reserve(kItemCount);
    for (int item = 1; item <= kItemCount; ++item)
        texts << (this->*text)(item);
    return texts;
}

void Questionnaire::setResponses(const QStringList &texts)
{
    for (int item = 1; item <= kItemCount && item <= texts.size(); ++item) {
        const QString &text = texts.at(item - 1);
        // A response left empty and still empty stays without a document.
        if (!m_documents.at(item - 1) && text.isEmpty())
            continue;
        document(item)->setPlainText(text);
        emit responseReplaced(item);
    }
}

QString Questionnaire::answer(int item) const
{
    return m_answers.at(item - 1);
}

void Questionnaire::setAnswer(int item, const QString &text)
{
    if (!catalogue().item(item).hasAnswer() || m_answers.at(item - 1) == text)
        return;
    m_answers[item - 1] = text;
    emit answerChanged(item);
    emit itemChanged(item);
}

QStringList Questionnaire::answers() const
{
    QStringList texts;
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (item.hasAnswer())
            texts << m_answers.at(item.number - 1);
    }
    return texts;
}

void Questionnaire::setAnswers(const QStringList &texts)
{
    qsizetype k = 0;
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (!item.hasAnswer())
            continue;
        if (k < texts.size())
            setAnswer(item.number, texts.at(k));
        ++k;
    }
}

bool Questionnaire::hasResponse(int item) const
{
    const QTextDocument *document = m_documents.at(item - 1);
    return document && !document->isEmpty();
}

bool Questionnaire::isComplete(int item) const
{
    return isRequirementComplete(item, hasResponse(item), m_answers.at(item - 1));
}

bool Questionnaire::isPageComplete(int page) const
{
    return incompleteItems(page).isEmpty();
}

QList<int> Questionnaire::incompleteItems(int page) const
{
    QList<int> items;
    for (const QuestionnaireItem *item : catalogue().itemsOfPage(page)) {
        if (!isComplete(item->number))
            items << item->number;
    }
    return items;
}

int Questionnaire::completeCount() const
{
    int count = 0;
    for (int item = 1; item <= kItemCount; ++item)
        count += isComplete(item) ? 1 : 0;
    return count;
}

QStringList Questionnaire::whyIncomplete(int item) const
{
    return whyRequirementIncomplete(item, hasResponse(item), m_answers.at(item - 1));
}

void Questionnaire::markSaved()
{
    m_unsaved = false;
    m_restored = false;
    emit saved();
}

} // namespace brevant
