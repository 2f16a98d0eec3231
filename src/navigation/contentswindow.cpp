#include "navigation/contentswindow.h"

#include "navigation/contentsentry.h"
#include "questionnaire/questionnaire.h"
#include "questionnaire/reviewmodel.h"
#include "ui/responseaids.h"
#include "ui/widgets.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// A new count is shown this long after the change, so that typing
// repaints the entry a few times a second rather than at every key.
constexpr int kRefreshMs = 250;

QLabel *heading(const QString &text, const QFont &font, int indent, QWidget *parent)
{
    QLabel *label = makeLabel(QString(), text, font, parent);
    label->setContentsMargins(indent, 6, 0, 2);
    return label;
}

} // namespace

ContentsWindow::ContentsWindow(WindowHost &host, Questionnaire &questionnaire)
    : Window(host, u"Contents"_s, u"Contents"_s), m_questionnaire(questionnaire)
{
    setClosesOnEscape(true);
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    setFont(regularFont());
    m_summary = makeLabel(u"summary"_s, QString(), headingFont(), this);

    auto *list = new ContentsList;
    list->setObjectName(u"requirements"_s);
    list->setAccessibleName(u"Requirements"_s);
    auto *column = new QVBoxLayout(list);
    column->setSpacing(0);
    for (const QuestionnairePage &page : catalogue.pages()) {
        column->addWidget(heading(u"Page %1 of %2"_s.arg(page.number).arg(kPageCount), headingFont(), 0, list));
        QString lastSection;
        const auto section = [&](const QString &caption) {
            // Page 4's three frames share one caption: it is said once.
            if (caption.simplified() != lastSection)
                column->addWidget(heading(caption.simplified(), buttonFont(), 12, list));
            lastSection = caption.simplified();
        };
        for (int f = 0; f < page.frames.size(); ++f) {
            if (f == page.headingBeforeFrame)
                section(page.heading.text);
            section(page.frames.at(f).caption);
            for (const QuestionnaireItem *item : catalogue.itemsOfPage(page.number)) {
                if (item->frame != page.frames.at(f).name)
                    continue;
                auto *entry = new ContentsEntry(*item, list);
                connect(entry, &ContentsEntry::chosen, this, &ContentsWindow::choose);
                connect(entry, &ContentsEntry::focused, this,
                        [this](ContentsEntry *e) { m_scroll->ensureWidgetVisible(e, 0, 24); });
                connect(entry, &ContentsEntry::moveBy, this,
                        [this, item](int step) { moveFrom(item->number, step); });
                column->addWidget(entry);
                m_entries[item->number - 1] = entry;
            }
        }
    }
    column->addStretch(1);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setBackgroundRole(QPalette::Base);
    m_scroll->setWidget(list);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_scroll, 1);
    resize(list->sizeHint().width() + 40, 640);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &ContentsWindow::refreshPending);
    connect(&questionnaire, &Questionnaire::itemChanged, this, [this](int item) {
        m_pending.set(item - 1);
        if (isVisible() && !m_refresh.isActive())
            m_refresh.start();
    });
    connect(&questionnaire.review(), &ReviewModel::changed, this, [this](int item) {
        if (item == 0)
            m_pending.set();
        else
            m_pending.set(item - 1);
        if (isVisible() && !m_refresh.isActive())
            m_refresh.start();
    });
    for (int item = 1; item <= kItemCount; ++item)
        refresh(item);
    m_summary->setText(summary());
}

QString ContentsWindow::summary() const
{
    const ReviewModel &review = m_questionnaire.review();
    const int open = review.openCommentCount();
    return u"%1 of %2 requirements complete; %3 of %2 approved, %4"_s.arg(m_questionnaire.completeCount())
        .arg(kItemCount)
        .arg(review.approvedCount())
        .arg(open == 1 ? u"1 open comment"_s : u"%1 open comments"_s.arg(open));
}

QString ContentsWindow::reviewWords(const Questionnaire &questionnaire, int item)
{
    const ReviewModel &review = questionnaire.review();
    const int open = review.openComments(item);
    QString words = brevant::stateWords(review.state(item));
    if (open > 0)
        words += open == 1 ? u", 1 open comment"_s : u", %1 open comments"_s.arg(open);
    return words;
}

QString ContentsWindow::stateWords(const Questionnaire &questionnaire, int item)
{
    const QStringList why = questionnaire.whyIncomplete(item);
    return why.isEmpty() ? u"complete"_s : why.join(u", "_s);
}

void ContentsWindow::refresh(int item)
{
    ResponseCounter *counter = m_questionnaire.counter(item);
    // A text loaded while its count line was not shown is counted now.
    counter->refresh();
    const qint64 words = counter->count().words;
    m_entries.at(item - 1)->setState(!m_questionnaire.hasResponse(item) ? QString()
                                     : words == 1                       ? u"1 word"_s
                                                                        : u"%1 words"_s.arg(words),
                                     stateWords(m_questionnaire, item), reviewWords(m_questionnaire, item));
}

void ContentsWindow::refreshPending()
{
    for (int item = 1; item <= kItemCount; ++item) {
        if (m_pending.test(item - 1))
            refresh(item);
    }
    m_pending.reset();
    const QString now = summary();
    if (m_summary->text() != now)
        m_summary->setText(now);
}

void ContentsWindow::showEvent(QShowEvent *event)
{
    // What changed while it was hidden.
    refreshPending();
    Window::showEvent(event);
}

void ContentsWindow::setCurrentItem(int item)
{
    entry(item)->setFocus(Qt::OtherFocusReason);
    m_scroll->ensureWidgetVisible(entry(item), 0, 24);
}

void ContentsWindow::choose(int item)
{
    host().showItem(item, WindowHost::Keyboard::ToPage);
}

void ContentsWindow::moveFrom(int item, int step)
{
    setCurrentItem(std::clamp(item + step, 1, kItemCount));
}

} // namespace brevant
