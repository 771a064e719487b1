#include "core/settings/MeterSettings.h"

#include "core/settings/SensedDevice.h"
#include "core/tariff/RateFile.h"

#include <QRegularExpression>

using namespace SettingsKeys;

std::optional<int> parseTimeOfDay(const QString& text) {
    static const QRegularExpression time(QStringLiteral("^([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?$"));
    const QRegularExpressionMatch m = time.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    const int second = m.hasCaptured(3) ? m.captured(3).toInt() : 0;
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return ((hour * 60 + minute) * 60 + second) * 1000;
}

std::optional<double> parseAmount(const QString& text) {
    return RateFileCodec::parseNumber(text.trimmed());
}

QString readMeterSettings(const SettingsSnapshot& file, const QString& soundDirectory,
                          MeterSettings& settings) {
    settings.activeRateName = file.ReadSettingString(RateSection, ActiveRateFile, MeterRateNameDefault);
    settings.pricesNeeded = file.ReadSettingString(RateSection, PricesNeeded, QString());

    // Each time is converted the moment it is read: a bad one stops the
    // reading there, as the keys after it are left as they were.
    for (auto [key, target] : {std::pair{&DayTimeStart, &settings.dayTimeStartMs},
                               std::pair{&DayTimeEnd, &settings.dayTimeEndMs}}) {
        const QString text = file.ReadSettingString(RateSection, *key, DefaultDayTime);
        const std::optional<int> ms = parseTimeOfDay(text);
        if (!ms)
            return QStringLiteral("'%1' is not a valid time").arg(text);
        *target = *ms;
    }

    settings.windowToLoad = file.ReadSettingInteger(DefaultsSection, WindowToLoad, 0);
    settings.stayOnTop = file.ReadSettingBool(DefaultsSection, StayOnTop, false);
    for (int i = 0; i < SoundEventCount; ++i) {
        settings.soundFiles[i] = file.ReadSettingString(SoundSection, QLatin1String(Sounds[i].pathKey),
                                                        defaultSoundPath(soundDirectory, SoundEvent(i)));
    }
    for (int i = 0; i < SoundEventCount; ++i)
        settings.soundOn[i] = file.ReadSettingBool(SoundSection, QLatin1String(Sounds[i].switchRead), true);
    settings.playSounds = file.ReadSettingBool(SoundSection, PlaySounds, true);
    settings.showSplash = file.ReadSettingBool(DefaultsSection, ShowSplash, true);
    settings.queryExit = file.ReadSettingBool(DefaultsSection, QueryExit, true);

    const QString limit = file.ReadSettingString(DefaultsSection, SpendWarning, DefaultSpendWarning);
    const std::optional<double> amount = parseAmount(limit);
    if (!amount)
        return RateFileCodec::notANumberText(limit);
    settings.spendLimit = *amount;

    settings.mainSymbol = file.ReadSettingString(DefaultsSection, MainSymbol, DefaultMainSymbol).left(1);
    // The meter has no default of its own here: an absent key keeps what it holds.
    settings.subSymbol = file.ReadSettingString(DefaultsSection, SubSymbol, settings.subSymbol).left(1);
    settings.spendWarningOn = file.ReadSettingBool(DefaultsSection, SpendWarningOn, true);

    const int sensing = file.ReadSettingInteger(DefaultsSection, AutoCallSensing, 0);
    settings.sensingMode = (sensing >= 1 && sensing <= 3) ? sensing : 0;
    // No device stored (a port number outside 1 to 4) keeps the one already held.
    if (const QString device = SensedDevice::read(file); !device.isEmpty())
        settings.deviceToSense = device;
    settings.linkToSense = readLinkToSense(file);
    return {};
}

QString linkToSense(const QString& text) {
    const QString link = text.trimmed();
    return link.isEmpty() ? DefaultLinkToSense : link;
}

QString readLinkToSense(const SettingsSnapshot& file) {
    return linkToSense(file.ReadSettingString(DefaultsSection, LinkToSense, DefaultLinkToSense));
}
