// Times the call log's readers and its append on a log of a million calls.
#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main() {
    constexpr int Records = 1'000'000;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    const CallLog log(dir.filePath(QStringLiteral("Calls.log")));
    const double now = DayCount::fromDateTime(QDateTime::currentDateTime());

    std::vector<CallRecord> records(Records);
    for (int i = 0; i < Records; ++i) {
        CallRecord& r = records[size_t(i)];
        r.date = r.startTime = now - (Records - i) * 0.001; // about the last three years
        r.endTime = r.startTime + 0.0005;
        r.duration = 0.0005;
        r.dayOfWeek = quint16(DayCount::storedDayOfWeek(r.startTime));
        r.rateCode = quint16(i % 12 + 1);
        r.rateNameKey = 1;
        r.grossCost = 0.12f;
        r.netCost = 0.10f;
    }
    QElapsedTimer timer;
    timer.start();
    if (!log.append(records)) {
        std::fprintf(stderr, "cannot write the log\n");
        return 1;
    }
    std::printf("write %d records:        %8.1f ms\n", Records, timer.nsecsElapsed() / 1e6);
    records.clear();

    timer.restart();
    const CallTotals totals = findCallTotals(log, now);
    std::printf("findCallTotals:              %8.1f ms  (%lld today, %lld this week)\n",
                timer.nsecsElapsed() / 1e6, static_cast<long long>(totals.todayCount),
                static_cast<long long>(totals.weekCount));

    CallRecord one;
    one.date = one.startTime = now;
    timer.restart();
    log.append({one});
    std::printf("append one record:           %8.3f ms\n", timer.nsecsElapsed() / 1e6);

    timer.restart();
    const std::vector<CallRecord> all = log.readAll();
    std::printf("readAll (%zu records):   %8.1f ms\n", all.size(), timer.nsecsElapsed() / 1e6);
    return 0;
}
