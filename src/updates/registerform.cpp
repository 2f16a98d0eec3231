#include "updates/registerform.h"

#include "ui/widgets.h"
#include "updates/updatecommands.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevant {

RegisterForm::RegisterForm(WindowHost &host, Dialogs &dialogs, MailSender &mail)
    : Window(host, QStringLiteral("RegisterForm"), QStringLiteral("Register for Updates")),
      m_dialogs(dialogs), m_mail(mail)
{
    setFont(regularFont());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(makeLabel(
        QStringLiteral("Label1"),
        QStringLiteral("You can Register with us by sending your Name, Email Address and Version through this form. We will review your information and add you to our Newsletter and Update list. You need to be connected to the Internet to register with us. Once a new update becomes available, we will send a mail to you informing that. Thanks."),
        regularFont(), this));
    auto *form = new QFormLayout;
    auto line = [&](const QString &labelName, const QString &labelText, const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        QLabel *label = makeLabel(labelName, labelText, regularFont(), this, false);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };
    m_name = line(QStringLiteral("Label2"), QStringLiteral("Your Name:"), QStringLiteral("nameText"));
    m_email = line(QStringLiteral("Label3"), QStringLiteral("Your E-Mail:"), QStringLiteral("email"));
    m_version = line(QStringLiteral("Label4"), QStringLiteral("Version No:"), QStringLiteral("version"));
    layout->addLayout(form);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton *send = makeButton(QStringLiteral("send"), QStringLiteral("Send Info"), this);
    QPushButton *cancel = makeButton(QStringLiteral("cancel"), QStringLiteral("Cancel"), this);
    row->addWidget(send);
    row->addWidget(cancel);
    layout->addLayout(row);
    setTabOrder(m_name, m_email);
    setTabOrder(m_email, m_version);
    setTabOrder(m_version, send);
    setTabOrder(send, cancel);
    connect(send, &QPushButton::clicked, this, &RegisterForm::send_Click);
    connect(cancel, &QPushButton::clicked, this, &RegisterForm::cancel_Click);
    resize(460, 260);
}

void RegisterForm::Form_Unload()
{
    if (host().closingAll())
        return;
    host().showStartup();
}

void RegisterForm::send_Click()
{
    const QString name = m_name->text();
    const QString email = m_email->text();
    const QString version = m_version->text();
    if (sendRegistration(m_dialogs, m_mail, {name, email, version}, this))
        returnToStart();
}

void RegisterForm::cancel_Click()
{
    returnToStart();
}

void RegisterForm::returnToStart()
{
    host().hideWindow(this);
    host().showStartup();
}

} // namespace brevant
