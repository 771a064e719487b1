// Times the tariff comparison: a log of 1,000,000 calls priced again with 10
// rate files, in one pass over the log, each rate file read once, by itself
// and as the command line's compare.
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/TariffComparison.h"
#include "core/tariff/RateFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int Calls = 1'000'000;
constexpr int RateFiles = 10;
constexpr double LimitMs = 1000;

std::vector<CallRecord> makeCalls(double now) {
    QRandomGenerator random(Calls);
    std::vector<CallRecord> calls(size_t(Calls), CallRecord{});
    const double span = 3 * 365.0; // the last three years, oldest first
    for (int i = 0; i < Calls; ++i) {
        CallRecord& r = calls[size_t(i)];
        r.date = r.startTime = now - span + span * (i + 0.5) / Calls;
        r.duration = random.bounded(3'600'000) / double(DayCount::MsPerDay);
        r.endTime = r.startTime + r.duration;
        r.dayOfWeek = quint16(DayCount::storedDayOfWeek(r.startTime));
        r.rateCode = quint16(random.bounded(12) + 1);
        r.rateNameKey = 1;
        r.netCost = float(random.bounded(500)) / 100.0f;
        r.grossCost = r.netCost * 1.175f;
    }
    return calls;
}

RateTable rateTable(int n) {
    RateTable table;
    for (int slot = 1; slot <= 12; ++slot)
        table.slot(slot) = QString::number(0.5 + n * 0.75 + slot * 0.25, 'f', 2);
    table.slot(TaxSlot) = QStringLiteral("17.50");
    table.slot(MinimumSlot) = QString::number(n % 3 * 2.5, 'f', 2);
    table.slot(ConnectionSlot) = QString::number(n % 4 * 1.5, 'f', 2);
    table.slot(DiscountSlot) = QString::number(n % 5 * 5.0, 'f', 2);
    return table;
}

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const double now = DayCount::fromDateTime(QDateTime::currentDateTime());
    const CallLog log(ProgramFiles::callLogPath(dir.path()));
    QString reason;
    if (!log.append(makeCalls(now), &reason)) {
        std::fprintf(stderr, "cannot write the log: %s\n", qPrintable(reason));
        return 1;
    }
    for (int n = 0; n < RateFiles; ++n) {
        const QString path = ProgramFiles::rateFilePath(dir.path(), QStringLiteral("Tariff %1").arg(n + 1));
        if (!writeRateFile(path, rateTable(n), &reason)) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(reason));
            return 1;
        }
    }

    std::printf("%d calls, %d rate files\n", Calls, RateFiles);
    const double floor = timed([&] { log.forEach([](const CallRecord&) {}); });
    std::printf("  %-42s %9.1f ms\n", "read the log's calls (floor)", floor);
    std::vector<TariffRow> rows;
    const double compared = timed([&] {
        TariffComparison comparison(dir.path(), QStringLiteral("Tariff 1"));
        log.forEach([&comparison](const CallRecord& call) { comparison.add(call); });
        rows = comparison.rows();
    });
    std::printf("  %-42s %9.1f ms  (limit %.0f ms: %s)\n", "price them with every rate file", compared,
                LimitMs, compared <= LimitMs ? "met" : "MISSED");
    if (rows.size() != size_t(RateFiles) || rows.front().calls != Calls) {
        std::fprintf(stderr, "the comparison lost calls or rate files\n");
        return 1;
    }

    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    int status = -1;
    const double command = timed([&] {
        status = LogCommands::run(
            {QStringLiteral("dialtally"), QStringLiteral("compare"), QStringLiteral("--dir"), dir.path()}, {},
            now, out, err);
    });
    std::printf("  %-42s %9.1f ms  (limit %.0f ms: %s)\n", "dialtally compare, the whole command", command,
                LimitMs, command <= LimitMs ? "met" : "MISSED");
    if (status != 0) {
        std::fprintf(stderr, "dialtally compare: %s\n", err.data().constData());
        return 1;
    }
    return 0;
}
