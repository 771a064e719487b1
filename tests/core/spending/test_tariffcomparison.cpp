#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/RateNameStore.h"
#include "core/meter/CallMeter.h"
#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/TariffComparison.h"
#include "core/spending/TariffTable.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"
#include "fakes/FakePrompter.h"
#include "fakes/SampleCall.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <set>

namespace {

// A clock that moves on a little at every reading, as the system's does
// between two readings made one after the other.
class ReadingClock final : public Clock {
public:
    explicit ReadingClock(qint64 stepMs) : m_step(stepMs) {}
    double now() const override { return DayCount::fromMs(monotonicMs()); }
    qint64 monotonicMs() const override {
        const qint64 time = m_ms;
        m_ms += m_step;
        return time;
    }
    void set(const QDateTime& local) { m_ms = DayCount::toMs(DayCount::fromDateTime(local)); }
    void advance(qint64 ms) { m_ms += ms; }

private:
    qint64 m_step;
    mutable qint64 m_ms = 0;
};

// A data directory whose settings make `active` the rate file in use, with
// daytime from 08:00 to 18:00, and a meter on it.
struct MeterFixture {
    QTemporaryDir dir;
    ReadingClock clock;
    FakePrompter prompter;
    Services services;
    std::unique_ptr<CallMeter> meter;

    MeterFixture(qint64 clockStepMs, const QString& active, const RateTable& rates) : clock(clockStepMs) {
        QVERIFY(dir.isValid());
        QVERIFY(writeRateFile(ProgramFiles::rateFilePath(dir.path(), active), rates));
        const SettingsFile settings(ProgramFiles::settingsPath(dir.path()));
        QVERIFY(settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile, active));
        QVERIFY(settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::DayTimeStart,
                                            QStringLiteral("08:00")));
        QVERIFY(settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::DayTimeEnd,
                                            QStringLiteral("18:00")));
        QVERIFY(
            settings.WriteSettingBool(SettingsKeys::DefaultsSection, SettingsKeys::SpendWarningOn, false));
        services.programDirectory = dir.path();
        services.stateDirectory = dir.filePath(QStringLiteral("state"));
        services.clock = &clock;
        services.prompter = &prompter;
        meter = std::make_unique<CallMeter>(services, [] { return 0; });
        meter->ReadIniSettings();
    }
};

// Twelve rates in pence a minute (by rate code), then tax, minimum,
// connection and discount.
RateTable rates(const QStringList& texts) {
    RateTable table;
    for (int slot = 1; slot <= RateTable::SlotCount; ++slot)
        table.slot(slot) = texts.value(slot - 1, QStringLiteral("0.00"));
    return table;
}

RateTable flat(const QString& perMinute, const QString& tax) {
    QStringList texts;
    for (int code = 1; code <= 12; ++code)
        texts << perMinute;
    return rates(texts << tax);
}

// A call of `minutes` with the costs it was logged at.
CallRecord call(int rateCode, double minutes, float gross, float net) {
    CallRecord r;
    r.date = r.startTime = 46000.5;
    r.duration = minutes / 1440.0;
    r.endTime = r.startTime + r.duration;
    r.rateCode = quint16(rateCode);
    r.grossCost = gross;
    r.netCost = net;
    return r;
}

QStringList tableOf(const TariffComparison& comparison) {
    QStringList lines;
    for (const TariffRow& row : comparison.rows())
        lines << TariffTable::cells(row, QStringLiteral("\u00a3")).join(QLatin1Char('|'));
    return lines;
}

// Makes the fixture's rate file bill by these rules, its bill day this one.
void billBy(MeterFixture& fixture, const QString& rateName, const QByteArray& rules, int billDay) {
    QFile file(BillingRulesFile::pathFor(ProgramFiles::rateFilePath(fixture.dir.path(), rateName)));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(rules) == rules.size());
    file.close();
    QVERIFY(SettingsFile(ProgramFiles::settingsPath(fixture.dir.path()))
                .WriteSettingInteger(BudgetSettings::Section, BudgetSettings::BillDayKey, billDay));
    fixture.meter->ReadIniSettings();
}

} // namespace

