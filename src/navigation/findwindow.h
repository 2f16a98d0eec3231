#pragma once

#include "navigation/responsesearch.h"
#include "ui/window.h"

#include <QTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace brevant {

class Questionnaire;

// "Find and Replace": one small window beside the pages, made on first
// use, that looks through all 27 responses in catalogue order. It stays
// where it is while the page under it changes, so what it looks for, its
// choices and its count stay in one place whichever page a match is on.
// A match is shown by WindowHost::showItem (the page made if need be) and
// selected in its box; the count of matches and their requirements, "No
// matches" and what Replace All did are said in the window itself.
class FindWindow : public Window {
    Q_OBJECT
public:
    FindWindow(WindowHost &host, Questionnaire &questionnaire);

    SearchQuery query() const;
    // What the window says: the count of matches, "No matches", ...
    QString status() const;
    // Looks for text (Ctrl+F with a selection); the field takes the keyboard.
    void lookFor(const QString &text);

    // Find Next (backward: Find Previous): from where the keyboard is on
    // the page on screen, or from the start (the end) where no box has it.
    void find(bool backward);
    // Replaces the match selected in its box, then finds the next one.
    void replace();
    void replaceAll();
    // Takes the last Replace All back in every response it changed, as one
    // step (Undo, or Ctrl+Z where the fields have nothing of their own to
    // undo). A response edited since keeps its text.
    void undoReplaceAll();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether Ctrl+Z takes Replace All back: the field with the keyboard,
    // if any, has no typing of its own to undo.
    bool undoesReplaceAll(const QKeyEvent *key) const;
    // The requirement a box shows, or 0.
    int itemOf(const QPlainTextEdit *box) const;
    // The matches now: counted again only where what is looked for or the
    // responses changed since the last count.
    const SearchCount &count();
    void say(const QString &text);
    QString countWords(const SearchCount &count) const;

    Questionnaire &m_questionnaire;
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QLabel *m_status;
    QTimer m_recount;
    SearchCount m_count;
    SearchQuery m_counted;
    bool m_changedSinceCount = true;
    // What the last Replace All changed: each response, and its document's
    // revision right after.
    QList<std::pair<int, int>> m_replacedAll;
};

} // namespace brevant
