#pragma once

#include "core/seams/Notifier.h"
#include "core/settings/BudgetSettings.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class SettingsFile;
struct BudgetPace;
struct SpendingReading;

// Which budget notice is due: when the bill period's spending reaches 80 % and
// 100 % of the budget, and when the projection first goes over it, judged on
// the amounts the budget's line shows. Each goes out once per period and
// budget: a new amount or bill day arms them again for the rest of the period.
// One check sends one notice at most, that of the highest threshold passed;
// one at 80 % says so when the projection is over too, and one at 100 % stands
// for the two below it.
class BudgetAlerts {
public:
    struct Due {
        Notice notice;
        std::vector<BudgetSettings::Notice> tells; // what it tells of: recorded once it is shown
    };
    static std::optional<Due> due(const BudgetPace& pace, const BudgetSettings& budget,
                                  const QString& mainSymbol);

    using Failed = std::function<void(const QString& settingsFailure)>;
    // The whole check, for a window with a fresh reading: sends the notice
    // that is due unless it is already on its way, and once the notifier says
    // it was shown, records it in the settings file in one write. A notice
    // that was not shown is not recorded, so a later check tries again. When
    // the record cannot be stored, failed is told, and this object remembers
    // the notice so that it is not sent again while the program runs.
    void check(const SpendingReading& reading, const SettingsFile& settings, Notifier& notifier,
               Failed failed = {});

private:
    // Shared with the notices on their way, which may be answered later.
    struct State {
        std::array<std::optional<BudgetSettings::Sent>, BudgetSettings::NoticeCount> shown{};
        std::optional<std::pair<BudgetSettings::Sent, QString>> onItsWay; // and its title
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
