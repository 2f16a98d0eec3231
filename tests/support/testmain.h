#pragma once

// What every test executable needs to run the same way under ctest and on
// its own (./build/tests/tst_x from any folder, with no environment set).

#include <QApplication>
#include <QFile>
#include <QString>
#include <QTest>

namespace brevant::test {

// The program folder of the build this test belongs to (build/bin): the
// executable with the data folders the build copies beside it.
inline QString builtProgramFolder()
{
    return QFile::decodeName(BREVANT_TEST_PROGRAM_DIR);
}

// The offscreen platform unless another one is given (ctest gives it too):
// run by hand, a test needs no display and shows no window on the desktop.
// Must run before the application is made.
inline void chooseOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace brevant::test

// QTEST_MAIN for the tests with windows, on the offscreen platform unless
// another one is given.
#define BREVANT_TEST_MAIN(TestObject)                                  \
    int main(int argc, char *argv[])                                   \
    {                                                                  \
        brevant::test::chooseOffscreenPlatform();                      \
        QApplication app(argc, argv);                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                       \
        TestObject tc;                                                 \
        return QTest::qExec(&tc, argc, argv);                          \
    }
