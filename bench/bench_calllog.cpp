// Times the call log's readers, the command line's exports and reports, the log
// viewer's operations (with and without the numbers dialled), the spending figures, the append of one call
// and the start with kept calls waiting on logs of 10,000, 100,000 and 1,000,000 calls.
#include "BenchLog.h"
#include "SilentPrompter.h"
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/KeptCalls.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/SpendingFigures.h"
#include "core/viewer/CallLogViewer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

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

void command(const QString& dir, double now, QStringList words) {
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    words.prepend(QStringLiteral("dialtally"));
    if (LogCommands::run(words << QStringLiteral("--dir") << dir, {}, now, out, err) != 0)
        std::fprintf(stderr, "failed: %s", err.data().constData());
}

// The command line's exports of every call, against copying the export's own
// file, and a report of one week against reading the log.
void benchCommands(const QString& dir, double now) {
    const QString text = QDir(dir).filePath(QStringLiteral("export.txt"));
    const QString comma = QDir(dir).filePath(QStringLiteral("export.prn"));
    report("export, ruled text", timed([&] { command(dir, now, {"export", "--all", "--output", text}); }));
    report("export, comma", timed([&] {
               command(dir, now, {"export", "--all", "--format", "prn", "--output", comma});
           }));
    const QString spreadsheet = QDir(dir).filePath(QStringLiteral("export.csv"));
    report("export, spreadsheet", timed([&] {
               command(dir, now, {"export", "--all", "--format", "csv", "--output", spreadsheet});
           }));
    const QString copy = QDir(dir).filePath(QStringLiteral("copy.txt"));
    report("copy the text export (floor)", timed([&] { QFile::copy(text, copy); }));
    report("report of this week", timed([&] { command(dir, now, {"report", "week"}); }));
}

// Every call with one of 10,000 numbers: the report by number against the
// report of every call, and the viewer's table with its Number column shown.
void benchNumbers(const QString& dir, double now) {
    std::vector<CallNumber> numbers;
    QRandomGenerator random(7);
    CallLog(ProgramFiles::callLogPath(dir)).forEach([&](const CallRecord& call) {
        numbers.push_back(
            {call.date, QStringLiteral("0163296%1").arg(random.bounded(10'000), 4, 10, QLatin1Char('0'))});
    });
    if (!CallNumberLog(ProgramFiles::callNumbersPath(dir)).append(numbers))
        std::fprintf(stderr, "cannot write the numbers\n");
    const double all = timed([&] { command(dir, now, {"report", "all"}); });
    report("report of every call", all);
    const double byNumber = timed([&] { command(dir, now, {"report", "--by", "number"}); });
    report("report by number", byNumber);
    std::printf("  %-34s %9.2f x the report of every call\n", "", byNumber / all);
    SilentPrompter prompter;
    CallLogViewer viewer(dir, prompter);
    viewer.layout().toggleColumn(NumberColumn);
    report("load the table with its numbers", timed([&] { check(viewer.LoadData()); }));
}

bool run(int count) {
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    const double now = DayCount::fromDateTime(QDateTime::currentDateTime());
    const CallLog log(ProgramFiles::callLogPath(dir.path()));
    const RateNameStore store(ProgramFiles::rateNameStorePath(dir.path()));
    if (!BenchLog::write(dir.path(), count, now))
        return false;

    std::printf("%d calls\n", count);
    // From the page cache, as when the program reads the log again; the
    // best of five, as the machine may be busy with other work.
    const auto best = [](const std::function<void()>& work) {
        double least = timed(work);
        for (int i = 0; i < 4; ++i)
            least = std::min(least, timed(work));
        return least;
    };
    const double floor = best([&] { log.file().readAll(); });
    report("read the log's bytes (floor)", floor);
    report("read them in blocks, keeping none",
           best([&] { log.file().forEachBlock([](const char*, qsizetype) {}); }));
    report("decode every record", best([&] { log.forEach([](const CallRecord&) {}); }));
    const double figures =
        best([&] { SpendingFigures::compute(log, RateNames::load(store.path()), now, 1); });
    report("spending figures, all three views", figures);
    std::printf("  %-34s %9.2f x the floor\n", "", figures / floor);
    benchCommands(dir.path(), now);
    benchNumbers(dir.path(), now);

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
    // A deletion reads the log and writes it and its sorted copy anew.
    const std::optional<QByteArray> left = log.file().readAll();
    report("write what is left anew (floor)", timed([&] {
               if (!left || !log.file().replace(*left))
                   std::fprintf(stderr, "cannot write the log\n");
           }));

    CallTotals totals;
    report("today's and this week's totals", timed([&] { totals = findCallTotals(log, now); }));
    CallRecord one;
    one.date = one.startTime = now;
    report("append one call", timed([&] { log.append({one}); }));

    // The log is searched for the kept calls before they are added.
    QTemporaryDir state;
    std::vector<KeptCall> kept;
    for (const CallRecord& call : BenchLog::makeCalls(3, now + 1))
        kept.push_back({call, QStringLiteral("Kingston"), {}});
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
