#pragma once

#include "core/seams/CarrierSource.h"

#include <QString>

// CarrierSource on a POSIX serial port. The modem status is read with TIOCMGET, which neither
// changes the line settings nor takes the port from a program (such as pppd) that is using it:
// no termios, no exclusive mode, no lock file. The device is opened for each read and never
// held between reads.
class SerialCarrierSource final : public CarrierSource {
public:
    quint8 readStatus(const QString& device) override;
    QString takeError() override;
    QString failure() const override { return m_failure; }

private:
    void fail(const QString& device, int error);

    QString m_device;      // the device m_failure belongs to
    QString m_failure;     // the failure already reported for m_device, until a read succeeds
    QString m_unreadError; // waiting for takeError()
};
