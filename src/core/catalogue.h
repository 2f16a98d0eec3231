#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace brevant {

inline constexpr int kPageCount = 10;
inline constexpr int kItemCount = 27;

// A label control: its name and its caption.
struct LabelText {
    QString name;
    QString text;
};

// A section frame of a page, with the labels that stand in it above its
// first item (the section lead-ins).
struct PageFrame {
    QString name;
    QString caption;
    QList<LabelText> intro;
};

// One question page window. The catalogue is written as a table of
// designated initializers, so every member has the value most pages and
// items have, and an entry names only what differs.
struct QuestionnairePage {
    int number = 0;               // 1..10
    QString window;               // Std1 ... Std5, std6, Std7 ... Std10
    QString caption;              // "Brevant Policies (Page n of 10)"
    QList<PageFrame> frames;      // top to bottom
    LabelText heading;            // the heading outside any frame (page 3 only)
    int headingBeforeFrame = -1;  // index into frames, or -1
    bool hasBack = true;
    QString nextCaption = QStringLiteral("Next"); // "Finish" on page 10
};

// One requirement: where it stands, its texts and its controls.
struct QuestionnaireItem {
    int number = 0;               // 1..27, the catalogue order
    int page = 0;                 // 1..10
    QString frame;                // section frame control name
    LabelText statement;
    QString answerBox;            // "no...", or empty: no Yes/No question
    QString answerPrompt;         // label name, or empty
    QString responseBox;          // "desc..."
    bool scrollBar = true;        // the response box's vertical scroll bar
    QString responsePrompt;       // label name, or empty
    QString responsePromptText;
    QString helpLabel;
    QStringList headings;         // controls printed above the response, in order
    QString example;              // the built-in example response

    bool hasAnswer() const { return !answerBox.isEmpty(); }
};

// The fixed questionnaire: ten pages and 27 items in catalogue order, which
// is also the top-to-bottom order on every page.
class QuestionnaireCatalogue {
public:
    static const QuestionnaireCatalogue &instance();

    const QList<QuestionnairePage> &pages() const { return m_pages; }
    const QList<QuestionnaireItem> &items() const { return m_items; }
    const QuestionnairePage &page(int number) const { return m_pages.at(number - 1); }
    const QuestionnaireItem &item(int number) const { return m_items.at(number - 1); }
    QList<const QuestionnaireItem *> itemsOfPage(int page) const;

    // The caption of a frame, heading, lead-in or statement label of a page;
    // a null string for an unknown control.
    QString controlText(int page, const QString &control) const;
    // The texts printed above an item's response, in order.
    QStringList headingTexts(int item) const;

    // The prompt beside an answer box on the given page.
    static QString answerPromptText(int page);

private:
    QuestionnaireCatalogue();
    QList<QuestionnairePage> m_pages;
    QList<QuestionnaireItem> m_items;
};

// The program's name, as message boxes and documents give it.
QString applicationTitle();

// A requirement as the program names it to the user: the start of its
// statement.
QString requirementName(const QuestionnaireItem &item);
// The code of the policy section a requirement stands in: "5-1:2",
// "5-2:2.1".
QString sectionCode(const QuestionnaireItem &item);

} // namespace brevant
