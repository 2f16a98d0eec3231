#include "app/std0.h"

#include "questionnaire/questionnaire.h"
#include "ui/services.h"
#include "ui/widgets.h"
#include "workfile/fileguard.h"
#include "workfile/workcommands.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace brevant {

Std0::Std0(WindowHost &host, const SavedWork &work, Shell &shell)
    : Window(host, QStringLiteral("Std0"), QStringLiteral("Brevant Policies ")),
      state(work.questionnaire.workFile()), m_work(work), m_shell(shell)
{
    setFont(regularFont());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    QLabel *heading = makeLabel(QStringLiteral("Label1"), QStringLiteral("Brevant Ruzaza Zuzivivov"),
                                headingFont(), this);
    heading->setAlignment(Qt::AlignCenter);
    layout->addWidget(heading);
    layout->addSpacing(10);
    auto *row = new QHBoxLayout;
    addButton(row, QStringLiteral("load"), QStringLiteral("Load saved work"), this, this, &Std0::load_Click);
    addButton(row, QStringLiteral("Command1"), QStringLiteral("Continue"), this, this, &Std0::Command1_Click);
    addButton(row, QStringLiteral("Command2"), QStringLiteral("Open Help! (PDF)"), this, this, &Std0::Command2_Click);
    layout->addLayout(row);
    layout->addStretch(1);
    resize(440, 110);
}

void Std0::Form_Load()
{
    m_openDialog.setCancelError(true);
    m_openDialog.setFilter(QStringLiteral("Dat Files (*.dat)|*.dat"));
}

void Std0::Form_Unload()
{
    host().closeAll();
}

void Std0::load_Click()
{
    loadWork(m_work, this, m_openDialog);
}

void Std0::Command1_Click()
{
    state.pFileOpened = false;
    state.pFileClosed = true;
    // No current work file now: the program lets go of the one it had.
    m_work.guard.hold(FileGuard::Slot::Current, QString());
    host().hideWindow(this);
    host().showPage(1);
}

void Std0::Command2_Click()
{
    ShellOpenFile(host().programPath(QStringLiteral("/Documentation/Documentation.pdf")));
}

void Std0::ShellOpenFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return;
    openOrSayWhere(m_work.dialogs, m_shell, this, path, QStringLiteral("the help document"),
                   QStringLiteral("/"));
}

} // namespace brevant
