#include "core/viewer/CallSort.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/spending/Money.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/ViewerColumns.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>

namespace {

// A damaged value, whose cell is empty, sorts below every other: a NaN key
// would compare with nothing, and nothing can be sorted by such keys.
constexpr double Damaged = -std::numeric_limits<double>::infinity();

double dayKey(double days) {
    return DayCount::isDayCount(days) ? days : Damaged;
}

double timeOfDayKey(double days) {
    return DayCount::isDayCount(days) ? days - std::trunc(days) : Damaged;
}

double moneyKey(float stored) {
    return Money::isAmount(stored) ? stored : Damaged;
}

struct Slot {
    double key;
    quint32 call;
};

// Every key fits a double without changing its order or its ties.
struct KeyOf {
    int sortKey;
    std::vector<int> rateRank; // by rate-name key
    const NumberNames* numbers = nullptr;
    std::vector<int> labelRank; // by label of the numbers, shifted by one: 0 for none

    double operator()(const CallRecord& r) const {
        switch (sortKey) {
        case DateColumn:
            return dayKey(r.date);
        case DayColumn:
            return r.dayOfWeek;
        case StartTimeColumn:
            return timeOfDayKey(r.startTime);
        case EndTimeColumn:
            return timeOfDayKey(r.endTime);
        case DurationColumn:
            return dayKey(r.duration);
        case CostExcTaxColumn:
            return moneyKey(r.netCost);
        case CostIncTaxColumn:
            return moneyKey(r.grossCost);
        case TypeOfCallColumn:
            return TimeBandOfRateCode(r.rateCode);
        case DistanceColumn:
            return r.rateCode;
        case RateColumn:
            return rateRank[r.rateNameKey];
        case NumberColumn:
            return numbers ? labelRank[size_t(numbers->labelOf(r) + 1)] : 0;
        }
        return 0;
    }
};

// Rate names compare as the bytes they are stored in; equal names share a rank.
std::vector<int> rateRanks(const QHash<quint16, QString>& names) {
    std::map<QByteArray, int> ranks{{QByteArray(), 0}};
    for (const QString& name : names)
        ranks.emplace(TextCodec::encode(name).value_or(name.toUtf8()), 0);
    int next = 0;
    for (auto& [bytes, rank] : ranks)
        rank = next++;
    std::vector<int> byKey(0x10000, 0);
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        byKey[it.key()] = ranks[TextCodec::encode(it.value()).value_or(it.value().toUtf8())];
    return byKey;
}

// Names and numbers compare as texts; the calls without one come first.
std::vector<int> labelRanks(const NumberNames* numbers) {
    if (!numbers)
        return {};
    const QStringList& labels = numbers->labels();
    std::vector<int> order(size_t(labels.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&labels](int a, int b) { return labels[a] < labels[b]; });
    std::vector<int> ranks(order.size() + 1, 0);
    for (size_t i = 0; i < order.size(); ++i)
        ranks[size_t(order[i]) + 1] = int(i) + 1;
    return ranks;
}

template <typename Precedes> class PartitionSort {
public:
    PartitionSort(std::vector<Slot>& items, Precedes precedes, const std::function<void(int)>& progress)
        : m_items(items), m_precedes(precedes), m_progress(progress), m_count(qint64(items.size()) - 1) {}

    // Slots lo..hi, 1-based as the procedure has them. The smaller part is
    // sorted first by recursion and the larger one in this loop, so the depth
    // stays logarithmic whatever the keys; the parts are independent, so the
    // result is the same as recursing into both in turn.
    void sort(qint64 lo, qint64 hi) {
        while (lo < hi) {
            const auto [i, j] = partition(lo, hi);
            if (j - lo < hi - i) {
                if (lo < j)
                    sort(lo, j);
                lo = i;
            } else {
                if (i < hi)
                    sort(i, hi);
                hi = j;
            }
        }
    }

private:
    std::pair<qint64, qint64> partition(qint64 lo, qint64 hi) {
        step();
        const Slot pivot = m_items[size_t((lo + hi) / 2)];
        qint64 i = lo;
        qint64 j = hi;
        do {
            while (m_precedes(m_items[size_t(i)].key, pivot.key))
                ++i;
            while (m_precedes(pivot.key, m_items[size_t(j)].key))
                --j;
            if (i <= j) {
                std::swap(m_items[size_t(i)], m_items[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        return {i, j};
    }

    void step() {
        ++m_steps;
        if (!m_progress)
            return;
        const int percent =
            int(std::min<double>(100, std::nearbyint(double(m_steps) / double(m_count) * 100)));
        if (percent != m_percent) {
            m_percent = percent;
            m_progress(percent);
        }
    }

    std::vector<Slot>& m_items;
    Precedes m_precedes;
    const std::function<void(int)>& m_progress;
    qint64 m_count;
    qint64 m_steps = 0;
    int m_percent = -1;
};

template <typename Precedes>
void run(std::vector<Slot>& items, Precedes precedes, const std::function<void(int)>& progress) {
    PartitionSort<Precedes> sorter(items, precedes, progress);
    sorter.sort(1, qint64(items.size()) - 1);
}

} // namespace

void sortCalls(const std::vector<CallRecord>& calls, int sortKey, bool ascending,
               const QHash<quint16, QString>& rateNames, std::vector<quint32>& order,
               const std::function<void(int percent)>& progress) {
    sortTableCalls(calls, sortKey, ascending, RateNames{rateNames, true, nullptr}, order, progress);
}

void sortTableCalls(const std::vector<CallRecord>& calls, int sortKey, bool ascending, const RateNames& names,
                    std::vector<quint32>& order, const std::function<void(int percent)>& progress) {
    const NumberNames* numbers = sortKey == NumberColumn ? names.numbers.get() : nullptr;
    KeyOf key{sortKey, sortKey == RateColumn ? rateRanks(names.names) : std::vector<int>(), numbers,
              labelRanks(numbers)};
    std::vector<Slot> items;
    items.reserve(calls.size() + 1);
    items.push_back(Slot{0, 0}); // slot 0 is not used
    for (size_t i = 0; i < calls.size(); ++i)
        items.push_back(Slot{key(calls[i]), quint32(i)});
    if (sortKey >= DateColumn && sortKey <= ViewerColumnCount) {
        if (ascending)
            run(
                items, [](double a, double b) { return a < b; }, progress);
        else
            run(
                items, [](double a, double b) { return a > b; }, progress);
    }
    order.resize(calls.size());
    for (size_t i = 0; i < calls.size(); ++i)
        order[i] = items[i + 1].call;
}
