#include "core/spending/SpendWarningNotice.h"

namespace SpendWarningNotice {

std::optional<Notice> due(const QString& warning, int windowMode, bool windowOnShow) {
    if (windowMode == 0 && windowOnShow)
        return std::nullopt;
    return Notice{QStringLiteral("Spend Limit"), warning, QStringLiteral("dialog-warning")};
}

} // namespace SpendWarningNotice
