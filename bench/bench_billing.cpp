// Times the one charge rule on a million logged calls, without billing rules
// and with every kind of rule (blocks, rounding, a cap, holidays, free minutes
// per bill period): the pricing alone, and a pass over the log as the
// comparison makes it, the calls read from Calls.log and priced as they come.
#include "BenchLog.h"

#include "core/calllog/CallTotals.h"
#include "core/spending/Money.h"
#include "core/spending/TariffComparison.h"
#include "core/tariff/Billing.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <functional>

#include <time.h>

namespace {

constexpr int Calls = 1'000'000;
constexpr int Rounds = 5;
constexpr double LimitRatio = 1.5;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The processor time of the best of a few rounds: on a shared machine the
// time on the wall counts the other programs' turns too.
double bestMs(const std::function<void()>& work) {
    double best = 1e300;
    for (int round = 0; round < Rounds; ++round) {
        const double start = threadCpuMs();
        work();
        best = std::min(best, threadCpuMs() - start);
    }
    return best;
}

// Prices calls one by one: with no rules as the comparison does today, with
// rules as the bill does.
struct Pricer {
    explicit Pricer(const std::array<WorkingValues, 12>& prices, const BillingRules* billing = nullptr)
        : byRateCode(prices), rules(billing) {}

    const std::array<WorkingValues, 12>& byRateCode;
    const BillingRules* rules;
    std::optional<BillingRun> run;
    MoneySum gross;

    void start() {
        gross = {};
        if (rules)
            run.emplace(*rules, 1);
    }
    void add(const CallRecord& call) {
        if (!run) {
            gross.add(callCostOf(byRateCode[size_t(call.rateCode - 1)], call.duration).storedGross());
            return;
        }
        const int band = TimeBandOfRateCode(call.rateCode);
        const int billed = run->bandOf(band, call.startTime);
        const WorkingValues& values = byRateCode[size_t(call.rateCode - band + billed - 1)];
        gross.add(run->charge(values, call.startTime, billed, call.duration).cost.storedGross());
    }
};

void line(const char* what, double plain, double billed) {
    const double ratio = billed / plain;
    std::printf("  %-34s %7.1f ms without rules, %7.1f ms with: %5.2f x  (limit %.1f x: %s)\n", what, plain,
                billed, ratio, LimitRatio, ratio <= LimitRatio ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const double now = DayCount::fromDateTime(QDateTime::currentDateTime());
    const std::vector<CallRecord> calls = BenchLog::makeCalls(Calls, now);
    if (!BenchLog::write(dir.path(), Calls, now)) {
        std::fprintf(stderr, "cannot write the log in %s\n", qPrintable(dir.path()));
        return 1;
    }
    const CallLog log(ProgramFiles::callLogPath(dir.path()));

    std::array<WorkingValues, 12> byRateCode{};
    for (int code = 1; code <= 12; ++code)
        byRateCode[size_t(code - 1)] = {(1.5 + code * 0.5) * 14.4, 1.175, 0.05, 0.03, 0.9};
    BillingRules rules;
    rules.firstBlock = 60;
    rules.nextBlock = 1;
    rules.roundUpTo = 0.1;
    rules.capPerCall = 5;
    rules.holidays = *parseHolidays(u"01-01, 12-25, 12-26, Easter-2, Easter+1, 05-01");
    rules.freeMinutes = 100;
    rules.freeBands = 0b110;

    Pricer plain(byRateCode);
    Pricer billed(byRateCode, &rules);
    const auto inMemory = [&calls](Pricer& pricer) {
        return bestMs([&] {
            pricer.start();
            for (const CallRecord& call : calls)
                pricer.add(call);
        });
    };
    const auto fromTheLog = [&log](Pricer& pricer) {
        return bestMs([&] {
            pricer.start();
            log.forEach([&pricer](const CallRecord& call) { pricer.add(call); });
        });
    };

    std::printf("%d calls priced again (processor time, best of %d)\n", Calls, Rounds);
    line("the pricing alone", inMemory(plain), inMemory(billed));
    const double plainPass = fromTheLog(plain);
    const double billedPass = fromTheLog(billed);
    line("a pass over the log", plainPass, billedPass);
    std::printf("  the calls cost %.2f without rules, %.2f with them\n", plain.gross.total(),
                billed.gross.total());

    // Ten rate files, each with every kind of rule, its own blocks.
    constexpr int Files = 10;
    constexpr double ComparisonLimitMs = 1000;
    for (int file = 0; file < Files; ++file) {
        RateTable table;
        for (int slot = 1; slot <= RateTable::SlotCount; ++slot)
            table.slot(slot) = QString::number(1 + file * 0.25 + slot * 0.5, 'f', 2);
        const QString path = ProgramFiles::rateFilePath(dir.path(), QStringLiteral("Tariff %1").arg(file));
        BillingRules own = rules;
        own.nextBlock = file % 2 ? 60 : 1;
        if (!writeRateFile(path, table) || !BillingRulesFile::write(BillingRulesFile::pathFor(path), own))
            return 1;
    }
    const double compared = bestMs([&] {
        TariffComparison comparison(dir.path(), QStringLiteral("Tariff 0"));
        for (const CallRecord& call : calls)
            comparison.add(call);
        if (comparison.rows().size() != Files)
            std::abort();
    });
    std::printf("  the comparison with %d rate files   %7.1f ms               (limit %.0f ms: %s)\n", Files,
                compared, ComparisonLimitMs, compared <= ComparisonLimitMs ? "met" : "MISSED");
    return 0;
}
