#include "LargeFormFixture.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/KeptCalls.h"
#include "core/seams/DayCount.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/ViewerColumns.h"

#include <QDir>
#include <QTimeZone>

// A call's length, its price and the figures shown while it runs come from
// the clock that is never set; its start and end are the wall clock's.
class TestLargeFormClock : public QObject, LargeFormFixture {
    Q_OBJECT

    static QString wallText(double days) {
        return DayCount::toDate(days).toString(Qt::ISODate) + QLatin1Char(' ') +
               QTime::fromMSecsSinceStartOfDay(DayCount::timeOfDayMs(days)).toString(QStringLiteral("hh:mm"));
    }

private slots:
    void init() { reset(); }

    // 40 minutes at 10p a minute and 20 % tax, spend warning at £4.50: the
    // clock changes ten minutes in (London's at 01:00 GMT).
    void aCallAcrossAClockChange_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("startUtc");
        QTest::addColumn<int>("setByHandMinutes");
        QTest::addColumn<bool>("keptAndRecovered");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        const auto utc = [](int y, int mo, int d, int h, int mi) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
        };
        QTest::newRow("London, clocks go forward")
            << QByteArray("Europe/London") << utc(2025, 3, 30, 0, 50) << 0 << false << "2025-03-30 00:50"
            << "2025-03-30 02:30";
        QTest::newRow("London, clocks go back")
            << QByteArray("Europe/London") << utc(2025, 10, 26, 0, 50) << 0 << false << "2025-10-26 01:50"
            << "2025-10-26 01:30";
        QTest::newRow("London, clocks go back, kept and recovered at start")
            << QByteArray("Europe/London") << utc(2025, 10, 26, 0, 50) << 0 << true << "2025-10-26 01:50"
            << "2025-10-26 01:30";
        QTest::newRow("set back an hour by hand")
            << QByteArray("UTC") << utc(2026, 12, 9, 10, 0) << -60 << false << "2026-12-09 10:00"
            << "2026-12-09 09:40";
        QTest::newRow("set on a day by hand")
            << QByteArray("UTC") << utc(2026, 12, 9, 23, 50) << 24 * 60 << false << "2026-12-09 23:50"
            << "2026-12-11 00:30";
    }
    void aCallAcrossAClockChange() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, startUtc);
        QFETCH(int, setByHandMinutes);
        QFETCH(bool, keptAndRecovered);
        QFETCH(QString, start);
        QFETCH(QString, end);
        RateTable rates = sampleRates();
        for (int slot = 1; slot <= 3; ++slot)
            rates.slot(slot) = QStringLiteral("10.00");
        rates.slot(TaxSlot) = QStringLiteral("20.00");
        QVERIFY(writeRateFile(path(QStringLiteral("Test.dtr")), rates));
        set("Default Setup Information", "SpendWarningOn", QStringLiteral("1"));
        set("Default Setup Information", "SpendWarning", QStringLiteral("4.50"));
        if (keptAndRecovered)
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("Calls.log")));
        const QTimeZone timeZone(zone);
        QVERIFY(timeZone.isValid());
        clock.follow(timeZone, startUtc);
        auto w = makeWindow();
        child<QAbstractButton>(*w, "TaskBarButton")->click();
        w->meter().setMeterInTitle(true);

        w->meter().StartTiming(true);
        clock.advance(10 * 60000);
        if (setByHandMinutes)
            clock.set(clock.now() + setByHandMinutes / 1440.0);
        clock.advance(20 * 60000);
        w->meter().MainTimerTimer();
        QCOMPARE(text(*w, "Duration"), QStringLiteral("00:30:00"));
        QCOMPARE(text(*w, "NetCost"), QStringLiteral("\u00a33.00"));
        QCOMPARE(text(*w, "GrossCost"), QStringLiteral("\u00a33.60"));
        QCOMPARE(w->meter().applicationTitle(), QStringLiteral("\u00a33.60   00:30:00"));
        QCOMPARE(tray.calls.filter(QStringLiteral("tip ")).last(),
                 QStringLiteral("tip Test - 00:30:00 - \u00a33.60"));
        QVERIFY(!w->meter().spendWarned());
        clock.advance(9 * 60000);
        w->meter().MainTimerTimer();
        QVERIFY(w->meter().spendWarned()); // £4.68
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
        const CallRecord& r = logged[0];
        QCOMPARE(wallText(r.date), start);
        QCOMPARE(wallText(r.startTime), start);
        QCOMPARE(wallText(r.endTime), end);
        QCOMPARE(DayCount::toMs(r.duration), qint64(40 * 60000));
        QCOMPARE(callCellText(r, DurationColumn, QStringLiteral("\u00a3"), {}), QStringLiteral("0:40:00"));
        QCOMPARE(r.netCost, 4.0f);
        QCOMPARE(r.grossCost, 4.8f);
    }
};

QTEST_MAIN(TestLargeFormClock)
#include "test_largeform_clock.moc"
