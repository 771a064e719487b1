#include "core/seams/DayCount.h"
#include "core/tariff/Billing.h"

#include <QDateTime>
#include <QTest>

namespace {
double at(int y, int m, int d, int h = 20, int min = 0) {
    return DayCount::fromDateTime(QDateTime(QDate(y, m, d), QTime(h, min)));
}
double seconds(double s) {
    return s / 86400.0;
}
WorkingValues values(double ratePence, double minPence = 0, double connPence = 0, double tax = 0) {
    return {ratePence * 14.4, 0.01 * tax + 1.0, 0.01 * minPence, 0.01 * connPence, 1.0};
}
BillingRules blocks(int first, int next, double roundUpTo = 0, double cap = 0) {
    BillingRules rules;
    rules.firstBlock = first;
    rules.nextBlock = next;
    rules.roundUpTo = roundUpTo;
    rules.capPerCall = cap;
    return rules;
}
} // namespace

Q_DECLARE_METATYPE(WorkingValues)
Q_DECLARE_METATYPE(BillingRules)

class TestBilling : public QObject {
    Q_OBJECT
private slots:
    void chargedLength_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("next");
        QTest::addColumn<double>("lengthMs");
        QTest::addColumn<double>("chargedMs");
        QTest::newRow("60/60, 0 s") << 60 << 60 << 0.0 << 0.0;
        QTest::newRow("60/60, 1 ms") << 60 << 60 << 1.0 << 60000.0;
        QTest::newRow("60/60, FirstBlock") << 60 << 60 << 60000.0 << 60000.0;
        QTest::newRow("60/60, FirstBlock + 1 ms") << 60 << 60 << 60001.0 << 120000.0;
        QTest::newRow("60/60, an hour and a second") << 60 << 60 << 3601000.0 << 3660000.0;
        QTest::newRow("60/60, a hair over a minute") << 60 << 60 << 60000.0000001 << 60000.0;
        QTest::newRow("60/1, 1 s") << 60 << 1 << 1000.0 << 60000.0;
        QTest::newRow("60/1, FirstBlock + 1 s") << 60 << 1 << 61000.0 << 61000.0;
        QTest::newRow("60/1, FirstBlock + 1 ms") << 60 << 1 << 60001.0 << 61000.0;
        QTest::newRow("60/1, a long call") << 60 << 1 << 7199999.4 << 7200000.0;
        QTest::newRow("1/1, 0 s") << 1 << 1 << 0.0 << 0.0;
        QTest::newRow("1/1, 1 s") << 1 << 1 << 1000.0 << 1000.0;
        QTest::newRow("1/1, 1.001 s") << 1 << 1 << 1001.0 << 2000.0;
        QTest::newRow("30/30, FirstBlock") << 30 << 30 << 30000.0 << 30000.0;
        QTest::newRow("30/30, FirstBlock + 1 s") << 30 << 30 << 31000.0 << 60000.0;
        QTest::newRow("continuous") << 0 << 0 << 12345.6 << 12345.6;
        QTest::newRow("continuous, clock set back") << 0 << 0 << -500.0 << -500.0;
        QTest::newRow("first block then continuous, within") << 60 << 0 << 1000.0 << 60000.0;
        QTest::newRow("first block then continuous, beyond") << 60 << 0 << 90000.5 << 90000.5;
        QTest::newRow("blocks, clock set back") << 60 << 60 << -500.0 << 0.0;
        QTest::newRow("blocks, damaged length") << 60 << 60 << qQNaN() << 0.0;
    }
    void chargedLength() {
        QFETCH(int, first);
        QFETCH(int, next);
        QFETCH(double, lengthMs);
        QFETCH(double, chargedMs);
        QCOMPARE(::chargedMs(blocks(first, next), lengthMs), chargedMs);
    }

    // Dates read off a calendar.
    void easter_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("sunday");
        const QList<std::pair<int, QDate>> dates = {
            {1818, QDate(1818, 3, 22)}, {1943, QDate(1943, 4, 25)}, {1961, QDate(1961, 4, 2)},
            {1998, QDate(1998, 4, 12)}, {2000, QDate(2000, 4, 23)}, {2008, QDate(2008, 3, 23)},
            {2011, QDate(2011, 4, 24)}, {2019, QDate(2019, 4, 21)}, {2024, QDate(2024, 3, 31)},
            {2025, QDate(2025, 4, 20)}, {2026, QDate(2026, 4, 5)},  {2027, QDate(2027, 3, 28)},
            {2038, QDate(2038, 4, 25)}, {2285, QDate(2285, 3, 22)}, {0, QDate()}};
        for (const auto& [year, sunday] : dates)
            QTest::addRow("%d", year) << year << sunday;
    }
    void easter() {
        QFETCH(int, year);
        QFETCH(QDate, sunday);
        QCOMPARE(easterSunday(year), sunday);
    }

    // The band a call is billed in, with the holidays of the example
    // and two far from Easter, which fall in the year before and after.
    void holidayBand_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("billed");
        QTest::newRow("Easter Monday 2026, a weekday") << at(2026, 4, 6) << int(Evening) << int(Weekend);
        QTest::newRow("Good Friday 2025, daytime") << at(2025, 4, 18, 10) << int(Daytime) << int(Weekend);
        QTest::newRow("the Thursday before") << at(2025, 4, 17, 10) << int(Daytime) << int(Daytime);
        QTest::newRow("Boxing Day 2026, a Saturday") << at(2026, 12, 26) << int(Weekend) << int(Weekend);
        QTest::newRow("a date once, that year") << at(2026, 5, 4) << int(Daytime) << int(Weekend);
        QTest::newRow("a date once, next year") << at(2027, 5, 4) << int(Daytime) << int(Daytime);
        QTest::newRow("Easter-99 of 2026, in 2025") << at(2025, 12, 27) << int(Daytime) << int(Weekend);
        QTest::newRow("Easter+300 of 2025, in 2026") << at(2026, 2, 14) << int(Evening) << int(Weekend);
        QTest::newRow("02-29, a leap year") << at(2028, 2, 29) << int(Daytime) << int(Weekend);
        QTest::newRow("a damaged start") << qQNaN() << int(Daytime) << int(Daytime);
        QTest::newRow("a start in 1 BC") << -693800.5 << int(Daytime) << int(Daytime);
        QTest::newRow("no band, on a holiday") << at(2026, 4, 6) << 0 << 0;
    }
    void holidayBand() {
        QFETCH(double, start);
        QFETCH(int, band);
        QFETCH(int, billed);
        BillingRules rules;
        rules.holidays = *parseHolidays(u"01-01, 12-25, 12-26, Easter-2, Easter+1, 2026-05-04, Easter-99, "
                                        u"Easter+300, 02-29");
        BillingRun run(rules, 1);
        QCOMPARE(run.bandOf(band, start), billed);
    }

    void charge_data() {
        QTest::addColumn<WorkingValues>("v");
        QTest::addColumn<BillingRules>("rules");
        QTest::addColumn<double>("lengthS");
        QTest::addColumn<double>("freeS");
        QTest::addColumn<double>("net");
        QTest::addColumn<bool>("minimum");
        QTest::addColumn<double>("freeUsedS");
        const BillingRules perSecondRounded = blocks(1, 1, 1, 0.5);
        const BillingRules penny = blocks(0, 0, 1);
        QTest::newRow("per started minute")
            << values(6) << blocks(60, 60) << 61.0 << 0.0 << 0.12 << false << 0.0;
        QTest::newRow("minimum on a charged block")
            << values(1, 5) << blocks(60, 60) << 30.0 << 0.0 << 0.05 << true << 0.0;
        QTest::newRow("rounded up to the penny")
            << values(10) << perSecondRounded << 61.5 << 0.0 << 0.11 << false << 0.0;
        QTest::newRow("capped") << values(10) << perSecondRounded << 600.0 << 0.0 << 0.5 << false << 0.0;
        QTest::newRow("capped, then rounded")
            << values(10) << blocks(0, 0, 1, 0.505) << 600.0 << 0.0 << 0.51 << false << 0.0;
        // 9 minutes at 1p come to 0.09000000000000001.
        QTest::newRow("9.0p stays 9.0p")
            << values(1) << blocks(60, 60, 0.1) << 540.0 << 0.0 << 0.09 << false << 0.0;
        QTest::newRow("within 1e-9 of a step")
            << WorkingValues{0, 1, 0, 0.06 + 5e-10, 1} << penny << 0.0 << 0.0 << 0.06 << false << 0.0;
        QTest::newRow("beyond 1e-9 of a step")
            << WorkingValues{0, 1, 0, 0.06 + 2e-9, 1} << penny << 0.0 << 0.0 << 0.07 << false << 0.0;
        QTest::newRow("wholly free: the connection charge")
            << values(6, 20, 10) << blocks(60, 60) << 61.0 << 600.0 << 0.1 << false << 120.0;
        QTest::newRow("free minutes run out in the call")
            << values(6, 0, 10) << blocks(1, 1) << 90.0 << 30.0 << 0.16 << false << 30.0;
        QTest::newRow("free seconds of a block only")
            << values(6) << blocks(60, 60) << 59.0 << 30.0 << 0.03 << false << 30.0;
    }
    void charge() {
        QFETCH(WorkingValues, v);
        QFETCH(BillingRules, rules);
        QFETCH(double, lengthS);
        QFETCH(double, freeS);
        QFETCH(double, net);
        QFETCH(bool, minimum);
        QFETCH(double, freeUsedS);
        const Charge c = chargeOf(v, rules, seconds(lengthS), freeS * 1000);
        QVERIFY2(std::fabs(c.cost.net - net) < 1e-12, qPrintable(QString::number(c.cost.net, 'g', 17)));
        QCOMPARE(c.cost.gross, c.cost.net * v.TaxFactor);
        QCOMPARE(c.cost.minimumEffective, minimum);
        QCOMPARE(c.freeMsUsed, freeUsedS * 1000);
    }

    // A rate file with no rules, or with holidays alone, prices every length
    // to the same bits as the meter always has.
    void withoutBlocksAsBefore() {
        BillingRules holidaysOnly;
        holidaysOnly.holidays = *parseHolidays(u"12-25");
        const WorkingValues v = values(7.35, 4, 3.3, 17.5);
        for (double days : {0.0, 1e-9, seconds(59.999), seconds(3601.25), 0.7, -seconds(5)}) {
            for (const BillingRules& rules : {BillingRules{}, holidaysOnly}) {
                const CallCost was = callCostOf(v, days);
                const Charge now = chargeOf(v, rules, days);
                QCOMPARE(now.cost.storedNet(), was.storedNet());
                QCOMPARE(now.cost.gross, was.gross);
                QCOMPARE(now.cost.minimumEffective, was.minimumEffective);
            }
        }
    }

    // 2 free minutes each month in the Evening band, per second, 6p a minute.
    void freeMinutesPerBillPeriod() {
        BillingRules rules = blocks(1, 1);
        rules.freeMinutes = 2;
        rules.freeBands = 1 << (Evening - 1);
        BillingRun run(rules, 15);
        const struct {
            double start;
            int band;
            double lengthS;
            double net;
        } calls[] = {
            {at(2026, 3, 16), Evening, 90, 0},        // all free: 30 s left
            {at(2026, 3, 16, 10), Daytime, 60, 0.06}, // not covered
            {at(2026, 3, 20), Evening, 60, 0.03},     // runs out after 30 s
            {at(2026, 4, 14), Evening, 10, 0.01},     // the last day of the period
            {at(2026, 4, 15), Evening, 120, 0},       // the bill day: 2 minutes again
            {at(2026, 4, 16), Evening, 0.4, 0.001},   // none left
        };
        for (const auto& call : calls) {
            const Charge c = run.charge(values(6), call.start, call.band, seconds(call.lengthS));
            QVERIFY2(std::fabs(c.cost.net - call.net) < 1e-12,
                     qPrintable(QString::number(c.cost.net, 'g', 17)));
        }
        QCOMPARE(run.freeMsLeft(at(2026, 4, 30), Evening), 0.0);
        QCOMPARE(run.freeMsLeft(at(2026, 5, 15), Evening), 120000.0);
        QCOMPARE(run.freeMsLeft(at(2026, 5, 15), Weekend), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestBilling)
#include "test_billing.moc"
