#include "report/templateselect.h"

#include "app/program.h"
#include "app/responsecache.h"
#include "app/std11.h"
#include "report/browserwindow.h"
#include "report/htmlreport.h"
#include "ui/widgets.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brevant {

TemplateSelect::TemplateSelect(Program &program)
    : Window(program, QStringLiteral("TemplateSelect"), QStringLiteral("Select a template for your file..."))
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
    ED = option(QStringLiteral("ED"), QStringLiteral("Executive Delight"));
    OM = option(QStringLiteral("OM"), QStringLiteral("Orange Madness"));
    GO = option(QStringLiteral("GO"), QStringLiteral("Green Orchids"));
    auto *group = new QButtonGroup(this);
    group->addButton(ED);
    group->addButton(OM);
    group->addButton(GO);

    auto *row = new QHBoxLayout;
    QPushButton *preview = makeButton(QStringLiteral("preview"), QStringLiteral("Preview Selected File"), frame);
    QPushButton *save = makeButton(QStringLiteral("Save"), QStringLiteral("Save"), frame);
    QPushButton *back = makeButton(QStringLiteral("Back"), QStringLiteral("Back"), frame);
    row->addWidget(preview);
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(back);
    inFrame->addLayout(row);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(frame);

    // Tab order: the options, Save, Back, then Preview.
    setTabOrder(ED, OM);
    setTabOrder(OM, GO);
    setTabOrder(GO, save);
    setTabOrder(save, back);
    setTabOrder(back, preview);

    connect(preview, &QPushButton::clicked, this, &TemplateSelect::preview_Click);
    connect(save, &QPushButton::clicked, this, &TemplateSelect::Save_Click);
    connect(back, &QPushButton::clicked, this, &TemplateSelect::Back_Click);
    resize(470, 240);
}

void TemplateSelect::Form_Load()
{
    m_dialog.setCancelError(true);
    m_dialog.setFilter(QStringLiteral("html Files (*.html)|*.html"));
}

void TemplateSelect::Form_Unload()
{
    program().closeAll(true);
}

const ReportDesign *TemplateSelect::selectedDesign() const
{
    const QRadioButton *options[] = {ED, OM, GO};
    for (int i = 0; i < 3; ++i) {
        if (options[i]->isChecked())
            return &reportDesigns().at(i);
    }
    return nullptr;
}

void TemplateSelect::preview_Click()
{
    const ReportDesign *design = selectedDesign();
    if (!design)
        return;
    Program &p = program();
    BrowserWindow *browser = p.browser();
    p.showWindow(browser);
    browser->display(p.programPath(design->examplePath));
}

void TemplateSelect::Save_Click()
{
    Program &p = program();
    Dialogs &dialogs = p.dialogs();
    const ReportDesign *design = selectedDesign();
    if (!design) {
        dialogs.message(this, QStringLiteral("Please select a template from the list first."),
                        Buttons::Ok, Icon::None, QString());
        return;
    }
    const FileDialogOutcome outcome = m_dialog.showSave(dialogs, this);
    if (!acceptDialogOutcome(dialogs, this, outcome))
        return;

    // The responses as they are now, in page form.
    ResponseCache &cache = ResponseCache::of(p);
    QList<QByteArray> responses;
    for (int item = 1; item <= kItemCount; ++item)
        responses << cache.html(item);
    QString error;
    if (!writeHtmlReport(p.programPath(design->templatePath), outcome.path, responses, &error)) {
        dialogs.message(this, error, Buttons::Ok, Icon::Critical, QString());
        return;
    }
    dialogs.message(this, QStringLiteral("Successfully Saved..."), Buttons::Ok, Icon::None,
                    QStringLiteral("Saving"));
    BrowserWindow *browser = p.browser();
    p.showWindow(browser);
    browser->display(outcome.path);
}

void TemplateSelect::Back_Click()
{
    Program &p = program();
    p.showWindow(p.std11());
    p.hideWindow(this);
}

} // namespace brevant
