#pragma once

#include "core/calllog/CallLog.h"
#include "core/spending/Money.h"
#include "core/viewer/CallCells.h"

#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// What a group of calls cost.
struct SpendPart {
    qint64 calls = 0;
    MoneySum net;   // tax excluded
    MoneySum gross; // tax included: what the user pays

    SpendPart& operator+=(const SpendPart& other) {
        calls += other.calls;
        net += other.net;
        gross += other.gross;
        return *this;
    }
};

// One bar of a chart: the calls dated from firstDay up to, not including,
// endDay (day numbers, see DayCount::dayNumber).
struct SpendBar {
    static constexpr int UnknownBand = 3;

    qint64 firstDay = 0;
    qint64 endDay = 0;
    SpendPart total;
    // Daytime, Evening, Weekend, then the calls whose rate code is out of
    // 1..12 (a damaged record: the viewer shows no band for it).
    std::array<SpendPart, 4> bands;
    // By rate name, in the order of SpendingFigures::rateNames().
    std::vector<SpendPart> rates;
};

enum class SpendView { Day, Week, Month };

// The spend per day (the last 31 days), per week from Monday (the last 26)
// and per bill period (the last 24), made in one pass over the log.
//
// A call is dated by the day of its start, the date the viewer shows and
// selects periods by. It counts in the bar of every view that holds that day:
// a call dated after now (the clock was once set wrong) counts where its day
// is shown, later this week or in this bill period, and nowhere else. A
// record whose date is no date at all (the viewer shows it empty) counts
// nowhere; a damaged amount counts as nothing, its call still counts.
// A day without calls is a bar of zeros.
class SpendingFigures {
public:
    static constexpr int DayBars = 31;
    static constexpr int WeekBars = 26;
    static constexpr int MonthBars = 24;

    // The figures at now (a local day count) with periods starting on
    // billDay (1..28). The names of rates are looked up once per key. When the
    // log cannot be read the figures hold what was read and logRead() is
    // false, with the reason; a missing log is a log without calls.
    // Given firstDay (a day number), each view also reaches back to the bar
    // that holds it (at most LongestReach days), for reports of any span.
    static SpendingFigures compute(const CallLog& log, const RateNames& rates, double now, int billDay,
                                   std::optional<qint64> firstDay = std::nullopt);
    static constexpr qint64 LongestReach = 100 * 366;

    qint64 today() const { return m_today; }
    int billDay() const { return m_billDay; }
    // Oldest first; the last bar of each view holds today.
    const std::vector<SpendBar>& bars(SpendView view) const { return m_bars[int(view)]; }
    // The names the bars' rate parts stand for. Keys that name the same rate
    // (a rate renamed and named back, a name cut to 30 characters) share one.
    const QStringList& rateNames() const { return m_rateNames; }
    // What was spent on the days firstDay..endDay-1, as far as the bars reach.
    SpendPart between(qint64 firstDay, qint64 endDay) const;
    // Records with a damaged date, in no bar.
    qint64 undatedCalls() const { return m_undated; }

    bool logRead() const { return m_logRead; }
    const QString& readFailure() const { return m_failure; }

private:
    qint64 m_today = 0;
    int m_billDay = 1;
    qint64 m_firstDay = 0;         // the first day any bar holds
    std::vector<SpendPart> m_days; // from m_firstDay on
    std::array<std::vector<SpendBar>, 3> m_bars;
    QStringList m_rateNames;
    qint64 m_undated = 0;
    bool m_logRead = true;
    QString m_failure;
};
