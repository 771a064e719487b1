#pragma once

#include "core/settings/ProgramFiles.h"

#include <QString>

#include <array>

// Every section and key of the settings file, written once for every reader
// and writer.
namespace SettingsKeys {

inline const QString RateSection = QStringLiteral("Telephone Rate Information");
inline const QString ActiveRateFile = QStringLiteral("ActiveRateFile");
inline const QString DayTimeStart = QStringLiteral("DayTimeStart");
inline const QString DayTimeEnd = QStringLiteral("DayTimeEnd");
inline const QString DefaultDayTime = QStringLiteral("12:00");
inline const QString MeterRateNameDefault = QStringLiteral("Active Rate File Incorrectly Set");
inline const QString DialogRateNameDefault = QStringLiteral("ERROR");
// The rate file laid down with no prices when the first questions were left
// without a tariff, until the user saves it in Setup.
inline const QString PricesNeeded = QStringLiteral("PricesNeeded");

inline const QString SoundSection = QStringLiteral("Sound Event Information");
inline const QString PlaySounds = QStringLiteral("PlaySounds");

enum SoundEvent { StartSound, StopSound, RunSound, ExitSound, SpendSound, SoundEventCount };

struct SoundKeys {
    const char* pathKey;     // the sound file's path
    const char* switchWrite; // the switch, as the dialog writes it
    const char* switchRead;  // the switch, as it is read (same key, other case)
    const char* fileName;    // default file in the program directory
};

inline constexpr std::array<SoundKeys, SoundEventCount> Sounds = {{
    {"Start", "StartOn", "StartON", "StartTimer.wav"},
    {"Stop", "StopOn", "StopON", "StopTimer.wav"},
    {"Run", "RunOn", "RunON", "RunProgram.wav"},
    {"Exit", "ExitOn", "ExitON", "ExitProgram.wav"},
    {"Spend", "SpendOn", "SpendON", "SpendLimit.wav"},
}};

inline const QString DefaultsSection = QStringLiteral("Default Setup Information");
inline const QString ShowSplash = QStringLiteral("ShowSplash");
inline const QString QueryExit = QStringLiteral("QueryExit");
inline const QString SpendWarning = QStringLiteral("SpendWarning");
inline const QString DefaultSpendWarning = QStringLiteral("1.00");
inline const QString SpendWarningOn = QStringLiteral("SpendWarningOn");
inline const QString MainSymbol = QStringLiteral("MainSymbol");
inline const QString DefaultMainSymbol = QStringLiteral("\u00a3");
inline const QString SubSymbol = QStringLiteral("SubSymbol");
inline const QString DefaultSubSymbol = QStringLiteral("p");
inline const QString AutoCallSensing = QStringLiteral("Auto Call Sensing");
inline const QString PortToSense = QStringLiteral("Port To Sense");
constexpr int DefaultPortToSense = 2;
// The path of the serial device watched, beside the port number (see SensedDevice).
inline const QString DeviceToSense = QStringLiteral("Device To Sense");
// The name, or a pattern of names, of the network link watched in mode 3.
inline const QString LinkToSense = QStringLiteral("Link To Sense");
inline const QString DefaultLinkToSense = QStringLiteral("ppp*");
inline const QString WindowToLoad = QStringLiteral("WindowToLoad");
inline const QString StayOnTop = QStringLiteral("Stay On Top");
inline const QString NormalLeft = QStringLiteral("Normal Window Left Position");
inline const QString NormalTop = QStringLiteral("Normal Window Top Position");
inline const QString SmallBoxLeft = QStringLiteral("SmallBox Window Left Position");
inline const QString SmallBoxTop = QStringLiteral("SmallBox Window Top Position");
constexpr int DefaultPosition = 100;
inline const QString TimesUsed = QStringLiteral("Times Used");

inline const QString ViewerSection = QStringLiteral("Data Viewer Defaults");

// The log viewer's three keys per column, in the viewer's column order; a
// column's default position is its place in this list.
struct ViewerColumnKeys {
    const char* position;
    const char* shown;
    const char* width;
    int defaultWidth; // pixels
};

inline constexpr std::array<ViewerColumnKeys, 11> ViewerColumns = {{
    {"DatePosition", "DateOn", "DateWidth", 58},
    {"DayPosition", "DayOn", "DayWidth", 60},
    {"StartTimePosition", "StartTimeOn", "StartTimeWidth", 56},
    {"EndTimePosition", "EndTimeOn", "EndTimeWidth", 53},
    {"DurationPosition", "DurationOn", "DurationWidth", 50},
    {"CostExcTaxPosition", "CostExcTaxOn", "CostExcTaxWidth", 66},
    {"CostIncTaxPosition", "CostIncTaxOn", "CostIncTaxWidth", 65},
    {"TypeOfCallPosition", "TypeOfCallOn", "TypeOfCallWidth", 70},
    {"DistancePosition", "DistanceOn", "DistanceWidth", 45},
    {"RatePosition", "RateOn", "RateWidth", 130},
    {"NumberPosition", "NumberOn", "NumberWidth", 110},
}};

// The default path of an event's sound: the program's own, in its resource directory.
inline QString defaultSoundPath(const QString& resourceDirectory, SoundEvent event) {
    return ProgramFiles::path(resourceDirectory, QLatin1String(Sounds[event].fileName));
}

} // namespace SettingsKeys
