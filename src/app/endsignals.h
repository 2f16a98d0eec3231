#pragma once

#include <QObject>

class QSocketNotifier;

namespace brevant {

// The endings the desktop asks for: SIGTERM (a logout, a shutdown), SIGHUP
// (the terminal closed) and SIGINT (Ctrl+C in it), and the session
// manager's request to save before a logout. The signal handler only writes
// a byte to a pipe, which the event loop reads; the handler also puts the
// default handling back, so a second signal ends the program at once.
// One at a time; made after the application, it restores the default
// handling when it goes.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;

signals:
    // A signal came: the program is to end.
    void endRequested(int signal);
    // The session manager asks that nothing be lost should the session end.
    void saveRequested();

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace brevant
