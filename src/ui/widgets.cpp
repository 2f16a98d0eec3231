#include "ui/widgets.h"

#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

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

namespace {

// A label that reacts to a click is a link to screen readers, with a press
// action that does what the click does.
class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel *label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return own;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<ClickLabel *>(widget())->activate();
        else
            QAccessibleWidget::doAction(action);
    }
};

// An answer box: named by its own name, its text as its value, a press
// action that opens its list; its typing field is its child.
class AnswerBoxAccessible : public QAccessibleWidget {
public:
    explicit AnswerBoxAccessible(AnswerBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    AnswerBox *box() const { return static_cast<AnswerBox *>(widget()); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = box()->isEditable();
        s.expandable = true;
        s.expanded = box()->view() && box()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *ownAccessible(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("brevant::ClickLabel"))
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
    if (className == QLatin1String("brevant::AnswerBox"))
        return new AnswerBoxAccessible(static_cast<AnswerBox *>(object));
    return nullptr;
}

} // namespace

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(ownAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
    installAccessibleFactory();
}

void ClickLabel::activate()
{
    emit clicked();
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

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    // The focus mark: HELP is reached with Tab like any control.
    if (hasFocus()) {
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        // HELP takes the focus only by the keyboard, so the mark always shows.
        option.state |= QStyle::State_KeyboardFocusChange;
        option.backgroundColor = palette().color(backgroundRole());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

void PushButton::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && others == Qt::NoModifier && !autoDefault() && !isDefault()) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
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
    auto *button = new PushButton(text, parent);
    button->setObjectName(name);
    button->setFont(buttonFont());
    button->setAutoDefault(false);
    return button;
}

NoteBar::NoteBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("note"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xce));
    shade.setColor(QPalette::WindowText, Qt::black);
    setPalette(shade);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("noteText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFont(regularFont());
    row->addWidget(m_text, 1);
    // Read out when it comes up.
    setAccessibleName(QStringLiteral("Note"));
    hide();
}

QString NoteBar::text() const
{
    return m_text->text();
}

void NoteBar::showNote(const QString &text, const QStringList &choices)
{
    // Later: the note may be shown anew from a click of one of them.
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->hide();
        button->setObjectName(QString());
        button->deleteLater();
    }
    m_buttons.clear();
    m_text->setText(text);
    setAccessibleDescription(text);
    auto *row = static_cast<QHBoxLayout *>(layout());
    for (qsizetype i = 0; i < choices.size(); ++i) {
        auto *button = new PushButton(choices.at(i), this);
        button->setObjectName(QStringLiteral("noteChoice%1").arg(i));
        button->setFont(buttonFont());
        // The keyboard stays in the response box being typed in.
        button->setFocusPolicy(Qt::ClickFocus);
        const int index = int(i);
        connect(button, &QPushButton::clicked, this, [this, index] { emit chosen(index); });
        row->addWidget(button);
        m_buttons << button;
    }
    auto *hideButton = new PushButton(QStringLiteral("Hide"), this);
    hideButton->setObjectName(QStringLiteral("noteHide"));
    hideButton->setFont(buttonFont());
    hideButton->setFocusPolicy(Qt::ClickFocus);
    hideButton->setToolTip(QStringLiteral("Hides this note; Save still asks before it writes over the change"));
    connect(hideButton, &QPushButton::clicked, this, &QWidget::hide);
    row->addWidget(hideButton);
    m_buttons << hideButton;
    show();
}

} // namespace brevant
