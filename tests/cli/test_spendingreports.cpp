// The command line's spending reports against the Spending window's figures
// and the viewer's period reports of the same log.
#include "CommandRun.h"
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"

#include "fakes/SampleCall.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {
// Wednesday 9 December 2026, mid-afternoon.
const double Now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
} // namespace

class TestSpendingReports : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_out, m_err;
    qint64 m_calls = 0; // in the test's log

    int run(QStringList words, QIODevice* output = nullptr) {
        return runCommand(std::move(words), m_dir.path(), Now, m_out, m_err, output);
    }
    QJsonObject json(const QStringList& words) {
        if (run(words) != 0)
            return {};
        return QJsonDocument::fromJson(m_out).object();
    }
    static QString date(qint64 day) { return DayCount::dateOfDay(day).toString(Qt::ISODate); }
    void setBudget(bool on, double amount, int billDay) {
        BudgetSettings budget;
        budget.on = on;
        budget.amount = amount;
        budget.billDay = billDay;
        QVERIFY(budget.write(SettingsFile(ProgramFiles::settingsPath(m_dir.path()))));
    }

private slots:
    // A year of calls, every band, a damaged amount among them.
    void initTestCase() {
        std::vector<CallRecord> calls;
        const QDate first(2025, 12, 1);
        for (int day = 0; day <= int(first.daysTo(QDate(2026, 12, 9))); day += 1 + day % 3) {
            const QDateTime start(first.addDays(day), QTime(8 + day % 12, 15));
            calls.push_back(sampleCall(start, 0.05f + 0.37f * float(day % 7), 1 + day % 12));
        }
        calls.push_back(
            sampleCall(QDateTime(QDate(2026, 12, 8), QTime(10, 0)), std::numeric_limits<float>::quiet_NaN()));
        calls.push_back(sampleCall(QDateTime(QDate(2026, 12, 9), QTime(9, 0)), 1.25f, 2));
        QVERIFY(CallLog(ProgramFiles::callLogPath(m_dir.path())).append(calls));
        m_calls = qint64(calls.size());
    }
    void init() { QFile::remove(ProgramFiles::settingsPath(m_dir.path())); }

    // Without --from the rows run from the first call of the log, 1 December
    // 2025 (a Monday), to today: every row is the chart's bar of the same
    // period, and the last row what the period report says of today, this week
    // and this month.
    void rowsAreTheChartsBars_data() {
        QTest::addColumn<QString>("by");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("period");
        QTest::newRow("day") << "day" << int(SpendView::Day) << 374 << "today";
        QTest::newRow("week") << "week" << int(SpendView::Week) << 54 << "week";
        QTest::newRow("month") << "month" << int(SpendView::Month) << 13 << "month";
    }
    void rowsAreTheChartsBars() {
        QFETCH(QString, by);
        QFETCH(int, view);
        QFETCH(int, rows);
        QFETCH(QString, period);
        const QJsonArray array =
            json({"report", "--by", by, "--json"}).value(QStringLiteral("rows")).toArray();
        QCOMPARE(array.size(), rows);
        QCOMPARE(array.first().toObject().value(QStringLiteral("from")).toString(),
                 QStringLiteral("2025-12-01"));
        const SpendingReading reading =
            SpendingReading::read(m_dir.path(), Now, DayCount::dayOfDate(QDate(2025, 12, 1)));
        const std::vector<SpendBar>& bars = reading.figures.bars(SpendView(view));
        QVERIFY(bars.size() >= size_t(rows));
        const size_t skipped = bars.size() - size_t(rows); // the chart's bars before the first call
        const QStringList bands = {"daytime", "evening", "weekend", "other"};
        for (int i = 0; i < rows; ++i) {
            const QJsonObject row = array[i].toObject();
            const SpendBar& bar = bars[skipped + size_t(i)];
            QCOMPARE(row.value(QStringLiteral("from")).toString(), date(bar.firstDay));
            QCOMPARE(row.value(QStringLiteral("to")).toString(), date(bar.endDay - 1));
            QCOMPARE(row.value(QStringLiteral("count")).toInteger(), bar.total.calls);
            QCOMPARE(row.value(QStringLiteral("gross")).toDouble(),
                     std::round(bar.total.gross.total() * 100) / 100);
            QCOMPARE(row.value(QStringLiteral("net")).toDouble(),
                     std::round(bar.total.net.total() * 100) / 100);
            double banded = 0;
            for (int b = 0; b < 4; ++b) {
                QCOMPARE(row.value(bands[b]).toDouble(),
                         std::round(bar.bands[size_t(b)].gross.total() * 100) / 100);
                banded += row.value(bands[b]).toDouble();
            }
            QVERIFY(std::fabs(banded - row.value(QStringLiteral("gross")).toDouble()) < 0.03);
        }
        const QJsonObject current = json({"report", period, "--json"});
        const QJsonObject last = array.last().toObject();
        QCOMPARE(last.value(QStringLiteral("count")).toInt(), current.value(QStringLiteral("count")).toInt());
        QCOMPARE(last.value(QStringLiteral("gross")).toDouble(),
                 current.value(QStringLiteral("gross")).toDouble());
        QCOMPARE(last.value(QStringLiteral("net")).toDouble(),
                 current.value(QStringLiteral("net")).toDouble());
    }

    // From a day before the chart's reach, the rows go back to the bar that
    // holds it, and together they hold every call of the log; without --from
    // they start at the bar of the log's first call, on 1 December 2025.
    void rowsReachBackToTheDayAsked_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("from");
        QTest::addColumn<QString>("firstRow");
        const QStringList november = {"--from", "2025-11-30"};
        QTest::newRow("day") << "day" << november << "2025-11-30";
        QTest::newRow("week") << "week" << november << "2025-11-24";
        QTest::newRow("month") << "month" << november << "2025-11-01";
        QTest::newRow("day, the whole log") << "day" << QStringList() << "2025-12-01";
        QTest::newRow("week, the whole log") << "week" << QStringList() << "2025-12-01";
        QTest::newRow("month, the whole log") << "month" << QStringList() << "2025-12-01";
    }
    void rowsReachBackToTheDayAsked() {
        QFETCH(QString, view);
        QFETCH(QStringList, from);
        QFETCH(QString, firstRow);
        const QJsonArray rows = json(QStringList{"report", "--by", view, "--json"} + from)
                                    .value(QStringLiteral("rows"))
                                    .toArray();
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows.first().toObject().value(QStringLiteral("from")).toString(), firstRow);
        QCOMPARE(rows.last().toObject().value(QStringLiteral("to")).toString() >=
                     QStringLiteral("2026-12-09"),
                 true);
        qint64 calls = 0;
        for (const QJsonValue& row : rows)
            calls += row.toObject().value(QStringLiteral("count")).toInteger();
        QCOMPARE(calls, m_calls);
    }

    void datesAndFormats_data() {
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QStringList>("firstAndLast");
        QTest::newRow("all") << QStringList() << QStringList{"2025-12-01", "2026-12-09"};
        QTest::newRow("from") << QStringList{"--from", "2026-12-01"}
                              << QStringList{"2026-12-01", "2026-12-09"};
        QTest::newRow("to") << QStringList{"--to", "2026-11-10"} << QStringList{"2025-12-01", "2026-11-10"};
        QTest::newRow("one day") << QStringList{"--from", "2026-12-08", "--to", "2026-12-08"}
                                 << QStringList{"2026-12-08", "2026-12-08"};
        QTest::newRow("none") << QStringList{"--from", "2027-01-01"} << QStringList();
    }
    void datesAndFormats() {
        QFETCH(QStringList, dates);
        QFETCH(QStringList, firstAndLast);
        const QJsonArray rows = json(QStringList{"report", "--by", "day", "--json"} + dates)
                                    .value(QStringLiteral("rows"))
                                    .toArray();
        QCOMPARE(rows.isEmpty(), firstAndLast.isEmpty());
        if (!rows.isEmpty()) {
            QCOMPARE(rows.first().toObject().value(QStringLiteral("from")).toString(), firstAndLast[0]);
            QCOMPARE(rows.last().toObject().value(QStringLiteral("to")).toString(), firstAndLast[1]);
        }

        QCOMPARE(run(QStringList{"report", "--by", "day", "--csv"} + dates), 0);
        const QStringList lines = QString::fromUtf8(m_out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("From,To,Calls,Cost excluding tax,Cost including tax,Daytime,"
                                                "Evening,Weekend,Other"));
        QCOMPARE(lines.size(), rows.size() + 1);
        static const QRegularExpression plain(
            QStringLiteral(R"(^\d{4}-\d\d-\d\d,\d{4}-\d\d-\d\d,\d+(,\d+\.\d\d){6}$)"));
        for (int i = 1; i < lines.size(); ++i)
            QVERIFY2(plain.match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }

    // The same line as the main window's, by the same function; off says so.
    void budgetLine_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("billDay");
        QTest::addColumn<QString>("from");
        QTest::newRow("off") << false << 1 << QString();
        QTest::newRow("from the 1st") << true << 1 << "2026-12-01";
        QTest::newRow("from the 28th") << true << 28 << "2026-11-28";
    }
    void budgetLine() {
        QFETCH(bool, on);
        QFETCH(int, billDay);
        QFETCH(QString, from);
        setBudget(on, 45, billDay);
        const QJsonObject report = json({"report", "budget", "--json"});
        QCOMPARE(report.value(QStringLiteral("on")).toBool(), on);
        QCOMPARE(run({"report", "budget"}), 0);
        if (!on) {
            QVERIFY(m_out.startsWith("The monthly budget is off"));
            return;
        }
        const SpendingReading reading = SpendingReading::read(m_dir.path(), Now);
        QCOMPARE(QString::fromUtf8(m_out), reading.budgetText() + QLatin1Char('\n'));
        QCOMPARE(report.value(QStringLiteral("line")).toString(), reading.budgetText());
        QCOMPARE(report.value(QStringLiteral("from")).toString(), from);
        QVERIFY(reading.budgetText().startsWith(
            QStringLiteral("\u00a3%1 of \u00a345.00 this month \u00b7 on pace for \u00a3")
                .arg(report.value(QStringLiteral("spent")).toDouble(), 0, 'f', 2)));
    }

    void wrongWords_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("said");
        QTest::newRow("no view") << QStringList{"report", "--csv"} << "needs --by";
        QTest::newRow("a year") << QStringList{"report", "--by", "year"} << "unknown view \"year\"";
        QTest::newRow("two formats") << QStringList{"report", "--by", "day", "--json", "--csv"}
                                     << "--json or --csv";
        QTest::newRow("no such date")
            << QStringList{"report", "--by", "day", "--from", "2026-02-30"} << "not a date";
        QTest::newRow("budget in CSV") << QStringList{"report", "budget", "--csv"} << "Unknown option 'csv'.";
        QTest::newRow("a period and a view")
            << QStringList{"report", "week", "--by", "day"} << "takes no word";
        QTest::newRow("chart to nowhere") << QStringList{"chart", "--by", "day"} << "needs --output";
        QTest::newRow("no width") << QStringList{"chart", "--by", "day", "--output", "a.png", "--width", "0"}
                                  << "whole numbers";
    }
    void wrongWords() {
        QFETCH(QStringList, words);
        QFETCH(QString, said);
        QCOMPARE(run(words), 2);
        QVERIFY2(QString::fromLocal8Bit(m_err).contains(said), m_err);
        QVERIFY(m_out.isEmpty());
    }

    // A full disk is a failure, not a report.
    void fullOutputFails() {
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(run({"report", "--by", "week", "--csv"}, &full), 1);
        QVERIFY2(m_err.contains("No space left on device"), m_err);
    }
};

QTEST_GUILESS_MAIN(TestSpendingReports)
#include "test_spendingreports.moc"
