// The smallest Qt Widgets program: one empty window. Start-up and memory of
// the program are measured against it, with the same first-paint report.

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

// Once the window has painted for the first time, prints the monotonic
// clock in nanoseconds and quits (the same report the program gives).
class FirstPaintReporter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QMetaObject::invokeMethod(this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(460, 250);
    FirstPaintReporter firstPaint;
    if (qEnvironmentVariableIsSet("BREVANT_BENCH_FIRST_PAINT"))
        window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
