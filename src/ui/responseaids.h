#pragma once

#include "core/textcount.h"
#include "ui/blockdata.h"

#include <QWidget>
#include <QString>
#include <QStringView>
#include <QTimer>

#include <memory>

class QPlainTextEdit;
class QTextDocument;

namespace brevant {

// Keeps the count of a document as it is edited, recounting only the
// paragraphs an edit touched.
class ResponseCounter : public QObject {
    Q_OBJECT
public:
    explicit ResponseCounter(QTextDocument *document);
    TextCount count() const;
    // No text at all (not even a blank or a line break).
    bool isEmpty() const;

    // While the count is not shown, a whole new text (Load) is counted only
    // when it is shown again; edits are counted as they come.
    void setShown(bool shown);
    // Counts now a whole new text that came while the count was not shown;
    // costs nothing when the count is up to date.
    void refresh();

signals:
    void changed();

private:
    void contentsChange(int position, int removed, int added);
    void recountAll();

    QTextDocument *m_document;
    std::shared_ptr<ResponseBlockData::Totals> m_totals;
    bool m_shown = false;
    bool m_stale = false;
};

// The small grey line under a response box with its count, blank while the
// box is empty. Screen readers find the same line as the box's description,
// brought up to date once typing pauses rather than at every key.
//
// It draws its text itself: a new count repaints the line and lays out
// nothing else, and while keys come quickly it is repainted a few times a
// second rather than at every key.
class CountLine : public QWidget {
    Q_OBJECT
public:
    // counter: the count of the box's document.
    CountLine(QPlainTextEdit *box, ResponseCounter *counter, QWidget *parent);
    ResponseCounter *counter() const { return m_counter; }
    QString text() const { return m_text; }
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void recount();
    void describe();

    QPlainTextEdit *m_box;
    ResponseCounter *m_counter;
    QString m_text;
    QTimer m_repaint;
    QTimer m_describe;
};

} // namespace brevant
