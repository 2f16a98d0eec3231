#include "report/templateselect.h"

#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "io/backups.h"
#include "questionnaire/questionnaire.h"
#include "ui/services.h"
#include "ui/widgets.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brevant {

TemplateSelect::TemplateSelect(WindowHost &host, Dialogs &dialogs, Questionnaire &questionnaire, Shell &shell,
                               BackupKeeper &backups)
    : Window(host, QStringLiteral("TemplateSelect"), QStringLiteral("Select a template for your file...")),
      m_dialogs(dialogs), m_questionnaire(questionnaire), m_shell(shell), m_backups(backups)
{
    setFont(regularFont());
    auto *frame = new QGroupBox(QStringLiteral("Please select a template from the list...."), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFont(headingFont());
    auto *inFrame = new QVBoxLayout(frame);
    QLabel *label = makeLabel(QStringLiteral("Label1"),
                              QStringLiteral("Please select a file from the list below and click 'Save'. Click on the button next to each of the template name to preview."),
                              regularFont(), frame);
    inFrame->addWidget(label);
    auto option = [&](const QString &name, const QString &text) {
        auto *button = new QRadioButton(text, frame);
        button->setObjectName(name);
        button->setFont(regularFont());
        inFrame->addWidget(button);
        return button;
    };
    auto *group = new QButtonGroup(this);
    for (const ReportDesign &design : reportDesigns()) {
        m_options << option(design.option, design.caption);
        group->addButton(m_options.last());
        m_options.last()->installEventFilter(this);
    }

    // What Save can write, which the Save dialog's list of file types
    // alone would tell.
    QLabel *types = makeLabel(QStringLiteral("types"), reportTypesText(), regularFont(), frame);
    types->setWordWrap(true);
    inFrame->addWidget(types);

    auto *row = new QHBoxLayout;
    QPushButton *preview = addButton(row, QStringLiteral("preview"), QStringLiteral("Preview Selected File"), frame,
                                     this, &TemplateSelect::preview_Click);
    row->addStretch(1);
    QPushButton *save = addButton(row, QStringLiteral("Save"), QStringLiteral("Save"), frame, this,
                                  &TemplateSelect::Save_Click);
    save->setToolTip(reportTypesText());
    save->setAccessibleDescription(reportTypesText());
    QPushButton *back = addButton(row, QStringLiteral("Back"), QStringLiteral("Back"), frame, this,
                                  &TemplateSelect::Back_Click);
    inFrame->addLayout(row);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(frame);

    // Tab order: the options, Save, Back, then Preview.
    setTabOrder(m_options.at(0), m_options.at(1));
    setTabOrder(m_options.at(1), m_options.at(2));
    setTabOrder(m_options.at(2), save);
    setTabOrder(save, back);
    setTabOrder(back, preview);
    resize(470, 240);
}

void TemplateSelect::Form_Load()
{
    m_dialog.setCancelError(true);
    m_dialog.setFilter(reportSaveFilter());
}

void TemplateSelect::Form_Unload()
{
    host().closeAll();
}

const ReportDesign *TemplateSelect::selectedDesign() const
{
    for (qsizetype i = 0; i < m_options.size(); ++i) {
        if (m_options.at(i)->isChecked())
            return &reportDesigns().at(i);
    }
    return nullptr;
}

bool TemplateSelect::eventFilter(QObject *watched, QEvent *event)
{
    // The arrow keys move through the options and choose the one they come
    // to, also when none was chosen yet.
    const qsizetype at = m_options.indexOf(static_cast<QRadioButton *>(watched));
    if (at < 0 || event->type() != QEvent::KeyPress)
        return Window::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    int step = 0;
    if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right)
        step = 1;
    else if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left)
        step = -1;
    if (step == 0 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return Window::eventFilter(watched, event);
    const qsizetype count = m_options.size();
    QRadioButton *to = m_options.at((at + step + count) % count);
    to->setFocus(Qt::TabFocusReason);
    to->setChecked(true);
    return true;
}

void TemplateSelect::preview_Click()
{
    if (const ReportDesign *design = selectedDesign())
        host().showInBrowser(host().programPath(design->examplePath));
}

void TemplateSelect::Save_Click()
{
    Dialogs &dialogs = m_dialogs;
    const ReportDesign *design = selectedDesign();
    if (!design) {
        dialogs.message(this, QStringLiteral("Please select a template from the list first."),
                        Buttons::Ok, Icon::None, QString());
        return;
    }
    const FileDialogOutcome outcome = m_dialog.showSave(dialogs, this);
    if (!acceptDialogOutcome(dialogs, this, outcome))
        return;

    // The responses as they are now.
    const QString templateFile = host().programPath(design->templatePath);
    const ReportWriter &writer = reportWriterFor(outcome.path, outcome.filterIndex);
    // A document named without an extension gets its type's, so that the
    // desktop knows what it is; a web page keeps the name as typed.
    QString path = outcome.path;
    if (writer.format != ReportFormat::Html) {
        path = withTypeExtension(dialogs, this, path, writer.extensions.first());
        if (path.isEmpty())
            return;
    }
    // A file written over (a document of the department's own, chosen by
    // mistake) is kept in the backups folder first, as a work file is.
    QString reason;
    if (!m_backups.beforeReplacing(path, {}, &reason) && m_backups.tellFailureOnce()) {
        dialogs.message(this, m_backups.failureText(reason), Buttons::Ok, Icon::Critical,
                        BackupKeeper::failureTitle());
    }
    // A document takes a moment to lay out.
    if (writer.madeWhole)
        dialogs.setBusy(true);
    QString error;
    // The web page breaks its lines at a box's own line breaks as well.
    const QStringList responses =
        writer.format == ReportFormat::Html ? m_questionnaire.rawResponses() : m_questionnaire.responses();
    const bool written = writeReport(writer.format, templateFile, path, responses, DocumentOptions(), &error);
    if (writer.madeWhole)
        dialogs.setBusy(false);
    if (!written) {
        dialogs.message(this, error, Buttons::Ok, Icon::Critical, QString());
        return;
    }
    m_backups.written(path);
    const QString kept = m_backups.keptToTellOnce();
    dialogs.message(this, QStringLiteral("Successfully Saved..."), Buttons::Ok, Icon::None,
                    QStringLiteral("Saving"),
                    kept.isEmpty() ? QString() : BackupKeeper::keptText(kept));
    // The page in the browser window; a document in the user's own viewer
    // or word processor, where one is set up for its type.
    if (writer.format == ReportFormat::Html)
        host().showInBrowser(path);
    else
        openOrSayWhere(dialogs, m_shell, this, path, QStringLiteral("the report"));
}

void TemplateSelect::Back_Click()
{
    host().showCompletion();
    host().hideWindow(this);
}

} // namespace brevant