class TestTariffComparison : public QObject {
    Q_OBJECT

    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

private slots:
    // The meter's own figures are of one moment, so a logged call priced
    // again with the rate file it was timed with gives back its logged costs,
    // bit for bit: every band and distance, a minimum charge, a connection
    // charge, a discount, distances changed during calls; with billing rules
    // too, the calls logged in the band they were billed in (Weekend on a
    // holiday) and free minutes running out in two bill periods.
    void aLoggedCallPricedAgainGivesItsLoggedCosts_data() {
        QTest::addColumn<QByteArray>("rules");
        QTest::newRow("continuous") << QByteArray();
        QTest::newRow("billing rules")
            << QByteArray("[Billing]\nFirstBlock=60\nNextBlock=30\nRoundUpTo=0.5\nCapPerCall=1.10\n"
                          "[Holidays]\nDates=11-05\n[Free Minutes]\nMinutes=45\nBands=Evening, Weekend\n");
    }
    void aLoggedCallPricedAgainGivesItsLoggedCosts() {
        QFETCH(QByteArray, rules);
        const RateTable timed =
            rates({QStringLiteral(" 1.25"), QStringLiteral(" 0.60"), QStringLiteral(" 0.33"),
                   QStringLiteral(" 4.10"), QStringLiteral(" 2.05"), QStringLiteral(" 1.70"),
                   QStringLiteral(" 7.99"), QStringLiteral(" 3.45"), QStringLiteral(" 2.15"),
                   QStringLiteral("36.50"), QStringLiteral("28.75"), QStringLiteral("19.99"),
                   QStringLiteral("17.50"), QStringLiteral(" 9.00"), QStringLiteral(" 1.50"),
                   QStringLiteral("12.50")});
        MeterFixture fixture(3, QStringLiteral("Timed"), timed);
        const QTemporaryDir& dir = fixture.dir;
        QVERIFY(writeRateFile(ProgramFiles::rateFilePath(dir.path(), QStringLiteral("Other")),
                              flat(QStringLiteral(" 2.00"), QStringLiteral("20.00"))));
        ReadingClock& clock = fixture.clock;
        CallMeter& meter = *fixture.meter;
        billBy(fixture, QStringLiteral("Timed"), rules, 9);

        QRandomGenerator random(19);
        const QDateTime monday(QDate(2026, 11, 2), QTime(0, 0));
        constexpr int Calls = 2400;
        for (int i = 0; i < Calls; ++i) {
            meter.setDistance(i % 4 + 1);
            // Every fifth call has its band chosen by hand.
            meter.setAutoTimeSense(i % 5 != 0);
            meter.setManualBand(i / 4 % 3 + 1);
            // Free minutes go to calls in the order they started: those are made so.
            clock.set(rules.isEmpty()
                          ? monday.addDays(random.bounded(14)).addMSecs(random.bounded(86'400'000))
                          : monday.addMSecs(i * 504'000LL + random.bounded(400'000)));
            meter.StartTiming(true);
            // Some calls end within a tick, the others run for up to 40 minutes;
            // the ticks need not be regular, as each prices the whole call.
            const qint64 length = i % 7 == 0 ? random.bounded(150) : random.bounded(2'400'000);
            for (int tick = 1; tick <= 4; ++tick) {
                clock.advance(length / 5);
                meter.MainTimerTimer();
                if (tick == 1 && i % 11 == 0) {
                    meter.setDistance((i + 1) % 4 + 1); // the whole call at the new distance
                    meter.TransferRate();
                }
            }
            clock.advance(length - 4 * (length / 5));
            meter.StopTiming(true);
        }
        QCOMPARE(fixture.prompter.all(), QStringList());

        const std::vector<CallRecord> logged = CallLog(ProgramFiles::callLogPath(dir.path())).readAll();
        QCOMPARE(int(logged.size()), Calls);
        const std::optional<TariffPrices> prices = TariffPrices::from(timed);
        QVERIFY(prices);
        BillingRun run(*BillingRulesFile::parse(rules, nullptr), 9);
        std::set<int> codes;
        int minimumCalls = 0;
        int freeCalls = 0;
        for (const CallRecord& r : logged) {
            QVERIFY(TariffPrices::canPrice(r));
            if (DayCount::toDate(r.startTime) == QDate(2026, 11, 5) && !rules.isEmpty())
                QCOMPARE(TimeBandOfRateCode(r.rateCode), int(Weekend));
            const Charge charge = prices->priceOf(r, run);
            const CallCost& cost = charge.cost;
            freeCalls += charge.freeMsUsed > 0;
            if (std::bit_cast<quint32>(cost.storedNet()) != std::bit_cast<quint32>(r.netCost) ||
                std::bit_cast<quint32>(cost.storedGross()) != std::bit_cast<quint32>(r.grossCost))
                QFAIL(qPrintable(QStringLiteral("code %1, %2 days: logged %3 / %4, priced %5 / %6")
                                     .arg(r.rateCode)
                                     .arg(r.duration, 0, 'g', 17)
                                     .arg(r.netCost, 0, 'g', 9)
                                     .arg(r.grossCost, 0, 'g', 9)
                                     .arg(cost.storedNet(), 0, 'g', 9)
                                     .arg(cost.storedGross(), 0, 'g', 9)));
            codes.insert(r.rateCode);
            minimumCalls += cost.minimumEffective;
        }
        QCOMPARE(int(codes.size()), 12);
        QVERIFY(minimumCalls > 0 && minimumCalls < Calls);
        QVERIFY(rules.isEmpty() ? freeCalls == 0 : freeCalls >= 2 && freeCalls < 100);

