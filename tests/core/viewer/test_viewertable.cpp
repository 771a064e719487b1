// The viewer's cell texts and its column layout.
#include "core/seams/DayCount.h"
#include "core/settings/SettingsFile.h"
#include "core/spending/Money.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/ViewerColumns.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(CallRecord)

namespace {
CallRecord call(double start, double end, int day, int rateCode, float net, float gross, quint16 key = 1) {
    CallRecord r;
    r.date = r.startTime = start;
    r.endTime = end;
    r.duration = end - start;
    r.dayOfWeek = quint16(day);
    r.rateCode = quint16(rateCode);
    r.rateNameKey = key;
    r.netCost = net;
    r.grossCost = gross;
    return r;
}

double dec6() {
    return DayCount::fromDateTime(QDateTime(QDate(2026, 12, 6), QTime(0, 0)));
}
} // namespace

class TestViewerTable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void cellTexts_data() {
        QTest::addColumn<CallRecord>("record");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        const double nine = dec6() + 9.5 / 24;
        const CallRecord plain = call(nine, nine + 754.4 / 86400, 1, 5, 0.705f, 1.5f);
        QTest::newRow("date") << plain << int(DateColumn) << "06/12/2026";
        QTest::newRow("day") << plain << int(DayColumn) << "Sunday";
        QTest::newRow("start, seconds cut")
            << call(nine + 59.9 / 86400, nine + 0.1, 1, 1, 0, 0) << int(StartTimeColumn) << "09:30";
        QTest::newRow("end") << plain << int(EndTimeColumn) << "09:42";
        QTest::newRow("duration, hour unpadded") << plain << int(DurationColumn) << "0:12:34";
        QTest::newRow("long duration")
            << call(0, 10.75 / 24, 1, 1, 0, 0) << int(DurationColumn) << "10:45:00";
        QTest::newRow("float 0.705 reads 0.70") << plain << int(CostExcTaxColumn) << "\u00a30.70";
        QTest::newRow("cost inc tax") << plain << int(CostIncTaxColumn) << "\u00a31.50";
        QTest::newRow("negative") << call(nine, nine, 1, 1, -0.25f, 0) << int(CostExcTaxColumn)
                                  << "-\u00a30.25";
        QTest::newRow("band of code 5") << plain << int(TypeOfCallColumn) << "Evening";
        QTest::newRow("band of code 1") << call(nine, nine, 1, 1, 0, 0) << int(TypeOfCallColumn) << "Daytime";
        QTest::newRow("distance of code 5") << plain << int(DistanceColumn) << "Regional";
        QTest::newRow("distance of code 12")
            << call(nine, nine, 1, 12, 0, 0) << int(DistanceColumn) << "International";
        for (int day : {0, 8, 0xFFFF})
            QTest::addRow("day %d", day) << call(nine, nine, day, 1, 0, 0) << int(DayColumn) << "";
        for (int code : {0, 13}) {
            QTest::addRow("band of code %d", code)
                << call(nine, nine, 1, code, 0, 0) << int(TypeOfCallColumn) << "";
            QTest::addRow("distance of code %d", code)
                << call(nine, nine, 1, code, 0, 0) << int(DistanceColumn) << "";
        }
        // A damaged record shows nothing where it holds no time.
        QTest::newRow("NaN date") << call(std::nan(""), 0, 1, 1, 0, 0) << int(DateColumn) << "";
        QTest::newRow("huge start") << call(1e300, 0, 1, 1, 0, 0) << int(StartTimeColumn) << "";
        QTest::newRow("infinite duration") << call(0, INFINITY, 1, 1, 0, 0) << int(DurationColumn) << "";
        QTest::newRow("-1e300 date") << call(-1e300, 0, 1, 1, 0, 0) << int(DateColumn) << "";
        QTest::newRow("date past the year 10000") << call(3.0e6, 0, 1, 1, 0, 0) << int(DateColumn) << "";
    }
    void cellTexts() {
        QFETCH(CallRecord, record);
        QFETCH(int, column);
        QFETCH(QString, text);
        QCOMPARE(callCellText(record, column, QStringLiteral("\u00a3"), RateNames()), text);
    }

    // The penny an amount adds to every total is the one its cell shows: a
    // stored single-precision amount rounds on its exact binary value, half a
    // penny away from zero.
    void thePennyOfAnAmountIsTheOneShown_data() {
        QTest::addColumn<float>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("pennies");
        QTest::newRow("0.345f lies below the half") << 0.345f << "\u00a30.34" << qint64(34);
        QTest::newRow("0.125f is the half itself") << 0.125f << "\u00a30.13" << qint64(13);
        QTest::newRow("1.005f") << 1.005f << "\u00a31.00" << qint64(100);
        QTest::newRow("123456.785f is 123456.78125") << 123456.785f << "\u00a3123456.78" << qint64(12345678);
        QTest::newRow("negative half") << -0.125f << "-\u00a30.13" << qint64(-13);
        QTest::newRow("less than half a penny below nothing") << -0.004f << "\u00a30.00" << qint64(0);
        QTest::newRow("NaN") << std::nanf("") << "" << qint64(0);
        QTest::newRow("beyond any cost") << 1e10f << "" << qint64(0);
    }
    void thePennyOfAnAmountIsTheOneShown() {
        QFETCH(float, stored);
        QFETCH(QString, text);
        QFETCH(qint64, pennies);
        QCOMPARE(callCellText(call(0, 0, 1, 1, 0, stored), CostIncTaxColumn, QStringLiteral("\u00a3"),
                              RateNames()),
                 text);
        QCOMPARE(Money::pennies(stored), pennies);
    }

    void moneyFollowsTheSystemsDecimalSeparator() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(viewerMoney(1.5, QStringLiteral("\u20ac")), QStringLiteral("\u20ac1,50"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QCOMPARE(viewerSymbol(QStringLiteral("EUR")), QStringLiteral("E"));
        QCOMPARE(viewerSymbol(QStringLiteral("\U0001F4B7x")), QStringLiteral("\U0001F4B7")); // one character
    }

    // A column comes back where it was kept, or last when that lies beyond the shown ones.
    void showingAColumnAgain() {
        ColumnLayout layout;
        layout.toggleColumn(RateColumn);
        layout.toggleColumn(DayColumn);
        layout.toggleColumn(RateColumn);
        QCOMPARE(layout.position(RateColumn), 8);
        layout.toggleColumn(DayColumn);
        QCOMPARE(layout.position(DayColumn), 1);
        QCOMPARE(layout.position(RateColumn), 9);
    }

    void storedLayout_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QList<int>>("columnsInGridOrder");
        QTest::newRow("none stored") << QByteArray() << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("two in one place, a gap")
            << QByteArray("DatePosition=5\nDayPosition=5\nRatePosition=-3\n"
                          "EndTimeOn=0\nDurationOn=0\nCostExcTaxOn=0\n"
                          "CostIncTaxOn=0\nTypeOfCallOn=0\nDistanceOn=0\n")
            << QList<int>{10, 3, 1, 2};
        QTest::newRow("nothing shown")
            << QByteArray("DateOn=0\nDayOn=0\nStartTimeOn=0\nEndTimeOn=0\nDurationOn=0\n"
                          "CostExcTaxOn=0\nCostIncTaxOn=0\nTypeOfCallOn=0\n"
                          "DistanceOn=0\nRateOn=0\n")
            << QList<int>{1};
    }
    void storedLayout() {
        QFETCH(QByteArray, ini);
        QFETCH(QList<int>, columnsInGridOrder);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Dialtaly.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Data Viewer Defaults]\n" + ini);
        file.close();
        const SettingsFile settings(file.fileName());
        ColumnLayout layout;
        layout.read(settings);
        QList<int> shown;
        for (int i = 0; i < layout.HowManyActive(); ++i)
            shown << layout.columnAt(i);
        QCOMPARE(shown, columnsInGridOrder);
    }
};

QTEST_GUILESS_MAIN(TestViewerTable)
#include "test_viewertable.moc"
