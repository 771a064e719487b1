#pragma once

#include <QString>
#include <QtGlobal>

// The modem status of a serial port, carrier detect in bit 7 (0x80).
class CarrierSource {
public:
    static constexpr quint8 CarrierDetectMask = 0x80;

    virtual ~CarrierSource() = default;
    // The status of the serial device at this path; no device reads nothing
    // and gives 0, and so does a device that cannot be read (no carrier).
    virtual quint8 readStatus(const QString& device) = 0;
    // Why the last read failed, once per failure; empty when there is nothing new to tell.
    virtual QString takeError() = 0;
    // Why reads fail now; empty once one succeeds.
    virtual QString failure() const = 0;
};