        // The comparison puts the calls in the order they started.
        TariffComparison comparison(dir.path(), TariffComparison::activeRateName(dir.path()));
        for (auto r = logged.rbegin(); r != logged.rend(); ++r)
            comparison.add(*r);
        const std::vector<TariffRow> rows = comparison.rows();
        const auto inUse =
            std::find_if(rows.begin(), rows.end(), [](const TariffRow& row) { return row.inUse; });
        QVERIFY(inUse != rows.end());
        QCOMPARE(inUse->rateName, QStringLiteral("Timed"));
        QCOMPARE(inUse->calls, qint64(Calls));
        QCOMPARE(inUse->gross.total(), comparison.loggedGross().total());
        QCOMPARE(inUse->net.total(), comparison.loggedNet().total());
        QCOMPARE(inUse->difference, 0.0);
        QCOMPARE(inUse->cheaper, qint64(0));
    }

    // The duration and both costs a tick shows are of one reading of the clock.
    void aTickShowsOneMoment() {
        MeterFixture fixture(60'000, QStringLiteral("Six"),
                             flat(QStringLiteral(" 6.00"), QStringLiteral("17.50")));
        QSignalSpy figures(fixture.meter.get(), &CallMeter::figuresChanged);
        fixture.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        fixture.meter->StartTiming(true);
        fixture.clock.advance(9 * 60'000);
        fixture.meter->MainTimerTimer();
        QCOMPARE(figures.size(), 1);
        QCOMPARE(figures.front(), QVariantList({"00:10:00", "60.0p", "70.5p"}));
    }

    // The figures a tick shows: blocks charged whole from their first
    // second, and free minutes used first, counted from the calls logged in
    // this bill period with this rate file.
    void theFiguresFollowTheBillingRules_data() {
        QTest::addColumn<QByteArray>("rules");
        QTest::addColumn<QDateTime>("earlier"); // a call of 14.4 minutes logged before
        QTest::addColumn<QList<int>>("seconds");
        QTest::addColumn<QStringList>("figures");

        const QDateTime none;
        const QDateTime sameWeek(QDate(2026, 12, 7), QTime(10, 0));
        const QDateTime lastPeriod(QDate(2026, 11, 30), QTime(10, 0));
        const QList<int> ticks{1, 59, 60, 61, 120, 121, 400};
        QTest::newRow("per started minute")
            << QByteArray("[Billing]\nFirstBlock=60\nNextBlock=60\n") << none << ticks
            << QStringList{"8.0p", "8.0p", "8.0p", "14.0p", "14.0p", "20.0p", "44.0p"};
        QTest::newRow("capped, then rounded up to a penny")
            << QByteArray("[Billing]\nFirstBlock=60\nNextBlock=60\nRoundUpTo=1\nCapPerCall=0.125\n") << none
            << ticks << QStringList{"8.0p", "8.0p", "8.0p", "13.0p", "13.0p", "13.0p", "13.0p"};
        QTest::newRow("17 free minutes, 15 used this period")
            << QByteArray("[Billing]\nFirstBlock=60\nNextBlock=60\n[Free Minutes]\nMinutes=17\n") << sameWeek
            << ticks << QStringList{"2.0p", "2.0p", "2.0p", "2.0p", "2.0p", "8.0p", "32.0p"};
        QTest::newRow("free minutes of the last period are not used")
            << QByteArray("[Free Minutes]\nMinutes=17\n") << lastPeriod << ticks
            << QStringList{"2.0p", "2.0p", "2.0p", "2.0p", "2.0p", "2.0p", "2.0p"};
    }
    void theFiguresFollowTheBillingRules() {
        QFETCH(QByteArray, rules);
        QFETCH(QDateTime, earlier);
        QFETCH(QList<int>, seconds);
        QFETCH(QStringList, figures);
        // 6p a minute but 1p at the weekend, a connection charge of 2p, no tax.
        QStringList texts{" 6.00", " 6.00", " 1.00"};
        MeterFixture fixture(0, "Six",
                             rates(texts + texts + texts + texts + QStringList{"0", "0", "2.00", "0"}));
        billBy(fixture, QStringLiteral("Six"), rules, 1);
        CallMeter& meter = *fixture.meter;
        // A call with another rate file uses none of them.
        const RateNameStore store(ProgramFiles::rateNameStorePath(fixture.dir.path()));
        std::vector<CallRecord> logged{
            sampleCall(QDateTime(QDate(2026, 12, 8), QTime(10, 0)), 1, 1, store.RateNameKeyFor("Other"))};
        if (earlier.isValid())
            logged.push_back(sampleCall(earlier, 1, 1, store.RateNameKeyFor("Six")));
        QVERIFY(CallLog(ProgramFiles::callLogPath(fixture.dir.path())).append(logged));

        QSignalSpy ticks(&meter, &CallMeter::figuresChanged);
        fixture.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        meter.StartTiming(true);
        QStringList shown;
        int at = 0;
        for (const int second : seconds) {
            fixture.clock.advance((second - at) * 1000);
            at = second;
            meter.MainTimerTimer();
            shown << ticks.back().at(1).toString();
        }
        QCOMPARE(shown, figures);
        QCOMPARE(fixture.prompter.all(), QStringList());
    }

    void theTable_data() {
        QTest::addColumn<QString>("active");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("unpriced");

        // Two calls of ten minutes, logged at 12p a minute and 20 % tax: £2.40 net, £2.88 gross.
        QTest::newRow("cheapest first, the one in use marked")
            << "Dear"
            << QStringList{"Cheap|2|£0.20|£0.20|-£2.68|2", "Τιμολόγιο|2|£1.00|£1.10|-£1.78|2",
                           "Dear (in use)|2|£2.40|£2.88|£0.00|0",
                           "Garbled|Cannot be read: 'x7' is not a valid "
                           "floating point value",
                           "Short|Cannot be read: The file is too short"}
            << "2 calls as logged: £2.88 (£2.40 exc. tax)"
            << "4 calls could not be priced";
        QTest::newRow("the rate file in use is gone")
            << "Gone"
            << QStringList{"Cheap|2|£0.20|£0.20|-£2.68|2",
                           "Τιμολόγιο|2|£1.00|£1.10|-£1.78|2",
                           "Dear|2|£2.40|£2.88|£0.00|0",
                           "Garbled|Cannot be read: 'x7' is not a valid floating point value",
                           "Gone (in use)|Cannot be read: No such file or directory",
                           "Short|Cannot be read: The file is too short"}
            << "2 calls as logged: £2.88 (£2.40 exc. tax)"
            << "4 calls could not be priced";
    }
    void theTable() {
        QFETCH(QString, active);
        QFETCH(QStringList, table);
        QFETCH(QString, logged);
        QFETCH(QString, unpriced);
        QTemporaryDir dir;
        const auto path = [&dir](const char* name) {
            return ProgramFiles::rateFilePath(dir.path(), QString::fromUtf8(name));
        };
        QVERIFY(writeRateFile(path("Cheap"), flat(QStringLiteral(" 1.00"), QStringLiteral(" 0.00"))));
        QVERIFY(writeRateFile(path("Dear"), flat(QStringLiteral("12.00"), QStringLiteral("20.00"))));
        QVERIFY(writeRateFile(path("Τιμολόγιο"), flat(QStringLiteral(" 5.00"), QStringLiteral("10.00"))));
        RateTable garbled = flat(QStringLiteral(" 1.00"), QStringLiteral(" 0.00"));
        garbled.slot(7) = QStringLiteral("x7");
        QVERIFY(writeRateFile(path("Garbled"), garbled));
        writeFile(path("Short"), RateFileCodec::write(flat(QStringLiteral(" 1.00"), {})).left(95));
        writeFile(dir.filePath(QStringLiteral("Upper.DTR")),
                  RateFileCodec::write(flat(QStringLiteral("1"), {})));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Folder.dtr")));

        TariffComparison comparison(dir.path(), active);
        comparison.add(call(1, 10, 1.44f, 1.2f));
        comparison.add(call(12, 10, 1.44f, 1.2f));
        comparison.add(call(0, 10, 1.0f, 1.0f));
        comparison.add(call(13, 10, 1.0f, 1.0f));
        comparison.add(call(5, std::nan(""), 1.0f, 1.0f));
        comparison.add(call(5, -20, 0.0f, 0.0f)); // timed across the clock going back, by wall-clock readings
        QCOMPARE(tableOf(comparison), table);
        QCOMPARE(TariffTable::loggedText(comparison, QStringLiteral("£")), logged);
        QCOMPARE(TariffTable::unpricedText(comparison), unpriced);
    }
};

QTEST_GUILESS_MAIN(TestTariffComparison)
#include "test_tariffcomparison.moc"
