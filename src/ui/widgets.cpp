#include "ui/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

namespace brevant {

static QFont arial(qreal points, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont regularFont() { return arial(9, false); }
QFont headingFont() { return arial(9.75, true); }
QFont buttonFont() { return arial(9, true); }
QFont exampleFont() { return arial(8.25, false); }

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    // Keyboard users reach HELP with Tab and open it with Space or Enter.
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return
        || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

QLabel *makeLabel(const QString &name, const QString &text, const QFont &font, QWidget *parent,
                  bool wrap)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    return label;
}

QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFont(buttonFont());
    button->setAutoDefault(false);
    return button;
}

} // namespace brevant
