// Saves the work again and again onto one path through the Save button of
// the pages, until it is killed. Used by tst_killwhilesaving.
//
//   brevant_savehelper PATH
//
// Writes "ready" once the pages hold the work, then "begin N" before and
// "saved N" after each Save. Saves alternate between the two versions of
// workversions.h, starting with version 1.
#include "app/registerupdate.h"
#include "app/std0.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "workversions.h"

#include <QAbstractButton>
#include <QApplication>

#include <cstdio>

using namespace brevant;
using namespace brevant::test;

namespace {

bool click(QWidget *window, const char *button)
{
    auto *b = window->findChild<QAbstractButton *>(QLatin1String(button));
    if (!b)
        return false;
    b->click();
    return true;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "brevant_savehelper: %s\n", qPrintable(why));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return fail(QStringLiteral("usage: brevant_savehelper PATH"));
    const QString path = QString::fromLocal8Bit(argv[1]);

    Harness h;
    Program &program = *h.program;
    FakeDialogs &dialogs = h.dialogs;
    program.start();
    if (!click(program.registerUpdate(), "continue") || !click(program.std0(), "Command1"))
        return fail(QStringLiteral("cannot reach page 1"));

    const QStringList versions[2] = {largeWork(0), largeWork(1)};
    const QString filter = QStringLiteral("Dat Files (*.dat)|*.dat");
    dialogs.expectSave(filter, FileDialogOutcome::chosen(path));
    std::printf("ready\n");
    std::fflush(stdout);

    for (int n = 1;; ++n) {
        program.questionnaire().setResponses(versions[n % 2]);
        dialogs.expectMessage(QStringLiteral("Successfully Saved.."), QStringLiteral("Saved"));
        std::printf("begin %d\n", n);
        std::fflush(stdout);
        // Any page's Save: they all write the whole work to the one file.
        if (!click(program.page(1 + n % kPageCount), "Save"))
            return fail(QStringLiteral("no Save button"));
        const QStringList problems = dialogs.verify();
        if (!problems.isEmpty())
            return fail(problems.join(QLatin1Char('\n')));
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}
