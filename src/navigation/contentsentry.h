#pragma once

#include <QString>
#include <QWidget>

namespace brevant {

struct QuestionnaireItem;

// The column of entries in the Contents window, with the page and section
// headings between them: a list to screen readers.
class ContentsList : public QWidget {
    Q_OBJECT
public:
    explicit ContentsList(QWidget *parent = nullptr);
};

// One requirement in the Contents window: its number, section code, the
// start of its statement, its word count and its state in words. It draws
// itself, so that a new count repaints this one line and lays out nothing.
// A double click, Return, Enter, Space or a screen reader's press action
// chooses it; its accessible name says what the line shows, beginning
// "Requirement N".
class ContentsEntry : public QWidget {
    Q_OBJECT
public:
    ContentsEntry(const QuestionnaireItem &item, QWidget *parent);

    int item() const { return m_item; }
    QString words() const { return m_words; }
    QString state() const { return m_state; }
    // words: "18 words", or empty for no response; state: "complete",
    // "no response yet", ...; review: its review state and open comments,
    // "in review, 2 open comments". Repaints and renames only what changed.
    void setState(const QString &words, const QString &state, const QString &review = QString());
    QString review() const { return m_review; }
    // What a double click or Return does.
    void choose();

    QSize sizeHint() const override;

signals:
    void chosen(int item);
    void focused(brevant::ContentsEntry *entry);
    // Up, Down, Page Up, Page Down, Home or End: the entry so many away
    // (more than there are: the first or the last) is to take the keyboard.
    void moveBy(int step);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_item;
    QString m_number;
    QString m_code;
    QString m_statement;
    QString m_words;
    QString m_state;
    QString m_review;
};

} // namespace brevant
