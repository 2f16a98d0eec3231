#pragma once

#include <QBoxLayout>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace brevant {

// Fonts of the program's windows: Arial (Liberation Sans stands in).
QFont regularFont();        // 9 pt: statements, prompts, boxes
QFont headingFont();        // bold 9.75 pt: frame captions, headings
QFont buttonFont();         // bold 9 pt: buttons and HELP labels
QFont exampleFont();        // 8.25 pt: the Example window

// Makes the small widgets below known to screen readers as what they are.
void installAccessibleFactory();

// A label that reacts to a click, such as the HELP labels.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);
    // What a click does (a screen reader's press action).
    void activate();
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// A drop-down box whose own name reaches screen readers (an answer box, a
// review state): the toolkit's bridge on this platform gives such a box its
// current text ("Yes") as its name.
class AnswerBox : public QComboBox {
    Q_OBJECT
public:
    explicit AnswerBox(QWidget *parent = nullptr) : QComboBox(parent) { installAccessibleFactory(); }
};

// A push button that Enter and Return press when it has the focus, as
// Space does.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// A quiet note across a window, with buttons of its own and one that
// hides it: it tells without taking the keyboard from what the user types.
class NoteBar : public QFrame {
    Q_OBJECT
public:
    explicit NoteBar(QWidget *parent = nullptr);
    // Shows text with a button for each choice (in order), then Hide.
    void showNote(const QString &text, const QStringList &choices);
    QString text() const;
signals:
    // The choice pressed (its index); the note stays until it is hidden.
    void chosen(int index);
private:
    QLabel *m_text;
    QList<QPushButton *> m_buttons;
};

QLabel *makeLabel(const QString &name, const QString &text, const QFont &font,
                  QWidget *parent, bool wrap = true);
QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent);

// A button made as makeButton makes it, put at the end of row and pressed
// into receiver's slot.
template <class Receiver>
QPushButton *addButton(QBoxLayout *row, const QString &name, const QString &text, QWidget *parent,
                       Receiver *receiver, void (Receiver::*slot)())
{
    QPushButton *button = makeButton(name, text, parent);
    row->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, receiver, slot);
    return button;
}

} // namespace brevant
