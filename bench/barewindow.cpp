// The smallest Qt Widgets program: one empty window. Start-up and memory of
// the program are measured against it, with the same first-paint report.

#include "firstpaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(460, 250);
    bench::FirstPaintReporter firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
