#pragma once

#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"

#include <QString>

#include <array>
#include <optional>

// The main window's copy of the settings.
struct MeterSettings {
    // The active rate file still has the starter's prices, none of the user's.
    bool awaitingPrices() const { return !pricesNeeded.isEmpty() && pricesNeeded == activeRateName; }

    QString activeRateName;
    QString pricesNeeded;   // the rate file still waiting for the user's prices, if any
    int dayTimeStartMs = 0; // time of day, milliseconds after midnight
    int dayTimeEndMs = 0;
    int windowToLoad = 0;
    bool stayOnTop = false;
    std::array<QString, SettingsKeys::SoundEventCount> soundFiles;
    std::array<bool, SettingsKeys::SoundEventCount> soundOn{};
    bool playSounds = false;
    bool showSplash = false;
    bool queryExit = false;
    double spendLimit = 0;
    QString mainSymbol;
    // Kept when the key is absent; starts as the "p" the other readers default to,
    // so an amount below one main unit never shows without its symbol.
    QString subSymbol = SettingsKeys::DefaultSubSymbol;
    bool spendWarningOn = false;
    int sensingMode = 0;   // 0 none, 1 carrier detect, 2 telephony line, 3 a network link
    QString deviceToSense; // empty until a device has been read
    QString linkToSense = SettingsKeys::DefaultLinkToSense;
};

// Reads the main window's keys in their order. A daytime that is not a valid
// time, or a spend limit that is not a number, stops the reading there: the
// keys after it keep the values they had, and the message to show is returned.
// Returns an empty text when everything was read. The default sounds are in
// soundDirectory.
QString readMeterSettings(const SettingsSnapshot& file, const QString& soundDirectory,
                          MeterSettings& settings);

// The network link's name or pattern as typed or stored: the default when blank.
QString linkToSense(const QString& text);
QString readLinkToSense(const SettingsSnapshot& file);

// "h:mm", " h:mm" or "hh:mm" (seconds allowed), hour 0..23, minute 0..59.
std::optional<int> parseTimeOfDay(const QString& text);
// A decimal number with a point.
std::optional<double> parseAmount(const QString& text);
