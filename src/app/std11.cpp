#include "app/std11.h"

#include "print/printcommand.h"
#include "ui/widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace brevant {

Std11::Std11(WindowHost &host, Dialogs &dialogs, PrinterFactory &printers, Questionnaire &questionnaire)
    : Window(host, QStringLiteral("Std11"), QStringLiteral("Brevant Policies")), m_dialogs(dialogs),
      m_printers(printers), m_questionnaire(questionnaire)
{
    setFont(regularFont());
    auto *frame = new QGroupBox(QStringLiteral("Congratulations!"), this);
    frame->setObjectName(QStringLiteral("Congrats"));
    frame->setFont(headingFont());
    auto *inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(makeLabel(QStringLiteral("Label1"),
                                 QStringLiteral("You have done with entering all your responses. What do you want to do now?...."),
                                 regularFont(), frame));
    auto *row = new QHBoxLayout;
    QPushButton *print = addButton(row, QStringLiteral("print"), QStringLiteral("Print"), frame, this, &Std11::print_Click);
    addButton(row, QStringLiteral("save"), QStringLiteral("Save as file"), frame, this, &Std11::save_Click);
    addButton(row, QStringLiteral("quit"), QStringLiteral("Quit"), frame, this, &Std11::quit_Click);
    inFrame->addLayout(row);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(frame);
    // Ctrl+P prints as Print does.
    const QKeySequence printKey(QKeySequence::Print);
    connect(new QShortcut(printKey, this), &QShortcut::activated, this, &Std11::print_Click);
    print->setToolTip(QStringLiteral("Print (%1)").arg(printKey.toString(QKeySequence::NativeText)));
    resize(460, 140);
}

void Std11::Form_Unload()
{
    host().closeAll();
}

void Std11::print_Click()
{
    printReport(m_dialogs, m_printers, m_questionnaire, this);
}

void Std11::save_Click()
{
    host().showTemplates();
    host().hideWindow(this);
}

void Std11::quit_Click()
{
    host().endProgram();
}

} // namespace brevant
