#include "fuzz/MeterRig.h"

#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QFileInfo>

MeterRig::MeterRig() {
    services.programDirectory = QFileInfo(FuzzSupport::scratchPath(QStringLiteral("meter/x"))).path();
    services.resourceDirectory = services.programDirectory;
    services.clock = &clock;
    services.prompter = &prompter;
    services.sound = &sound;
    services.line = &line;
    services.carrier = &carrier;
    services.tray = &tray;
    QDir().mkpath(services.programDirectory);

    using namespace SettingsKeys;
    const SettingsFile settings(ProgramFiles::settingsPath(services.programDirectory));
    const bool written = settings.WriteSettingString(RateSection, ActiveRateFile, QStringLiteral("Fuzz")) &&
                         settings.WriteSettingString(RateSection, DayTimeStart, QStringLiteral("8:00")) &&
                         settings.WriteSettingString(RateSection, DayTimeEnd, QStringLiteral("18:00")) &&
                         settings.WriteSettingString(DefaultsSection, SpendWarning, QStringLiteral("0.50"));
    if (!written)
        FuzzSupport::fail(settings.failureText());

    RateTable rates;
    for (int slot = 1; slot <= RateTable::SlotCount; ++slot)
        rates.slot(slot) = QString::number(slot) + QStringLiteral(".25");
    QString reason;
    if (!writeRateFile(path(QStringLiteral("Fuzz.dtr")), rates, &reason))
        FuzzSupport::fail(reason);
}

QString MeterRig::path(const QString& name) const {
    return ProgramFiles::path(services.programDirectory, name);
}

std::unique_ptr<CallMeter> MeterRig::startedMeter() {
    // Wednesday 9 December 2026, 14:30.
    clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 30)));
    prompter.clear();
    auto meter = std::make_unique<CallMeter>(services, [] { return 0; });
    meter->ReadIniSettings();
    meter->startLineAndSound();
    meter->start();
    return meter;
}

void MeterRig::timeCall(CallMeter& meter, int distance, int band, qint64 ms) {
    meter.setDistance(distance);
    meter.setAutoTimeSense(false);
    meter.setManualBand(band);
    meter.StartTiming(true);
    clock.advance(ms / 2);
    meter.MainTimerTimer();
    clock.advance(ms - ms / 2);
    meter.StopTiming(true);
    meter.flushMessages();
}
