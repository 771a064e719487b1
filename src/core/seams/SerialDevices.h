#pragma once

#include <QList>
#include <QString>

// A serial device the modem may be on: its path, as stored and opened, and
// the name a person knows it by ("ttyS0", or the stable by-id name of a USB
// adapter).
struct SerialDevice {
    QString path;
    QString name;
    bool operator==(const SerialDevice&) const = default;
};

// The serial devices present on this machine.
class SerialDevices {
public:
    virtual ~SerialDevices() = default;
    virtual QList<SerialDevice> present() const = 0;
};
