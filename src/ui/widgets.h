#pragma once

#include <QFont>
#include <QLabel>

class QPushButton;

namespace brevant {

// Fonts of the program's windows: Arial (Liberation Sans stands in).
QFont regularFont();        // 9 pt: statements, prompts, boxes
QFont headingFont();        // bold 9.75 pt: frame captions, headings
QFont buttonFont();         // bold 9 pt: buttons and HELP labels
QFont exampleFont();        // 8.25 pt: the Example window

// A label that reacts to a click, such as the HELP labels.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);
signals:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

QLabel *makeLabel(const QString &name, const QString &text, const QFont &font,
                  QWidget *parent, bool wrap = true);
QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent);

} // namespace brevant
