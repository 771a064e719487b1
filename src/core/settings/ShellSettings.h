#pragma once

#include "core/settings/SettingsFile.h"

#include <QPoint>

#include <optional>

// The settings of the program's start and of its window's places.
namespace ShellSettings {

// Reads the use count ("Times Used", of which only the low 16 bits count) and
// stores it one higher. True when this is the first use: no count yet, or a
// count whose low 16 bits have come round to 0. written is false when the
// count could not be stored.
bool FirstUseOfProg(const SettingsFile& file, bool* written = nullptr);

// The remembered place of a view: the normal window (mode 0) or the small box
// (mode 1), 100 for a key that is missing or unreadable. The other views have
// no place of their own: nothing for them.
std::optional<QPoint> LoadWindowPosition(const SettingsFile& file, int windowMode);
// Stores the place of the normal window or the small box under its own keys,
// left under "Left" and top under "Top", so it reads back as it was left.
// Nothing is stored for the other views. False when the file cannot be written.
bool SaveWindowPosition(const SettingsFile& file, int windowMode, QPoint position);

} // namespace ShellSettings
