#include "core/settings/ShellSettings.h"

#include "core/settings/SettingsKeys.h"
#include "core/storage/RegularFile.h"

namespace ShellSettings {

namespace {
struct PositionKeys {
    const QString& left;
    const QString& top;
};

std::optional<PositionKeys> keysOf(int windowMode) {
    using namespace SettingsKeys;
    switch (windowMode) {
    case 0:
        return PositionKeys{NormalLeft, NormalTop};
    case 1:
        return PositionKeys{SmallBoxLeft, SmallBoxTop};
    default:
        return std::nullopt;
    }
}
} // namespace

bool FirstUseOfProg(const SettingsFile& file, bool* written) {
    using namespace SettingsKeys;
    // Something other than a file in its place (a named pipe) holds no count
    // and can keep none: the window says so, and no wizard asks for answers
    // that could not be kept.
    if (!RegularFile::notRegular(file.path()).isEmpty())
        return false;
    const quint16 count = quint16(file.ReadSettingInteger(DefaultsSection, TimesUsed, 0));
    const bool ok = file.WriteSettingInteger(DefaultsSection, TimesUsed, int(count) + 1);
    if (written)
        *written = ok;
    return count == 0;
}

std::optional<QPoint> LoadWindowPosition(const SettingsFile& file, int windowMode) {
    const auto keys = keysOf(windowMode);
    if (!keys)
        return std::nullopt;
    using namespace SettingsKeys;
    return QPoint(file.ReadSettingInteger(DefaultsSection, keys->left, DefaultPosition),
                  file.ReadSettingInteger(DefaultsSection, keys->top, DefaultPosition));
}

bool SaveWindowPosition(const SettingsFile& file, int windowMode, QPoint position) {
    const auto keys = keysOf(windowMode);
    if (!keys)
        return true;
    using namespace SettingsKeys;
    return file.WriteSettingInteger(DefaultsSection, keys->left, position.x()) &&
           file.WriteSettingInteger(DefaultsSection, keys->top, position.y());
}

} // namespace ShellSettings
