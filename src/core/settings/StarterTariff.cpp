#include "core/settings/StarterTariff.h"

#include "core/settings/MeterSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"

#include <QDir>
#include <QFileInfo>

namespace StarterTariff {

QString layDown(const QString& programDirectory) {
    using namespace SettingsKeys;
    const SettingsFile settings(ProgramFiles::settingsPath(programDirectory));
    const SettingsSnapshot stored = settings.readAll();
    const QString active = stored.ReadSettingString(RateSection, ActiveRateFile, QString());
    if (!active.isEmpty() && readRateFile(ProgramFiles::rateFilePath(programDirectory, active)))
        return {};

    const QString path = ProgramFiles::rateFilePath(programDirectory, Name);
    const bool usersOwn = QFileInfo::exists(path);
    if (!usersOwn) {
        RateTable table;
        table.texts.fill(NoPrice);
        QString reason;
        if (!writeRateFile(path, table, &reason))
            return QStringLiteral("Unable to write to %1\n%2").arg(QDir::toNativeSeparators(path), reason);
    }
    // The rate file first: the settings never name a file that is not there.
    SettingsChanges changes;
    changes.setString(RateSection, ActiveRateFile, Name);
    if (!usersOwn)
        changes.setString(RateSection, PricesNeeded, Name);
    for (const auto& [key, time] : {std::pair{&SettingsKeys::DayTimeStart, &DayTimeStart},
                                    std::pair{&SettingsKeys::DayTimeEnd, &DayTimeEnd}}) {
        if (!parseTimeOfDay(stored.ReadSettingString(RateSection, *key, QString())))
            changes.setString(RateSection, *key, *time);
    }
    const bool written = settings.write(changes);
    return written ? QString() : settings.failureText();
}

} // namespace StarterTariff
