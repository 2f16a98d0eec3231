#pragma once

#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace brevant {

class ReviewModel;

// Under a response box: the requirement's review state, and the comments
// on its passages with their replies. A comment is added on the box's
// selected words (Ctrl+Alt+M, or the box's menu) and written in a line of
// the pane, not in a dialog; each comment can be replied to, resolved (and
// opened again) and deleted. Choosing a comment selects its passage in the
// box. Open comments stand out; a comment whose passage the response no
// longer holds says so.
class ReviewPane : public QWidget {
    Q_OBJECT
public:
    ReviewPane(ReviewModel &review, int item, QPlainTextEdit *box, QWidget *parent = nullptr);

    // "Add Comment", for the box's own menu.
    QAction *commentAction() const { return m_commentAction; }
    // Starts a comment on the box's selection; without one, says what to
    // select.
    void startComment();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Editing { Nothing, Comment, Reply };

    void refresh();
    void startReply();
    void toggleResolved();
    void deleteComment();
    void finishEditing(bool keep);
    void showPassage();
    QString selectedId() const;

    ReviewModel &m_review;
    int m_item;
    QPlainTextEdit *m_box;
    QComboBox *m_state = nullptr;
    QLabel *m_summary = nullptr;
    QListWidget *m_list = nullptr;
    QWidget *m_actions = nullptr;
    QPushButton *m_reply = nullptr;
    QPushButton *m_resolve = nullptr;
    QPushButton *m_delete = nullptr;
    QWidget *m_editor = nullptr;
    QLabel *m_editorLabel = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_text = nullptr;
    QAction *m_commentAction = nullptr;
    // The passages are looked at again a moment after typing stops.
    QTimer *m_recheck = nullptr;
    Editing m_editing = Editing::Nothing;
    QString m_replyTo;
    int m_from = 0;
    int m_length = 0;
};

} // namespace brevant
