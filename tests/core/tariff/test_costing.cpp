#include "core/seams/DayCount.h"
#include "core/tariff/Costing.h"

#include <QDateTime>
#include <QTest>

namespace {
double at(int y, int m, int d, int h, int min, int s = 0, int ms = 0) {
    return DayCount::fromDateTime(QDateTime(QDate(y, m, d), QTime(h, min, s, ms)));
}
constexpr int Eight = 8 * 3600 * 1000;
constexpr int Noon = 12 * 3600 * 1000;
constexpr int Six = 18 * 3600 * 1000;

WorkingValues values(double ratePence, double tax, double minPence, double connPence, double disc) {
    return {ratePence * 14.4, 0.01 * tax + 1.0, 0.01 * minPence, 0.01 * connPence, 1.0 - 0.01 * disc};
}
double minutes(qint64 ms) {
    return DayCount::fromMs(ms);
}
} // namespace

Q_DECLARE_METATYPE(WorkingValues)

class TestCosting : public QObject {
    Q_OBJECT
private slots:
    void timeBand_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("dayStart");
        QTest::addColumn<int>("dayEnd");
        QTest::addColumn<int>("band");
        // 9 December 2026 is a Wednesday.
        QTest::newRow("end of day, exactly") << at(2026, 12, 9, 18, 0) << Eight << Six << int(Daytime);
        QTest::newRow("one second after") << at(2026, 12, 9, 18, 0, 1) << Eight << Six << int(Evening);
        QTest::newRow("one ms after") << at(2026, 12, 9, 18, 0, 0, 1) << Eight << Six << int(Evening);
        QTest::newRow("start of day, exactly") << at(2026, 12, 9, 8, 0) << Eight << Six << int(Daytime);
        QTest::newRow("07:59") << at(2026, 12, 9, 7, 59) << Eight << Six << int(Evening);
        QTest::newRow("Saturday 10:00") << at(2026, 12, 12, 10, 0) << Eight << Six << int(Weekend);
        QTest::newRow("Sunday 23:59") << at(2026, 12, 13, 23, 59) << Eight << Six << int(Weekend);
        QTest::newRow("Friday 23:59") << at(2026, 12, 11, 23, 59) << Eight << Six << int(Evening);
        QTest::newRow("both noon: noon") << at(2026, 12, 9, 12, 0) << Noon << Noon << int(Daytime);
        QTest::newRow("both noon: 1 ms later")
            << at(2026, 12, 9, 12, 0, 0, 1) << Noon << Noon << int(Evening);
        QTest::newRow("both noon: 1 ms earlier")
            << at(2026, 12, 9, 11, 59, 59, 999) << Noon << Noon << int(Evening);
        QTest::newRow("reversed: between") << at(2026, 12, 9, 12, 0) << Six << Eight << int(Evening);
        QTest::newRow("reversed: at start") << at(2026, 12, 9, 18, 0) << Six << Eight << int(Evening);
        QTest::newRow("reversed: at end") << at(2026, 12, 9, 8, 0) << Six << Eight << int(Evening);
    }
    void timeBand() {
        QFETCH(double, start);
        QFETCH(int, dayStart);
        QFETCH(int, dayEnd);
        QFETCH(int, band);
        QCOMPARE(timeBandAt(start, dayStart, dayEnd), band);
    }

    void netCost_data() {
        QTest::addColumn<WorkingValues>("v");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<double>("net");
        QTest::addColumn<bool>("minimum");
        QTest::newRow("6p/min, 10 min") << values(6, 17.5, 0, 0, 0) << qint64(600000) << 0.6 << false;
        QTest::newRow("minimum from the start") << values(1, 0, 5, 0, 0) << qint64(1) << 0.05 << true;
        QTest::newRow("minimum at exactly 5 min") << values(1, 0, 5, 0, 0) << qint64(300000) << 0.05 << true;
        QTest::newRow("minimum passed")
            << values(1, 0, 5, 0, 0) << qint64(300001) << 300001 / 86400000.0 * 14.4 << false;
        QTest::newRow("connection at zero length") << values(6, 0, 0, 10, 0) << qint64(0) << 0.1 << false;
        QTest::newRow("discount on time part only")
            << values(6, 0, 0, 10, 50) << qint64(600000) << 0.3 + 0.1 << false;
        QTest::newRow("nothing loaded") << WorkingValues{} << qint64(600000) << 0.0 << true;
    }
    void netCost() {
        QFETCH(WorkingValues, v);
        QFETCH(qint64, elapsedMs);
        QFETCH(double, net);
        QFETCH(bool, minimum);
        const NetCost c = netCostOf(v, minutes(elapsedMs));
        QVERIFY2(qFuzzyCompare(1.0 + c.amount, 1.0 + net), qPrintable(QString::number(c.amount, 'g', 17)));
        QCOMPARE(c.minimumEffective, minimum);
    }

    void grossDisplay() {
        const WorkingValues v = values(6, 17.5, 0, 0, 0);
        const double net = netCostOf(v, minutes(600000)).amount;
        QCOMPARE(::moneyDisplay(net, QStringLiteral("\u00a3"), QStringLiteral("p")), QStringLiteral("60.0p"));
        QCOMPARE(::moneyDisplay(net * v.TaxFactor, QStringLiteral("\u00a3"), QStringLiteral("p")),
                 QStringLiteral("70.5p"));
    }

    void formatFixed_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.705 rounds up") << 0.705 << 2 << "0.71";
        QTest::newRow("1.005 rounds up") << 1.005 << 2 << "1.01";
        QTest::newRow("half to even is not used") << 2.5 << 0 << "3";
        QTest::newRow("negative half away") << -0.005 << 2 << "-0.01";
        QTest::newRow("no negative zero") << -0.004 << 2 << "0.00";
        QTest::newRow("zero") << 0.0 << 2 << "0.00";
        QTest::newRow("carry into a new digit") << 9.996 << 2 << "10.00";
        QTest::newRow("small, rounds up") << 0.0996 << 2 << "0.10";
        QTest::newRow("tiny") << 1e-9 << 1 << "0.0";
        QTest::newRow("large") << 123456.785 << 2 << "123456.79";
        QTest::newRow("0.99996 as pence") << 0.99996 * 100 << 1 << "100.0";
    }
    void formatFixed() {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(::formatFixed(value, decimals), text);
    }

    void moneyDisplay_data() {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("just below one") << 0.99996 << "100.0p";
        QTest::newRow("one") << 1.0 << "\u00a31.00";
        QTest::newRow("pounds") << 12.345 << "\u00a312.35";
        QTest::newRow("zero") << 0.0 << "0.0p";
        QTest::newRow("half a penny") << 0.00005 << "0.0p";
    }
    void moneyDisplay() {
        QFETCH(double, amount);
        QFETCH(QString, text);
        QCOMPARE(::moneyDisplay(amount, QStringLiteral("\u00a3"), QStringLiteral("p")), text);
    }
};

QTEST_GUILESS_MAIN(TestCosting)
#include "test_costing.moc"
