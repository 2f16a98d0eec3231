// Types into the real boxes of page 1, word by word at a person's pace with
// pauses, until it is killed. Used by tst_killwhiletyping.
//
//   brevant_typinghelper DATA_FOLDER SEED
//
// It ends as the program does when a signal asks it to (SIGTERM, SIGHUP,
// SIGINT), or when it is killed.
// The answer box no1 gets "yes" typed into it first; then the words of
// typingscript.h go into desc1. Writes "ready T" once it starts typing and
// "state N T" after each word, where N counts the words typed and T is the
// monotonic clock in milliseconds.
#include "app/endsignals.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "typingscript.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace brevant;
using namespace brevant::test;

namespace {

qint64 now()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

// One key for each character, with the character as its text, as a
// keyboard with that character would send it.
void typeText(QWidget *box, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: brevant_typinghelper DATA_FOLDER SEED\n");
        return 2;
    }
    QtLifetime lifetime;
    EndSignals endSignals;
    Harness h({.dataFolder = QString::fromLocal8Bit(argv[1]), .lifetime = &lifetime, .endSignals = &endSignals});
    h.continueToPage1();
    QuestionPage *page = h.program->page(1);
    QComboBox *answer = page->answerBox(QStringLiteral("no1"));
    QTest::keyClick(answer->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(answer->lineEdit(), "yes");
    QTest::keyClick(answer->lineEdit(), Qt::Key_Tab);
    QPlainTextEdit *box = page->responseBox(QStringLiteral("desc1"));
    box->setFocus();
    std::printf("ready %lld\n", static_cast<long long>(now()));
    std::fflush(stdout);

    quint32 state = quint32(QByteArray(argv[2]).toUInt()) * 2654435761u + 1;
    const auto random = [&state](int below) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % quint32(below));
    };
    int typed = 0;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (typed == typedWords().size())
            return;   // all typed: wait to be killed
        typeText(box, typedWords().at(typed));
        const QString separator = separatorAfter(typed);
        if (separator == QLatin1String("\n"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (separator.at(0) == QChar::LineSeparator)
            QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
        else
            QTest::keyClick(box, Qt::Key_Space);
        ++typed;
        std::printf("state %d %lld\n", typed, static_cast<long long>(now()));
        std::fflush(stdout);
        // Words follow each other quickly, with a pause now and then.
        timer.start(random(8) == 0 ? 1200 + random(2000) : 20 + random(200));
    });
    timer.start(50);
    return app.exec();
}
