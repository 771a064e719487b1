#pragma once

#include "core/seams/SerialDevices.h"

// The serial devices the test says are present.
class FakeSerialDevices final : public SerialDevices {
public:
    QList<SerialDevice> devices;
    QList<SerialDevice> present() const override { return devices; }
};
