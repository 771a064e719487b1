// The command line's reports and exports against the viewer's own selection
// and export of the same calls.
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"

#include "fakes/FakePrompter.h"
#include "fakes/SampleCall.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {
// Wednesday 9 December 2026, mid-afternoon.
const double Now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
} // namespace

class TestLogCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_out, m_err;

    int run(QStringList words) {
        QBuffer out(&m_out), err(&m_err);
        m_out.clear();
        m_err.clear();
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        words.prepend(QStringLiteral("dialtally"));
        words << QStringLiteral("--dir") << m_dir.path();
        return LogCommands::run(words, {}, Now, out, err);
    }

    // The viewer's window: the log sorted by date, the period selected.
    struct ViewerSelection {
        int first = -1, last = -1;
        QString summary;
    };
    ViewerSelection viewerSelection(CallLogViewer& viewer, SelectionPeriod period) {
        viewer.setMainSymbol(QStringLiteral("\u00a3"));
        viewer.LoadData();
        viewer.SortAscending = true;
        viewer.QuickSort(DateColumn);
        ViewerSelection s;
        if (const auto start = viewer.periodStart(period, Now)) {
            s.first = *start;
            s.last = viewer.model().callCount() - 1;
            s.summary = viewer.selectionSummary(s.first, s.last);
        }
        return s;
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        // Calls in the order they ended: last year, the first of this year, this
        // month, last week, this Monday at midnight, yesterday, today.
        const QDate days[] = {{2025, 12, 31}, {2026, 1, 1},  {2026, 12, 1}, {2026, 12, 6},
                              {2026, 12, 7},  {2026, 12, 8}, {2026, 12, 9}};
        std::vector<CallRecord> calls;
        const QString names[] = {QStringLiteral("BT, \"Saver\""),
                                 QStringLiteral("\u0422\u0430\u0440\u0438\u0444")};
        const RateNameStore store(ProgramFiles::rateNameStorePath(m_dir.path()));
        int i = 0;
        for (const QDate& d : days) {
            const QTime time = d == QDate(2026, 12, 7) ? QTime(0, 0) : QTime(9 + i, 30);
            calls.push_back(sampleCall(QDateTime(d, time), 0.37f + 0.11f * float(i), 1 + i % 12,
                                       store.RateNameKeyFor(names[i % 2])));
            ++i;
        }
        QVERIFY(CallLog(ProgramFiles::callLogPath(m_dir.path())).append(calls));
    }

    // Each period counts and totals what the viewer's selection of it shows.
    void reportsMatchTheViewer_data() {
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("count");
        QTest::newRow("today") << "today" << 1;
        QTest::newRow("week, from Monday midnight") << "week" << 3;
        QTest::newRow("month") << "month" << 5;
        QTest::newRow("year") << "year" << 6;
    }
    void reportsMatchTheViewer() {
        QFETCH(QString, period);
        QFETCH(int, count);
        QCOMPARE(run({QStringLiteral("report"), period, QStringLiteral("--json")}), 0);
        const QJsonObject report = QJsonDocument::fromJson(m_out).object();
        QCOMPARE(report.value(QStringLiteral("period")).toString(), period);
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), count);

        FakePrompter prompter;
        CallLogViewer viewer(m_dir.path(), prompter);
        const SelectionPeriod periods[] = {SelectionPeriod::Today, SelectionPeriod::Week,
                                           SelectionPeriod::Month, SelectionPeriod::Year};
        const int index = int(QStringList{"today", "week", "month", "year"}.indexOf(period));
        const ViewerSelection s = viewerSelection(viewer, periods[index]);
        QCOMPARE(s.last - s.first + 1, count);
        QCOMPARE(s.summary, QStringLiteral("%1 Call%2 selected totalling \u00a3%3")
                                .arg(count)
                                .arg(count == 1 ? "" : "s")
                                .arg(report.value(QStringLiteral("gross")).toDouble(), 0, 'f', 2));

        QCOMPARE(run({QStringLiteral("report"), period}), 0);
        QVERIFY(m_out.startsWith(QStringLiteral("%1 call").arg(count).toUtf8()));
    }

    void jsonShape() {
        QCOMPARE(run({QStringLiteral("report"), QStringLiteral("all"), QStringLiteral("--json")}), 0);
        const QJsonObject report = QJsonDocument::fromJson(m_out).object();
        QCOMPARE(report.keys(), (QStringList{"count", "first", "gross", "last", "net", "period"}));
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), 7);
        const QJsonObject first = report.value(QStringLiteral("first")).toObject();
        QCOMPARE(first.value(QStringLiteral("start")).toString(), QStringLiteral("2025-12-31T09:30:00"));
        QCOMPARE(first.value(QStringLiteral("rate")).toString(), QStringLiteral("BT, \"Saver\""));
        QCOMPARE(report.value(QStringLiteral("last")).toObject().value(QStringLiteral("start")).toString(),
                 QStringLiteral("2026-12-09T15:30:00"));
    }

    // The same bytes as the viewer writes for the same calls and columns.
    void exportsAreTheViewers_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<int>("period"); // -1: all calls
        QTest::newRow("all, ruled text") << QStringList{"export"} << false << -1;
        QTest::newRow("this week, comma file") << QStringList{"export", "--period", "week", "--format", "csv"}
                                               << true << int(SelectionPeriod::Week);
    }
    void exportsAreTheViewers() {
        QFETCH(QStringList, words);
        QFETCH(bool, comma);
        QFETCH(int, period);
        const QString file = m_dir.filePath(QStringLiteral("out.txt"));
        QCOMPARE(run(words + QStringList{QStringLiteral("--output"), file}), 0);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray cli = written.readAll();
        QCOMPARE(run(words), 0);
        QCOMPARE(m_out, cli); // standard output carries the same bytes

        FakePrompter prompter;
        CallLogViewer viewer(m_dir.path(), prompter);
        int first = 0, last = 0;
        QString summary;
        if (period < 0) {
            viewer.setMainSymbol(QStringLiteral("\u00a3"));
            viewer.LoadData();
            last = viewer.model().callCount() - 1;
            summary = viewer.totalsLine();
        } else {
            const ViewerSelection s = viewerSelection(viewer, SelectionPeriod(period));
            first = s.first;
            last = s.last;
            summary = s.summary;
        }
        const QStringList header = CallExport::headerLines(false, Now, period >= 0, summary);
        const QStringList lines =
            comma ? CallExport::commaLayout(viewer.model(), header, first, last, period < 0)
                  : CallExport::textLayout(viewer.model(), header, first, last);
        QCOMPARE(cli, *CallExport::bytesOf(lines));
        QVERIFY(cli.startsWith("\xEF\xBB\xBF")); // a Cyrillic rate name: UTF-8, marked
    }

    // 500 calls at 0.4589 each shown as £0.46: every total of the program says
    // £229.45 (the stored amounts added and rounded once), not £230.00 (the
    // shown ones added) nor the single-precision sum.
    void everyTotalIsOneSum_data() {
        QTest::addColumn<float>("cost");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("total");
        QTest::newRow("500 x 0.4589") << 0.4589f << 500 << "\u00a3229.45";
        QTest::newRow("10 x 0.309") << 0.309f << 10 << "\u00a33.09";
        QTest::newRow("a damaged cost counts nothing")
            << std::numeric_limits<float>::quiet_NaN() << 3 << "\u00a30.00";
    }
    void everyTotalIsOneSum() {
        QFETCH(float, cost);
        QFETCH(int, count);
        QFETCH(QString, total);
        QTemporaryDir dir;
        std::vector<CallRecord> calls;
        for (int i = 0; i < count; ++i)
            calls.push_back(sampleCall(Now - 0.1 - i * 1e-5, cost));
        const CallLog log(ProgramFiles::callLogPath(dir.path()));
        QVERIFY(log.append(calls));

        const CallTotals totals = findCallTotals(log, Now);
        QVERIFY(todayText(totals, QStringLiteral("\u00a3")).endsWith(QStringLiteral(" totalling ") + total));
        FakePrompter prompter;
        CallLogViewer viewer(dir.path(), prompter);
        viewer.setMainSymbol(QStringLiteral("\u00a3"));
        viewer.LoadData();
        QVERIFY(viewer.totalsLine().startsWith(total + QStringLiteral(" spent in")));
        QVERIFY(viewer.selectionSummary(0, count - 1).endsWith(QStringLiteral(" totalling ") + total));
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(LogCommands::run({"dialtally", "report", "today", "--dir", dir.path()}, {}, Now, out, err),
                 0);
        QVERIFY2(out.data().contains((QStringLiteral(" totalling ") + total).toUtf8()), out.data());
    }

    // A damaged record is a call, but its cost counts nothing, a damaged date
    // falls in no period and is neither first nor last, and what the viewer
    // leaves empty is null in JSON: no "nan" reaches a script.
    void damagedRecordsReportNoNumbers_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<float>("cost");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("NaN") << std::nan("") << std::nanf("");
        QTest::newRow("infinite") << inf << float(inf);
        QTest::newRow("huge") << 1e300 << 1e30f;
        QTest::newRow("huge negative") << -1e300 << -1e30f;
    }
    void damagedRecordsReportNoNumbers() {
        QFETCH(double, days);
        QFETCH(float, cost);
        QTemporaryDir dir;
        const CallRecord today = sampleCall(Now - 0.1, 0.5f);
        CallRecord damagedTimes = sampleCall(Now - 400, 0.25f); // last year, the earliest date
        damagedTimes.startTime = damagedTimes.endTime = damagedTimes.duration = days;
        damagedTimes.grossCost = damagedTimes.netCost = cost;
        CallRecord damagedDate = sampleCall(Now - 0.2, 0.25f);
        damagedDate.date = days;
        QVERIFY(CallLog(ProgramFiles::callLogPath(dir.path())).append({damagedDate, today, damagedTimes}));
        const auto command = [&dir](QStringList words) {
            QBuffer out, err;
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            words.prepend(QStringLiteral("dialtally"));
            words << QStringLiteral("--dir") << dir.path();
            const int status = LogCommands::run(words, {}, Now, out, err);
            return status == 0 ? out.data() : err.data();
        };

        const QByteArray json =
            command({QStringLiteral("report"), QStringLiteral("all"), QStringLiteral("--json")});
        QVERIFY2(!json.contains("nan") && !json.contains("inf"), json);
        const QJsonObject report = QJsonDocument::fromJson(json).object();
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), 3);
        QCOMPARE(report.value(QStringLiteral("gross")).toDouble(), 0.75);
        const QJsonObject first = report.value(QStringLiteral("first")).toObject();
        for (const char* empty : {"start", "end", "duration"})
            QVERIFY2(first.value(QLatin1String(empty)).isNull(), empty);
        QCOMPARE(first.value(QStringLiteral("gross")).toDouble(), 0.0);
        QCOMPARE(report.value(QStringLiteral("last")).toObject().value(QStringLiteral("start")).toString(),
                 DayCount::toDateTime(today.startTime).toString(Qt::ISODate));

        QCOMPARE(command({QStringLiteral("report"), QStringLiteral("today")}),
                 QByteArray("1 call today totalling \xc2\xa3"
                            "0.50 (\xc2\xa3"
                            "0.25 exc. tax)\n"));
        const QByteArray csv =
            command({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("csv")});
        QVERIFY2(!csv.contains("nan") && !csv.contains("inf"), csv);
    }

    void errorsNameTheFileAndEndBadly() {
        QTemporaryDir empty;
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(LogCommands::run({"dialtally", "report", "--dir", empty.path()}, {}, Now, out, err), 1);
        QVERIFY(err.data().contains(ProgramFiles::callLogPath(empty.path()).toLocal8Bit() + ": "));
        QCOMPARE(run({QStringLiteral("report"), QStringLiteral("fortnight")}), 2);
        QVERIFY(m_err.contains("unknown period \"fortnight\""));
        QCOMPARE(run({QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--period"),
                      QStringLiteral("week")}),
                 2);
        QVERIFY(m_out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLogCommands)
#include "test_logcommands.moc"
