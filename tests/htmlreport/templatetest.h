#pragma once

// What the tests of the template window share: the shipped designs put
// into the harness's folder, the window as the user reaches it, and a Save
// that goes through.
#include "app/program.h"
#include "app/std11.h"
#include "core/catalogue.h"
#include "document/htmlreport.h"
#include "document/reportwriters.h"
#include "files.h"
#include "harness.h"
#include "pdftext.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>

namespace brevant::test {

using namespace Qt::Literals::StringLiterals;

// A design's option button on the template window.
inline QRadioButton *designOption(QWidget *window, const char *name)
{
    return window->findChild<QRadioButton *>(QLatin1String(name));
}

inline const QString kNoTemplate = u"Please select a template from the list first."_s;
inline const QString kFilter =
    u"html Files (*.html)|*.html|PDF Files (*.pdf)|*.pdf|OpenDocument Text (*.odt)|*.odt|"
    "Word Document (*.docx)|*.docx"_s;

// Copies the shipped designs and example pages into the harness's folder.
inline bool installTemplates(Harness &h)
{
    const QString from = builtProgramFolder() + u"/Templates"_s;
    const QString to = h.folder.path() + u"/Templates"_s;
    if (!QDir().mkpath(to + u"/Template_Examples"_s))
        return false;
    for (const ReportDesign &d : reportDesigns()) {
        const QString file = d.templatePath.section(u'/', -1);
        if (!QFile::copy(from + u'/' + file, to + u'/' + file)
            || !QFile::copy(from + u"/Template_Examples/"_s + file, to + u"/Template_Examples/"_s + file))
            return false;
    }
    return true;
}

// Std11, then "Save as file": the template window as the user reaches it.
inline TemplateSelect *openTemplateWindow(Harness &h)
{
    h.program->showWindow(h.program->std11());
    h.click(h.program->std11(), u"save"_s);
    return h.program->templateSelect();
}

// The save dialog chooses path, and the report is saved.
inline void expectSavedTo(Harness &h, const QString &path)
{
    h.dialogs.expectSave(kFilter, FileDialogOutcome::chosen(path))
        .expectMessage(u"Successfully Saved..."_s, u"Saving"_s);
}

inline BrowserWindow *existingBrowser(Harness &h)
{
    return qobject_cast<BrowserWindow *>(h.program->existing(WindowId::Browser));
}

} // namespace brevant::test
