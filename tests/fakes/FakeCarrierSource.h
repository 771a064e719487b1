#pragma once

#include "core/seams/CarrierSource.h"

#include <QList>

// A modem status byte the test sets; records the ports read.
class FakeCarrierSource final : public CarrierSource {
public:
    quint8 status = 0;
    QList<int> portsRead;
    QString pendingError;
    QString failureText; // failure()

    void setCarrier(bool present) { status = present ? CarrierDetectMask : 0; }
    quint8 readStatus(int port) override {
        portsRead << port;
        return port >= 1 && port <= 4 ? status : 0;
    }
    QString takeError() override { return std::exchange(pendingError, QString()); }
    QString failure() const override { return failureText; }
};
