#pragma once

#include <QString>

class SettingsChanges;
class SettingsFile;
class SettingsSnapshot;

// The serial device watched for the carrier. The settings file keeps the
// original port number ("Port To Sense", 1 to 4 for ttyS0 to ttyS3) and,
// beside it, the device's path ("Device To Sense"), so any serial device can
// be watched and a file of the original program still reads the same.
namespace SensedDevice {

// "/dev/ttyS0" for port 1 .. "/dev/ttyS3" for port 4; empty for any other.
QString portDevice(int port);
// The port number of one of those four devices; 0 for any other.
int portOf(const QString& device);

// The stored device; empty when there is none (no device key and a port
// number outside 1 to 4). For the four numbered devices the port number
// decides, since a writer that knows only the number may have changed it.
QString read(const SettingsSnapshot& file);
// The device under its key, and its port number when it has one, among other
// changes; an empty device changes nothing.
void addTo(SettingsChanges& changes, const QString& device);
// The same in one write. False when the file cannot be written.
bool write(const SettingsFile& file, const QString& device);

} // namespace SensedDevice
