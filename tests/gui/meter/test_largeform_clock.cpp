#include "LargeFormFixture.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/KeptCalls.h"
#include "core/seams/DayCount.h"

#include <QDir>

// A call's length, its price and the figures shown while it runs come from
// the clock that is never set; its start and end are the wall clock's.
class TestLargeFormClock : public QObject, LargeFormFixture {
    Q_OBJECT

private slots:
    void init() { reset(); }

    // 40 minutes at 10p a minute, 10 % tax, a spend warning at £4.00. Ten
    // minutes in, the wall clock moves (London's at 01:00 GMT).
    void aCallAcrossAClockChange_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("clockMoves"); // minutes
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("keptAndRecovered");
        const auto at = [](int y, int mo, int d, int h, int mi) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi));
        };
        QTest::newRow("London, clocks go forward")
            << at(2025, 3, 30, 0, 50) << 60 << at(2025, 3, 30, 2, 30) << false;
        QTest::newRow("London, clocks go back")
            << at(2025, 10, 26, 1, 50) << -60 << at(2025, 10, 26, 1, 30) << false;
        QTest::newRow("London, clocks go back, the call kept and recovered at start")
            << at(2025, 10, 26, 1, 50) << -60 << at(2025, 10, 26, 1, 30) << true;
        QTest::newRow("set back an hour by hand")
            << at(2026, 12, 9, 10, 0) << -60 << at(2026, 12, 9, 9, 40) << false;
        QTest::newRow("set on a day by hand")
            << at(2026, 12, 9, 23, 50) << 1440 << at(2026, 12, 11, 0, 30) << false;
    }
    void aCallAcrossAClockChange() {
        QFETCH(QDateTime, start);
        QFETCH(int, clockMoves);
        QFETCH(QDateTime, end);
        QFETCH(bool, keptAndRecovered);
        RateTable rates = sampleRates();
        for (int slot : {1, 2, 3, int(TaxSlot)})
            rates.slot(slot) = QStringLiteral("10.00");
        QVERIFY(writeRateFile(path(QStringLiteral("Test.dtr")), rates));
        set("Default Setup Information", "SpendWarningOn", QStringLiteral("1"));
        set("Default Setup Information", "SpendWarning", QStringLiteral("4.00"));
        if (keptAndRecovered)
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("Calls.log")));
        clock.set(start);
        auto w = makeWindow();
        child<QAbstractButton>(*w, "TaskBarButton")->click();
        w->meter().setMeterInTitle(true);

        w->meter().StartTiming(true);
        clock.advance(10 * 60000);
        clock.set(clock.now() + clockMoves / 1440.0);
        clock.advance(20 * 60000);
        w->meter().MainTimerTimer();
        QCOMPARE(
            (QStringList{text(*w, "Duration"), text(*w, "NetCost"), text(*w, "GrossCost"),
                         w->meter().applicationTitle(), tray.calls.filter(QStringLiteral("tip ")).last()}),
            (QStringList{"00:30:00", "£3.00", "£3.30", "£3.30   00:30:00", "tip Test - 00:30:00 - £3.30"}));
        QVERIFY(!w->meter().spendWarned());
        clock.advance(9 * 60000);
        w->meter().MainTimerTimer();
        QVERIFY(w->meter().spendWarned()); // £4.29
        clock.advance(60000);
        w->meter().StopTiming(true);
        if (keptAndRecovered) {
            QCOMPARE(w->meter().unloggedCalls(), 1);
            w.reset();
            QVERIFY(QDir(dir->path()).rmdir(QStringLiteral("Calls.log")));
            QVERIFY(!KeptCalls::recoverAtStart(dir->path(), services.stateDirectory).failed);
        }

        const std::vector<CallRecord> logged = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(logged.size(), size_t(1));
        QCOMPARE(DayCount::toDateTime(logged[0].startTime), start);
        QCOMPARE(DayCount::toDateTime(logged[0].endTime), end);
        QCOMPARE(DayCount::toMs(logged[0].duration), qint64(40 * 60000));
        QCOMPARE(logged[0].netCost, 4.0f);
        QCOMPARE(logged[0].grossCost, 4.4f);
    }
};

QTEST_MAIN(TestLargeFormClock)
#include "test_largeform_clock.moc"
