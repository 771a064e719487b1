#pragma once

#include <QObject>

class QSocketNotifier;
class TLargeForm;

// SIGTERM, SIGHUP and SIGINT (a log-out without a session manager, kill, a
// terminal closing) told on the event loop, so the program can end in order.
// The handler only writes the signal's number into a pipe, and wakes the
// event loop's thread from a wait; the event loop reads the number there. Only the first is told: the ones
// that follow (a session manager sends more than one) are ignored until letGo(), so nothing cuts the
// program's end short before the running call is logged.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // A signal has come.
    bool requested() const { return m_told; }
    // Until the main window is made, a signal closes unanswered every box the
    // start waits on (an error, the first questions, which then write no
    // choice the user has not made), and the start goes no further. From here
    // it ends the window in order; one that came while it was made, at once.
    void endWith(TLargeForm& window);
    // The signals take their default course again: one more ends the program at once.
    void letGo();

    // A write to a pipe whose reader has gone fails with "Broken pipe"
    // instead of ending the program.
    static void ignoreBrokenPipes();

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    TLargeForm* m_window = nullptr;
    bool m_told = false;
};
