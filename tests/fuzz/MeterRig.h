#pragma once

#include "core/meter/CallMeter.h"
#include "core/seams/Services.h"

#include "fakes/FakeCarrierSource.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLineMonitor.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/FakeTrayIcon.h"

#include <memory>

// A program directory whose settings make "Fuzz" the active rate file, and
// meters over it with fake services: for the targets that feed the meter one
// of its files. The clock stands on a Wednesday afternoon.
class MeterRig {
public:
    MeterRig();

    QString path(const QString& name) const;
    // A meter over the directory as it now is, its settings read and started.
    std::unique_ptr<CallMeter> startedMeter();
    // Times a call of `ms` at the distance and band given, by hand, with a
    // tick in the middle; the call is logged at its end.
    void timeCall(CallMeter& meter, int distance, int band, qint64 ms);

    FakeClock clock;
    FakePrompter prompter;
    FakeSoundPlayer sound;
    FakeLineMonitor line;
    FakeCarrierSource carrier;
    FakeTrayIcon tray;
    Services services;
};
