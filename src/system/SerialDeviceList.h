#pragma once

#include "core/seams/SerialDevices.h"

// The serial devices of this machine, read from /dev and /sys: the built-in
// ports (ttyS*) that have a UART behind them, USB adapters and modems
// (ttyUSB*, ttyACM*), and their stable names under /dev/serial/by-id, which
// stand in for the device they name. Nothing is opened that the system can
// describe without it.
class SerialDeviceList final : public SerialDevices {
public:
    // root is where /dev and /sys are found ("/" on a running system).
    explicit SerialDeviceList(const QString& root = QStringLiteral("/"));
    QList<SerialDevice> present() const override;

private:
    bool hasUart(const QString& name) const;

    QString m_dev;
    QString m_ttyClass;
};
