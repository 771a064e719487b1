#pragma once

#include "core/seams/Notifier.h"
#include "core/settings/BudgetSettings.h"

#include <vector>

class Notifier;
class SettingsFile;
class SpendingFigures;
struct BudgetPace;

// Which budget notices are due: when the bill period's spending reaches 80 %
// and 100 % of the budget, and when the projection first goes over it. Each
// goes out once per period; the budget's settings remember which were sent.
// One check sends one notice at most, the most urgent, and marks as sent the
// ones it makes needless: at 100 % the other two, at 80 % the projection when
// it is over too (the text says so).
class BudgetAlerts {
public:
    // The notices to send now; marks them in budget.notified.
    static std::vector<Notice> due(const BudgetPace& pace, BudgetSettings& budget, const QString& mainSymbol);

    // The whole check, for a window that has fresh figures: reads the budget,
    // and when a notice is due stores that it was sent and sends it. Returns
    // the settings file's failure when that cannot be stored, else an empty
    // text; the notice is sent all the same, and this object remembers it so
    // that it is not sent again while the program runs.
    QString check(const SpendingFigures& figures, const SettingsFile& settings, Notifier& notifier,
                  const QString& mainSymbol);

private:
    std::array<std::optional<qint64>, BudgetSettings::NoticeCount> m_sent{};
};
