#include "core/seams/DayCount.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestDayCount : public QObject {
    Q_OBJECT
private slots:
    void calendar_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<double>("days");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("monday");
        QTest::newRow("epoch, a Saturday") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0 << 7 << 6;
        QTest::newRow("noon next day, Sunday")
            << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5 << 1 << 7;
        QTest::newRow("2026-12-07 Monday 06:00")
            << QDateTime(QDate(2026, 12, 7), QTime(6, 0)) << 46363.25 << 2 << 1;
        QTest::newRow("2026-12-12 Saturday")
            << QDateTime(QDate(2026, 12, 12), QTime(0, 0)) << 46368.0 << 7 << 6;
    }
    void calendar() {
        QFETCH(QDateTime, when);
        QFETCH(double, days);
        QFETCH(int, stored);
        QFETCH(int, monday);
        QCOMPARE(DayCount::fromDateTime(when), days);
        QCOMPARE(DayCount::toDateTime(days), when);
        QCOMPARE(DayCount::storedDayOfWeek(days), stored);
        QCOMPARE(DayCount::mondayWeekday(days), monday);
    }

    void millisecondsSurviveTheRoundTrip() {
        const QDateTime t(QDate(2026, 3, 1), QTime(23, 59, 59, 999));
        const double d = DayCount::fromDateTime(t);
        QCOMPARE(DayCount::toDateTime(d), t);
        QCOMPARE(DayCount::timeOfDayMs(d), 86399999);
        QCOMPARE(DayCount::dateOf(d), DayCount::fromDateTime(QDateTime(QDate(2026, 3, 1), QTime(0, 0))));
    }

    void duration_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("seconds are cut") << qint64((3600 + 120 + 3) * 1000 + 900) << "01:02:03";
        QTest::newRow("whole days dropped") << qint64(25) * 3600 * 1000 << "01:00:00";
        QTest::newRow("just under a day") << DayCount::MsPerDay - 1 << "23:59:59";
        QTest::newRow("below zero, from the clock going back: none") << qint64(-20 * 60000) << "";
    }
    void duration() {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(DayCount::durationText(DayCount::fromMs(ms)), text);
    }

    // A damaged count has no date, day, time or duration, and falls in no period.
    void damagedCounts_data() {
        QTest::addColumn<double>("days");
        QTest::newRow("NaN") << std::nan("");
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity();
        QTest::newRow("1e300") << 1e300;
        QTest::newRow("-1e300") << -1e300;
        QTest::newRow("beyond the year 10000") << 3.0e6;
        QTest::newRow("long before the epoch") << -3.0e6;
        QTest::newRow("the largest double") << std::numeric_limits<double>::max();
    }
    void damagedCounts() {
        QFETCH(double, days);
        QVERIFY(!DayCount::isDayCount(days));
        QVERIFY(!DayCount::toDateTime(days).isValid());
        QCOMPARE(DayCount::toMs(days), 0);
        QVERIFY(std::isnan(DayCount::dateOf(days)));
        QCOMPARE(DayCount::durationText(days), QString());
    }

    void farDatesAreStillDates() {
        QVERIFY(DayCount::isDayCount(2.9e6));
        QCOMPARE(DayCount::toDateTime(2.9e6).date(), QDate(9839, 12, 5));
        QVERIFY(DayCount::toDateTime(-2.9e6).isValid());
    }
};

QTEST_GUILESS_MAIN(TestDayCount)
#include "test_daycount.moc"
