#include "core/spending/SpendingFigures.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace {

// What one day's calls cost, split the ways a bar is.
struct DayFigures {
    SpendPart total;
    std::array<SpendPart, 4> bands;
    std::vector<SpendPart> rates;
};

void add(SpendPart& part, qint64 netPennies, qint64 grossPennies) {
    ++part.calls;
    part.net.addPennies(netPennies);
    part.gross.addPennies(grossPennies);
}

// Gives each rate name a place, looking each key up once.
class RateSlots {
public:
    explicit RateSlots(const RateNames& rates) : m_rates(rates), m_slotOfKey(0x10000, -1) {}

    int slotOf(quint16 key) {
        int& slot = m_slotOfKey[key];
        if (slot < 0) {
            const QString name = m_rates.nameFor(key);
            const auto found = m_slotOfName.constFind(name);
            if (found != m_slotOfName.cend()) {
                slot = *found;
            } else {
                slot = int(m_names.size());
                m_slotOfName.insert(name, slot);
                m_names << name;
            }
        }
        return slot;
    }
    const QStringList& names() const { return m_names; }

private:
    const RateNames& m_rates;
    std::vector<int> m_slotOfKey;
    QHash<QString, int> m_slotOfName;
    QStringList m_names;
};

std::vector<SpendBar> barsFrom(const std::vector<qint64>& starts, qint64 end) {
    std::vector<SpendBar> bars(starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        bars[i].firstDay = starts[i];
        bars[i].endDay = i + 1 < starts.size() ? starts[i + 1] : end;
    }
    return bars;
}

std::vector<qint64> everyDay(qint64 first, int count, int step) {
    std::vector<qint64> starts;
    for (int i = 0; i < count; ++i)
        starts.push_back(first + qint64(i) * step);
    return starts;
}

} // namespace

SpendingFigures SpendingFigures::compute(const CallLog& log, const RateNames& rates, double now, int billDay,
                                         std::optional<qint64> firstDay) {
    SpendingFigures f;
    f.m_today = DayCount::dayNumber(now);
    f.m_billDay = std::clamp(billDay, 1, 28);
    const qint64 reach = std::clamp(firstDay.value_or(f.m_today), f.m_today - LongestReach, f.m_today);

    const qint64 thisWeek = DayCount::weekStart(f.m_today);
    std::vector<qint64> periods{DayCount::billPeriodStart(f.m_today, f.m_billDay)};
    while (periods.size() < size_t(MonthBars) || periods.front() > reach)
        periods.insert(periods.begin(), DayCount::billPeriodStart(periods.front() - 1, f.m_billDay));
    const int dayBars = int(std::max<qint64>(DayBars, f.m_today - reach + 1));
    const int weekBars = int(std::max<qint64>(WeekBars, (thisWeek - DayCount::weekStart(reach)) / 7 + 1));

    auto& days = f.m_bars[int(SpendView::Day)];
    auto& weeks = f.m_bars[int(SpendView::Week)];
    auto& months = f.m_bars[int(SpendView::Month)];
    days = barsFrom(everyDay(f.m_today - dayBars + 1, dayBars, 1), f.m_today + 1);
    weeks = barsFrom(everyDay(thisWeek - 7 * (weekBars - 1), weekBars, 7), thisWeek + 7);
    months = barsFrom(periods, DayCount::nextBillPeriodStart(periods.back()));

    f.m_firstDay = std::min({days.front().firstDay, weeks.front().firstDay, months.front().firstDay});
    const qint64 endDay = std::max({days.back().endDay, weeks.back().endDay, months.back().endDay});
    std::vector<DayFigures> byDay(size_t(endDay - f.m_firstDay));

    RateSlots names(rates);
    // The day of the last call, for the calls after it: a log is mostly in
    // date order, and a date inside (not at the edge of) that day's span is
    // of that day without working it out again.
    double dayLow = 1;
    double dayHigh = 0;
    DayFigures* sameDay = nullptr; // none when the day is in no bar
    QString reason;
    f.m_logRead = log.forEach(
        [&](const CallRecord& call) {
            if (!(call.date > dayLow && call.date < dayHigh)) {
                if (!DayCount::isDayCount(call.date)) {
                    ++f.m_undated;
                    return;
                }
                const qint64 number = DayCount::dayNumber(call.date);
                dayLow = double(number) + DayCount::EdgeOfDay;
                dayHigh = double(number + 1) - DayCount::EdgeOfDay;
                const qint64 index = number - f.m_firstDay;
                sameDay = index >= 0 && index < qint64(byDay.size()) ? &byDay[size_t(index)] : nullptr;
            }
            if (!sameDay)
                return;
            // Each call counts in three parts: its pennies are found once.
            const qint64 net = Money::pennies(call.netCost);
            const qint64 gross = Money::pennies(call.grossCost);
            add(sameDay->total, net, gross);
            const int band = TimeBandOfRateCode(call.rateCode);
            add(sameDay->bands[band == 0 ? SpendBar::UnknownBand : band - 1], net, gross);
            const size_t slot = size_t(names.slotOf(call.rateNameKey));
            if (sameDay->rates.size() <= slot)
                sameDay->rates.resize(slot + 1);
            add(sameDay->rates[slot], net, gross);
        },
        &reason);
    // A log not yet written is a log without calls.
    if (!f.m_logRead && !QFile::exists(log.path()))
        f.m_logRead = true;
    else if (!f.m_logRead)
        f.m_failure = reason;
    f.m_rateNames = names.names();

    f.m_days.reserve(byDay.size());
    for (const DayFigures& day : byDay)
        f.m_days.push_back(day.total);
    for (auto& view : f.m_bars) {
        for (SpendBar& bar : view) {
            bar.rates.resize(size_t(f.m_rateNames.size()));
            for (qint64 d = bar.firstDay; d < bar.endDay; ++d) {
                const DayFigures& day = byDay[size_t(d - f.m_firstDay)];
                bar.total += day.total;
                for (size_t b = 0; b < day.bands.size(); ++b)
                    bar.bands[b] += day.bands[b];
                for (size_t r = 0; r < day.rates.size(); ++r)
                    bar.rates[r] += day.rates[r];
            }
        }
    }
    return f;
}

SpendPart SpendingFigures::between(qint64 firstDay, qint64 endDay) const {
    SpendPart spent;
    const qint64 last = m_firstDay + qint64(m_days.size());
    for (qint64 d = std::max(firstDay, m_firstDay); d < std::min(endDay, last); ++d)
        spent += m_days[size_t(d - m_firstDay)];
    return spent;
}
