#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace platform {

// SIGINT (Ctrl+C in the terminal), SIGTERM (a service manager, kill) and SIGHUP (the terminal
// went away) ask the program to close the way its window closes, instead of ending it where it
// stands. The handler only writes the signal's number into a pipe; the event loop reads it and
// tells Received, where the window starts its own close. A second of these signals ends the
// program at once (status 128 + the signal), for a close that cannot finish.
//
// One object per program, made after the application object. A hang-up the program was started
// with ignored (nohup) stays ignored.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signals now taken (none where the system refused the pipe).
    QList<int> Taken() const { return m_taken; }

signals:
    // The first stop signal has come (its number); the program is to close.
    void Received(int signalNumber);

private:
    void ReadPipe();
    QSocketNotifier* m_notifier = nullptr;
    QList<int> m_taken;
};

}  // namespace platform
