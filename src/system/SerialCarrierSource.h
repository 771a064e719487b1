#pragma once

#include "core/seams/CarrierSource.h"

#include <QString>

// CarrierSource on a POSIX serial port. The modem status is read with TIOCMGET, which neither
// changes the line settings nor takes the port from a program (such as pppd) that is using it:
// no termios, no exclusive mode, no lock file. The device is opened for each read and never
// held between reads.
class SerialCarrierSource final : public CarrierSource {
public:
    // devicePattern names the device of port N, "%1" standing for N - 1 (COM1 is /dev/ttyS0).
    explicit SerialCarrierSource(const QString& devicePattern = QStringLiteral("/dev/ttyS%1"));
    quint8 readStatus(int port) override;
    QString takeError() override;
    QString failure() const override { return m_failure; }

    // The device that port 1..4 reads; empty for any other port.
    QString devicePath(int port) const;

private:
    void fail(const QString& device, int error);

    QString m_pattern;
    int m_port = 0;        // the port m_failure belongs to
    QString m_failure;     // the failure already reported for m_port, until a read succeeds
    QString m_unreadError; // waiting for takeError()
};
