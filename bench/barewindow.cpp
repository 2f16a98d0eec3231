// The smallest Qt Widgets program: one empty window. Start-up and memory of
// the program are measured against it, with the same first-paint report.
// With --text the window shows one label in the program's face, which
// makes it load the font configuration and a face as the program does.

#include "firstpaint.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(460, 250);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto *label = new QLabel(QStringLiteral("Is the requirement met?"), &window);
        QFont face(QStringLiteral("Arial"));
        face.setPointSizeF(9);
        label->setFont(face);
        label->move(16, 16);
    }
    bench::FirstPaintReporter firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
