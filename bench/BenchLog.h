#pragma once

#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"

#include <QRandomGenerator>

#include <vector>

// The logs the benchmarks time: calls evenly over the three years before now,
// oldest first, in five rates.
namespace BenchLog {

inline std::vector<CallRecord> makeCalls(int count, double now) {
    QRandomGenerator random(count);
    std::vector<CallRecord> calls(static_cast<size_t>(count));
    const double span = 3 * 365.0;
    for (int i = 0; i < count; ++i) {
        CallRecord& r = calls[size_t(i)];
        r.date = r.startTime = now - span + span * (i + 0.5) / count;
        r.duration = random.bounded(3600) / 86400.0;
        r.endTime = r.startTime + r.duration;
        r.dayOfWeek = quint16(DayCount::storedDayOfWeek(r.startTime));
        r.rateCode = quint16(random.bounded(12) + 1);
        r.rateNameKey = quint16(random.bounded(5) + 1);
        r.netCost = float(random.bounded(500)) / 100.0f;
        r.grossCost = r.netCost * 1.2f;
    }
    return calls;
}

// The log and the rate names in the directory; false when they cannot be written.
inline bool write(const QString& directory, int count, double now) {
    const RateNameStore store(ProgramFiles::rateNameStorePath(directory));
    for (const char* name : {"BT Daytime", "Kingston", "Cable & Wireless", "Mercury", "Freephone"}) {
        if (!store.RateNameKeyFor(QLatin1String(name)))
            return false;
    }
    return CallLog(ProgramFiles::callLogPath(directory)).append(makeCalls(count, now));
}

} // namespace BenchLog
