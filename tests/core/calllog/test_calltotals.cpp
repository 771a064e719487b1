#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {
double at(int m, int d, int h, int min, int ms = 0) {
    return DayCount::fromDateTime(QDateTime(QDate(2026, m, d), QTime(h, min).addMSecs(ms)));
}
// December 2026: Monday the 7th, Wednesday the 9th, Sunday the 13th.
const QString Pound = QStringLiteral("\u00a3");
} // namespace

class TestCallTotals : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void boundaries_data() {
        QTest::addColumn<double>("now");
        QTest::addColumn<QList<double>>("starts");
        QTest::addColumn<int>("today");
        QTest::addColumn<int>("week");
        QTest::newRow("start exactly at today's midnight")
            << at(12, 9, 15, 0) << QList<double>{at(12, 9, 0, 0)} << 0 << 1;
        QTest::newRow("Monday midnight counts nowhere")
            << at(12, 7, 10, 0) << QList<double>{at(12, 7, 0, 0), at(12, 7, 0, 0, 1)} << 1 << 1;
        QTest::newRow("Sunday: the week began six days before")
            << at(12, 13, 10, 0) << QList<double>{at(12, 6, 23, 0), at(12, 7, 9, 0), at(12, 13, 9, 0)} << 1
            << 2;
        QTest::newRow("Monday: only today")
            << at(12, 7, 10, 0) << QList<double>{at(12, 6, 22, 0), at(12, 7, 9, 0)} << 1 << 1;
        QTest::newRow("a call across midnight stays on its day")
            << at(12, 10, 0, 5) << QList<double>{at(12, 9, 23, 50)} << 0 << 1;
        QTest::newRow("a record in the future counts")
            << at(12, 9, 15, 0)
            << QList<double>{DayCount::fromDateTime(QDateTime(QDate(2027, 1, 1), QTime(9, 0)))} << 1 << 1;
        QTest::newRow("a damaged start counts nowhere")
            << at(12, 9, 15, 0) << QList<double>{1e300, std::nan(""), INFINITY, at(12, 9, 9, 0)} << 1 << 1;
    }
    void boundaries() {
        QFETCH(double, now);
        QFETCH(QList<double>, starts);
        QFETCH(int, today);
        QFETCH(int, week);
        const QString path = m_dir.filePath(QStringLiteral("Calls.log"));
        QFile::remove(path);
        const CallLog log(path);
        std::vector<CallRecord> records;
        for (double s : starts) {
            CallRecord r;
            r.date = r.startTime = s;
            r.grossCost = 0.25f;
            records.push_back(r);
        }
        QVERIFY(log.append(records));
        const CallTotals t = findCallTotals(log, now);
        QCOMPARE(t.todayCount, today);
        QCOMPARE(t.weekCount, week);
        QCOMPARE(t.todayTotal, 0.25 * today);
        QCOMPARE(t.weekTotal, 0.25 * week);
    }

    void texts_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("week");
        QTest::newRow("none") << 0 << 0.0 << "No calls made today"
                              << "No calls made this Week";
        QTest::newRow("one") << 1 << 0.5 << "1 call today totalling \u00a30.50"
                             << "1 call this week totalling \u00a30.50";
        QTest::newRow("two") << 2 << 12.345 << "2 calls today totalling \u00a312.35"
                             << "2 calls this week totalling \u00a312.35";
    }
    void texts() {
        QFETCH(int, count);
        QFETCH(double, total);
        QFETCH(QString, today);
        QFETCH(QString, week);
        const CallTotals t{count, total, count, total};
        QCOMPARE(todayText(t, Pound), today);
        QCOMPARE(weekText(t, Pound), week);
    }

    void missingLogCountsNothing() {
        const CallTotals t =
            findCallTotals(CallLog(m_dir.filePath(QStringLiteral("none.log"))), at(12, 9, 12, 0));
        QCOMPARE(t.weekCount, 0);
        QCOMPARE(weekText(t, Pound), QStringLiteral("No calls made this Week"));
    }
};

QTEST_GUILESS_MAIN(TestCallTotals)
#include "test_calltotals.moc"
