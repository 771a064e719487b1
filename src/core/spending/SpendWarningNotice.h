#pragma once

#include "core/seams/Notifier.h"

#include <optional>

// The spend warning of a call goes to the desktop's notifications as well when
// the main window is not on show to carry it: in the small box, the tray
// icon's and the minimised view (windowMode 1, 2, 3), or when the desktop has
// minimised or hidden the normal window.
namespace SpendWarningNotice {
std::optional<Notice> due(const QString& warning, int windowMode, bool windowOnShow);
}
