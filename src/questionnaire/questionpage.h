#pragma once

#include "questionnaire/questionnaire.h"
#include "ui/filedialog.h"
#include "ui/window.h"

#include <QHash>
#include <QMap>
#include <QSet>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace brevant {

class Dialogs;
class Questionnaire;
class Speller;
struct QuestionnaireItem;

// One of the ten question pages, built from the catalogue: a view of the
// questionnaire's responses and answers of its requirements. Every control
// carries its catalogue name as its objectName.
class NoteBar;

class QuestionPage : public Window {
    Q_OBJECT
public:
    // speller: the spelling dictionary of the response boxes, or none.
    QuestionPage(WindowHost &host, Dialogs &dialogs, Questionnaire &questionnaire, int number,
                 Speller *speller = nullptr);

    int number() const { return m_number; }
    FileDialog &saveDialog() { return m_saveDialog; }

    QPlainTextEdit *responseBox(const QString &name) const { return m_responses.value(name); }
    QComboBox *answerBox(const QString &name) const { return m_answers.value(name); }

    // Every response box is filled and every answer box reads exactly "Yes".
    bool isComplete() const;
    // The requirements that keep the page from passing, in page order, each
    // by its section code and the start of its statement, with why.
    QStringList incompleteRequirements() const;

    void Form_Load() override;
    void Form_Unload() override;

    void next_Click();
    void Back_Click();
    void Save_Click();
    void SaveAs_Click();
    void showExample(int item);
    void Contents_Click();

    // The requirement whose answer box, HELP or response box has the
    // keyboard, or had it last; the page's first before any had.
    int currentItem() const;
    // Scrolls to requirement item of this page and puts the keyboard in its
    // response box, which it returns. The cursor is where the user last
    // was in that box, or at the end of a text not yet visited there.
    QPlainTextEdit *showRequirement(int item);

    // The quiet note above the buttons (a work file changed on disk).
    NoteBar *note() const { return m_note; }

signals:
    // Save and Save As write the whole work, so the program does them.
    void saveRequested(brevant::QuestionPage *page);
    void saveAsRequested(brevant::QuestionPage *page);

private:
    QWidget *buildItem(const QuestionnaireItem &item, QWidget *frame);
    // The keys of every page (questionpagekeys.cpp): Ctrl+S, Ctrl+Shift+S,
    // Ctrl+PgDown, Ctrl+PgUp, F1, Ctrl+F, F3, Shift+F3; each button's
    // tooltip names its key.
    void addKeys(QPushButton *save, QPushButton *saveAs, QPushButton *back, QPushButton *next);
    // The requirement whose boxes or HELP hold widget w, or 0.
    int itemOf(const QWidget *w) const;
    // The warning for an incomplete page. Returns true to go on; No ends
    // the program and returns false.
    bool confirmIncomplete(QWidget *parent);
    void finish();
    // Shows page n (1..10) and hides this one.
    void moveTo(int n);

    Dialogs &m_dialogs;
    Questionnaire &m_questionnaire;
    int m_number;
    Speller *m_speller;
    FileDialog m_saveDialog;
    QMap<QString, QPlainTextEdit *> m_responses;
    QMap<QString, QComboBox *> m_answers;
    QScrollArea *m_scroll = nullptr;
    NoteBar *m_note = nullptr;
    // The response boxes the user has been in since their text was last
    // replaced (by Load or a restored copy).
    QSet<const QPlainTextEdit *> m_visited;
    // Each requirement's answer box, HELP and response box.
    QHash<const QWidget *, int> m_itemOf;
    int m_lastItem = 0;
};

} // namespace brevant
