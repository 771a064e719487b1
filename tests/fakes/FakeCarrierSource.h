#pragma once

#include "core/seams/CarrierSource.h"

#include <QStringList>

// A modem status byte the test sets; records the devices read.
class FakeCarrierSource final : public CarrierSource {
public:
    quint8 status = 0;
    QStringList devicesRead;
    QString pendingError;
    QString failureText; // failure()

    void setCarrier(bool present) { status = present ? CarrierDetectMask : 0; }
    quint8 readStatus(const QString& device) override {
        devicesRead << device;
        return device.isEmpty() ? 0 : status;
    }
    QString takeError() override { return std::exchange(pendingError, QString()); }
    QString failure() const override { return failureText; }
};
