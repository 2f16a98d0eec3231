#include "questionnaire/examplewindow.h"

#include "ui/widgets.h"

#include <QLabel>
#include <QVBoxLayout>

namespace brevant {

ExampleWindow::ExampleWindow(WindowHost &host)
    : Window(host, QStringLiteral("Example"), QStringLiteral("Help!"))
{
    setClosesOnEscape(true);
    m_ex = makeLabel(QStringLiteral("ex"), QString(), exampleFont(), this);
    m_ex->setFixedWidth(380);
    m_ex->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_ex->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_ex, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // It comes to the front beside the page and leaves the keyboard with
    // the page, which stays usable.
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void ExampleWindow::setExample(const QString &text)
{
    m_ex->setText(text);
    adjustSize();
}

QString ExampleWindow::text() const
{
    return m_ex->text();
}

} // namespace brevant
