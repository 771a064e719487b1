// The settings file as every reader takes it: the meter's settings, the
// window positions, the viewer's columns, then a rewrite of one value, which
// must keep every other one.
#include "core/settings/MeterSettings.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/ShellSettings.h"
#include "core/viewer/ViewerColumns.h"
#include "fuzz/FuzzSupport.h"

#include <QStringList>

namespace {

// What the readers make of the file, as text to compare.
QString everythingRead(const SettingsFile& file) {
    MeterSettings meter;
    const QString failure = readMeterSettings(file, QStringLiteral("/sounds"), meter);
    QStringList read{failure,
                     meter.activeRateName,
                     QString::number(meter.dayTimeStartMs),
                     QString::number(meter.dayTimeEndMs),
                     QString::number(meter.spendLimit, 'g', 17),
                     meter.mainSymbol,
                     meter.subSymbol,
                     QString::number(meter.sensingMode),
                     meter.deviceToSense};
    read += QStringList(meter.soundFiles.cbegin(), meter.soundFiles.cend());
    for (bool on : meter.soundOn)
        read << QString::number(on);
    for (bool on :
         {meter.stayOnTop, meter.playSounds, meter.showSplash, meter.queryExit, meter.spendWarningOn})
        read << QString::number(on);
    read << QString::number(meter.windowToLoad);
    for (int mode = 0; mode <= 1; ++mode) {
        const QPoint at = ShellSettings::LoadWindowPosition(file, mode).value_or(QPoint());
        read << QStringLiteral("%1,%2").arg(at.x()).arg(at.y());
    }
    ColumnLayout layout;
    layout.read(file);
    for (int column = DateColumn; column <= RateColumn; ++column)
        read << QStringLiteral("%1 %2 %3")
                    .arg(layout.position(column))
                    .arg(layout.isVisible(column))
                    .arg(readColumnWidth(file, column));
    return read.join(QLatin1Char('|'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = FuzzSupport::scratchPath(QStringLiteral("Dialtaly.ini"));
    FuzzSupport::writeFile(path, FuzzSupport::bytesOf(data, size));
    const SettingsFile file(path);
    const QString before = everythingRead(file);
    bool written = false;
    ShellSettings::FirstUseOfProg(file, &written);
    if (written && everythingRead(file) != before)
        FuzzSupport::fail(
            QStringLiteral("counting a use changed the settings:\n%1\n%2").arg(before, everythingRead(file)));
    return 0;
}
