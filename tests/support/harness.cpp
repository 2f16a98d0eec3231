#include "harness.h"

#include "app/registerupdate.h"
#include "app/std0.h"
#include "core/catalogue.h"
#include "questionnaire/questionpage.h"
#include "ui/window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTest>

namespace brevant::test {

Harness::Harness(const HarnessOptions &options)
    : services{dialogs,
               shell,
               options.lifetime ? *options.lifetime : lifetime,
               options.printers ? *options.printers : printers,
               options.mail ? *options.mail : mail,
               options.programFolder.isEmpty() ? folder.path() : options.programFolder,
               options.dataFolder.isEmpty() ? data.path() : options.dataFolder,
               options.speller,
               options.endSignals},
      program(std::make_unique<Program>(services))
{
}

Harness::~Harness()
{
    // A dialog the script did not expect, or a script left unused, fails
    // the test even where the test did not check it itself.
    const QString unplayed = problems();
    if (!unplayed.isEmpty() && !QTest::currentTestFailed() && QTest::currentTestFunction())
        QTest::qFail(qPrintable(QStringLiteral("dialogs script: ") + unplayed), __FILE__, __LINE__);
    program.reset();
    flushDeletes();
}

void Harness::continueToPage1()
{
    program->start();
    click(program->registerUpdate(), QStringLiteral("continue"));
    click(program->std0(), QStringLiteral("Command1"));
}

void Harness::fillAll(const QString &prefix)
{
    for (int i = 1; i <= kItemCount; ++i) {
        response(i)->setPlainText(prefix + QString::number(i));
        if (QComboBox *a = answer(i))
            a->setCurrentText(QStringLiteral("Yes"));
    }
}

QPlainTextEdit *Harness::response(int item)
{
    return program->responseBox(item);
}

QComboBox *Harness::answer(int item)
{
    const QuestionnaireItem &it = QuestionnaireCatalogue::instance().item(item);
    if (!it.hasAnswer())
        return nullptr;
    return program->page(it.page)->answerBox(it.answerBox);
}

void Harness::click(QWidget *window, const QString &button)
{
    auto *b = window->findChild<QAbstractButton *>(button);
    QVERIFY2(b, qPrintable(QStringLiteral("no button %1 on %2").arg(button, window->objectName())));
    b->click();
}

QStringList Harness::visibleWindows() const
{
    QStringList names;
    for (Window *w : program->windows()) {
        if (w->isVisible())
            names << w->objectName();
    }
    names.sort();
    return names;
}

void Harness::flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Harness::problems() const
{
    return dialogs.verify().join(QLatin1Char('\n'));
}

} // namespace brevant::test
