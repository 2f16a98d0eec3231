#include "app/registerupdate.h"

#include "ui/widgets.h"
#include "updates/updatecommands.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace brevant {

RegisterUpdate::RegisterUpdate(WindowHost &host, Dialogs &dialogs, Shell &shell)
    : Window(host, QStringLiteral("RegisterUpdate"), QStringLiteral("Brevant Zizazov Irivadevu")),
      m_dialogs(dialogs), m_shell(shell)
{
    setFont(regularFont());
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    layout->setContentsMargins(18, 14, 18, 14);
    QLabel *heading = makeLabel(QStringLiteral("Label1"), QStringLiteral("Brevant Ruzaza Zuzivivov Software"),
                                headingFont(), this);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    layout->addSpacing(8);

    // Each command: the line that says what it does, its button under it.
    auto addCommand = [&](const QString &labelName, const QString &labelText, const QString &buttonName,
                          const QString &buttonText, void (RegisterUpdate::*slot)()) {
        layout->addWidget(makeLabel(labelName, labelText, regularFont(), this));
        QPushButton *button = makeButton(buttonName, buttonText, this);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        layout->addSpacing(8);
        connect(button, &QPushButton::clicked, this, slot);
    };
    addCommand(QStringLiteral("Label4"), QStringLiteral("Click the button below to Register for product updates."),
               QStringLiteral("register"), QStringLiteral("Register"), &RegisterUpdate::register_Click);
    addCommand(QStringLiteral("Label3"),
               QStringLiteral("Click the button below to check for newer versions of the program"),
               QStringLiteral("update"), QStringLiteral("Check for Updates"), &RegisterUpdate::update_Click);
    addCommand(QStringLiteral("Label2"),
               QStringLiteral("If you have already registered for product updates or if you want to register later, please click the button below"),
               QStringLiteral("continue"), QStringLiteral("Already Registered or Register Later"),
               &RegisterUpdate::continue_Click);
    layout->addStretch(1);
    resize(460, 250);
}

void RegisterUpdate::Form_Unload()
{
    host().closeAll();
}

void RegisterUpdate::register_Click()
{
    host().hideWindow(this);
    host().showRegistration();
}

void RegisterUpdate::update_Click()
{
    // The flag holds what a check found; a failed check found nothing.
    updatesAvailable = checkForUpdates(m_dialogs, m_shell,
                                       host().programPath(QStringLiteral("/Database/update.db")), this);
}

void RegisterUpdate::continue_Click()
{
    // Work an earlier run left unsaved is offered in front of the start
    // window, before anything can be loaded.
    host().showStart(this);
}

} // namespace brevant
