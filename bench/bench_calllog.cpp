// Times the call log's readers, the command line's exports and reports, the log
// viewer's operations, the append of one call and the start with kept calls
// waiting on logs of 10,000, 100,000 and 1,000,000 calls.
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/KeptCalls.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/seams/Prompter.h"
#include "core/settings/ProgramFiles.h"
#include "core/viewer/CallLogViewer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

class SilentPrompter final : public Prompter {
public:
    void error(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void warning(const QString&) override {}
    void information(const QString&) override {}
    bool askYesNo(const QString&) override { return true; }
    Answer askYesNoCancel(const QString&) override { return Answer::Yes; }
    void beep() override {}
};

std::vector<CallRecord> makeCalls(int count, double now) {
    QRandomGenerator random(count);
    std::vector<CallRecord> calls(static_cast<size_t>(count));
    const double span = 3 * 365.0; // the last three years, oldest first
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

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, double ms) {
    std::printf("  %-34s %9.1f ms\n", what, ms);
}

void check(const QString& message) {
    if (!message.isEmpty())
        std::fprintf(stderr, "failed: %s\n", qPrintable(message));
}

// The command line's exports of every call, against copying the export's own
// file, and a report of one week against reading the log.
void benchCommands(const QString& dir, double now) {
    const auto command = [&](QStringList words) {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        words.prepend(QStringLiteral("dialtally"));
        if (LogCommands::run(words << QStringLiteral("--dir") << dir, {}, now, out, err) != 0)
            std::fprintf(stderr, "failed: %s", err.data().constData());
    };
    const QString text = QDir(dir).filePath(QStringLiteral("export.txt"));
    const QString comma = QDir(dir).filePath(QStringLiteral("export.prn"));
    report("export, ruled text", timed([&] { command({"export", "--all", "--output", text}); }));
    report("export, comma", timed([&] {
               command({"export", "--all", "--format", "csv", "--output", comma});
           }));
    const QString copy = QDir(dir).filePath(QStringLiteral("copy.txt"));
    report("copy the text export (floor)", timed([&] { QFile::copy(text, copy); }));
    report("report of this week", timed([&] { command({"report", "week"}); }));
}

bool run(int count) {
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    const double now = DayCount::fromDateTime(QDateTime::currentDateTime());
    const CallLog log(ProgramFiles::callLogPath(dir.path()));
    const RateNameStore store(ProgramFiles::rateNameStorePath(dir.path()));
    for (const char* name : {"BT Daytime", "Kingston", "Cable & Wireless", "Mercury", "Freephone"})
        store.RateNameKeyFor(QLatin1String(name));
    if (!log.append(makeCalls(count, now)))
        return false;

    std::printf("%d calls\n", count);
    report("read the log's bytes (floor)", timed([&] { log.file().readAll(); }));
    benchCommands(dir.path(), now);

    SilentPrompter prompter;
    CallLogViewer viewer(dir.path(), prompter);
    report("load the viewer's table", timed([&] { check(viewer.LoadData()); }));
    viewer.SortAscending = false;
    report("sort by date, descending", timed([&] { check(viewer.QuickSort(DateColumn)); }));
    viewer.SortAscending = true;
    report("sort by cost inc tax", timed([&] { check(viewer.QuickSort(CostIncTaxColumn)); }));
    report("sort by rate name", timed([&] { check(viewer.QuickSort(RateColumn)); }));

    viewer.SortAscending = false;
    check(viewer.QuickSort(DateColumn));
    const int newest = count / 10;
    report("delete the newest 10 % (sorted)", timed([&] { check(viewer.deleteRows(0, newest - 1)); }));
    if (viewer.model().callCount() != count - newest)
        std::fprintf(stderr, "deleted %d calls, not %d\n", count - viewer.model().callCount(), newest);

    CallTotals totals;
    report("today's and this week's totals", timed([&] { totals = findCallTotals(log, now); }));
    CallRecord one;
    one.date = one.startTime = now;
    report("append one call", timed([&] { log.append({one}); }));

    // The log is searched for the kept calls before they are added.
    QTemporaryDir state;
    std::vector<KeptCall> kept;
    for (const CallRecord& call : makeCalls(3, now + 1))
        kept.push_back({call, QStringLiteral("Kingston")});
    if (!RecoveryFile(dir.path(), state.path()).save(kept, QStringLiteral("full disk")))
        return false;
    report("start with 3 kept calls waiting", timed([&] {
               if (KeptCalls::recoverAtStart(dir.path(), state.path()).failed)
                   std::fprintf(stderr, "the kept calls were not added\n");
           }));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int count : {10'000, 100'000, 1'000'000}) {
        if (!run(count)) {
            std::fprintf(stderr, "cannot write a log of %d calls\n", count);
            return 1;
        }
    }
    return 0;
}
