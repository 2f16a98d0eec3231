// Draws every window of the program as a PNG, the way a user sees it on
// first use, with the example responses typed into the first page.
//   brevant_screenshots OUTDIR [PROGRAM_FOLDER]
#include "app/program.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "questionnaire/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"

#include <QTemporaryDir>
#include "ui/qtservices.h"
#include "ui/widgets.h"
#include "updates/registerform.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <cstdio>

using namespace brevant;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(regularFont());
    if (argc < 2) {
        std::fputs("usage: brevant_screenshots OUTDIR\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QtDialogs dialogs;
    DesktopShell shell;
    QtLifetime lifetime;
    Services services;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.lifetime = &lifetime;
    services.programFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : programFolder();
    // The texts typed for the pictures are nobody's work to keep.
    QTemporaryDir data;
    services.dataFolder = data.path();
    Program program(services);

    const auto &catalogue = QuestionnaireCatalogue::instance();
    for (int i = 1; i <= 4; ++i)
        program.responseBox(i)->setPlainText(catalogue.item(i).example);

    auto save = [&](QWidget *w, const QString &name) {
        w->show();
        QApplication::processEvents();
        const QString path = out + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!w->grab().save(path))
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        w->hide();
    };
    save(program.registerUpdate(), QStringLiteral("RegisterUpdate"));
    save(program.registerForm(), QStringLiteral("RegisterForm"));
    save(program.std0(), QStringLiteral("Std0"));
    for (int p = 1; p <= kPageCount; ++p)
        save(program.page(p), catalogue.page(p).window);
    ExampleWindow *example = program.example();
    example->setExample(catalogue.item(4).example);
    save(example, QStringLiteral("Example"));
    save(program.std11(), QStringLiteral("Std11"));
    save(program.templateSelect(), QStringLiteral("TemplateSelect"));
    BrowserWindow *browser = program.browser();
    browser->display(program.programPath(QStringLiteral("/Templates/Template_Examples/Orange_Madness.htm")));
    save(browser, QStringLiteral("browser"));
    return 0;
}
