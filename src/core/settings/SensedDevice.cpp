#include "core/settings/SensedDevice.h"

#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"

using namespace SettingsKeys;

namespace SensedDevice {

QString portDevice(int port) {
    return port >= 1 && port <= 4 ? QStringLiteral("/dev/ttyS%1").arg(port - 1) : QString();
}

int portOf(const QString& device) {
    for (int port = 1; port <= 4; ++port)
        if (device == portDevice(port))
            return port;
    return 0;
}

QString read(const SettingsSnapshot& file) {
    const QString device = file.ReadSettingString(DefaultsSection, DeviceToSense, QString());
    const QString numbered =
        portDevice(file.ReadSettingInteger(DefaultsSection, PortToSense, DefaultPortToSense));
    if (device.isEmpty() || (portOf(device) != 0 && !numbered.isEmpty()))
        return numbered;
    return device;
}

void addTo(SettingsChanges& changes, const QString& device) {
    if (device.isEmpty())
        return;
    if (const int port = portOf(device); port != 0)
        changes.setInteger(DefaultsSection, PortToSense, port);
    changes.setString(DefaultsSection, DeviceToSense, device);
}

bool write(const SettingsFile& file, const QString& device) {
    SettingsChanges changes;
    addTo(changes, device);
    return file.write(changes);
}

} // namespace SensedDevice
