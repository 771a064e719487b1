#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT (a log-out without a session manager, kill, a
// terminal closing) told on the event loop, so the program can end in order.
// The handler only writes the signal's number into a pipe; the event loop
// reads it there. Only the first is told: the ones that follow (a session
// manager sends more than one) are ignored until letGo(), so nothing cuts the
// program's end short before the running call is logged.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signals take their default course again: one more ends the program at once.
    void letGo();

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    bool m_told = false;
};
