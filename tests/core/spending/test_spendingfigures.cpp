// The spend per day, week and bill period, made in one pass over the log,
// checked against the calls' calendar dates and against the viewer's totals.
#include "core/calllog/RateNameStore.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/SpendingFigures.h"
#include "core/viewer/CallLogViewer.h"

#include "fakes/FakePrompter.h"
#include "fakes/SampleCall.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <map>

namespace {
const QDateTime Wednesday(QDate(2025, 3, 5), QTime(12, 0));

struct Expected {
    SpendPart total;
    std::array<SpendPart, 4> bands;
    std::map<QString, SpendPart> rates;
};

void count(SpendPart& part, const CallRecord& call) {
    ++part.calls;
    part.gross.add(call.grossCost);
    part.net.add(call.netCost);
}

bool same(const SpendPart& a, const SpendPart& b) {
    return a.calls == b.calls && a.gross.total() == b.gross.total() && a.net.total() == b.net.total();
}

// The bill period of a date as the number of the month it starts in.
int billMonth(QDate date, int billDay) {
    return date.year() * 12 + date.month() - (date.day() < billDay ? 1 : 0);
}
} // namespace

class TestSpendingFigures : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return ProgramFiles::path(m_dir->path(), name); }
    CallLog log() const { return CallLog(path(ProgramFiles::CallLogName)); }
    SpendingFigures figuresAt(const QDateTime& now, int billDay = 1) const {
        return SpendingFigures::compute(log(), RateNames::load(path(ProgramFiles::RateNameStoreName)),
                                        DayCount::fromDateTime(now), billDay);
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // 4000 calls from two years before now to a month after it: every bar
    // holds the calls of its days, with and without tax, by band and by rate.
    void barsHoldTheCallsOfTheirDays_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("billDay");
        QTest::newRow("a Wednesday in March") << Wednesday << 1;
        QTest::newRow("leap day, bills from the 28th") << QDateTime(QDate(2024, 2, 29), QTime(9, 30)) << 28;
        QTest::newRow("New Year's Day, a Monday, bills from the 15th")
            << QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0, 1)) << 15;
        QTest::newRow("a Sunday, the day before the bill day")
            << QDateTime(QDate(2025, 4, 27), QTime(23, 59)) << 28;
    }
    void barsHoldTheCallsOfTheirDays() {
        QFETCH(QDateTime, now);
        QFETCH(int, billDay);
        // Keys 1 and 2 name the same rate (a name cut to 30 characters); key 4 is in no record.
        const RateNameStore store(path(ProgramFiles::RateNameStoreName));
        const QString longName = QStringLiteral("Evening and Weekend Saver Plus Extra");
        for (const QString& name : {longName, longName, QStringLiteral("Kingston")})
            store.RateNameKeyFor(name);
        const RateNames names = RateNames::load(store.path());
        QRandomGenerator random(4711);
        std::vector<CallRecord> calls;
        for (int i = 0; i < 4000; ++i) {
            const QDateTime start(now.date().addDays(random.bounded(-800, 40)),
                                  QTime::fromMSecsSinceStartOfDay(random.bounded(86'400'000)));
            calls.push_back(sampleCall(start, float(random.bounded(1, 500)) / 100.0f, random.bounded(0, 14),
                                       quint16(random.bounded(1, 5))));
        }
        QVERIFY(log().append(calls));
        const SpendingFigures figures = figuresAt(now, billDay);

        const QDate today = now.date();
        const QDate thisMonday = today.addDays(1 - today.dayOfWeek());
        for (SpendView view : {SpendView::Day, SpendView::Week, SpendView::Month}) {
            const std::vector<SpendBar>& bars = figures.bars(view);
            const qint64 size = view == SpendView::Day ? 31 : view == SpendView::Week ? 26 : 24;
            QCOMPARE(qint64(bars.size()), size);
            std::vector<Expected> expected(bars.size());
            for (const CallRecord& call : calls) {
                const QDate d = DayCount::toDateTime(call.date).date();
                const qint64 bar = view == SpendView::Day ? size - 1 - d.daysTo(today)
                                   : view == SpendView::Week
                                       ? size - 1 - d.addDays(1 - d.dayOfWeek()).daysTo(thisMonday) / 7
                                       : size - 1 - (billMonth(today, billDay) - billMonth(d, billDay));
                if (bar < 0 || bar >= size)
                    continue;
                Expected& e = expected[size_t(bar)];
                const int code = call.rateCode;
                count(e.total, call);
                count(e.bands[code >= 1 && code <= 12 ? (code - 1) % 3 : 3], call);
                count(e.rates[names.nameFor(call.rateNameKey)], call);
            }
            for (size_t bar = 0; bar < bars.size(); ++bar) {
                const QByteArray where = "bar " + QByteArray::number(qulonglong(bar));
                QVERIFY2(same(bars[bar].total, expected[bar].total), where);
                for (size_t band = 0; band < 4; ++band)
                    QVERIFY2(same(bars[bar].bands[band], expected[bar].bands[band]), where + " band");
                for (int r = 0; r < figures.rateNames().size(); ++r)
                    QVERIFY2(same(bars[bar].rates[size_t(r)], expected[bar].rates[figures.rateNames()[r]]),
                             where);
                QVERIFY(bar == 0 || bars[bar].firstDay == bars[bar - 1].endDay);
            }
        }
        QCOMPARE(figures.rateNames().size(), 3);
    }

    // The current day, week and month hold what the viewer's period
    // selections total for the same log.
    void currentBarsEqualTheViewersSelections() {
        QRandomGenerator random(99);
        std::vector<CallRecord> calls;
        for (int i = 0; i < 2000; ++i) {
            const qint64 msBefore = random.bounded(Q_INT64_C(0), 200 * DayCount::MsPerDay);
            calls.push_back(
                sampleCall(Wednesday.addMSecs(-msBefore), float(random.bounded(1, 300)) / 100.0f));
        }
        QVERIFY(log().append(calls));
        const SpendingFigures figures = figuresAt(Wednesday);
        FakePrompter prompter;
        CallLogViewer viewer(m_dir->path(), prompter);
        viewer.setMainSymbol(QStringLiteral("\u00a3"));
        QCOMPARE(viewer.LoadData(), QString());
        QCOMPARE(viewer.QuickSort(DateColumn), QString());
        const std::pair<SelectionPeriod, SpendView> periods[] = {{SelectionPeriod::Today, SpendView::Day},
                                                                 {SelectionPeriod::Week, SpendView::Week},
                                                                 {SelectionPeriod::Month, SpendView::Month}};
        for (auto [period, view] : periods) {
            const auto rows = viewer.periodRows(period, DayCount::fromDateTime(Wednesday));
            QVERIFY(rows);
            const SpendPart& current = figures.bars(view).back().total;
            QCOMPARE(viewer.selectionSummary(rows->first, rows->second),
                     QStringLiteral("%1 Calls selected totalling %2")
                         .arg(current.calls)
                         .arg(viewerMoney(current.gross.total(), QStringLiteral("\u00a3"))));
        }
    }

    // On Wednesday 5 March 2025 at noon, with bills from the 1st.
    void futureAndDamagedRecords_data() {
        QTest::addColumn<CallRecord>("call");
        QTest::addColumn<QList<int>>("barsIn"); // of the day, week and month views; -1 for none
        QTest::addColumn<int>("band");
        QTest::addColumn<double>("gross");
        QTest::addColumn<bool>("undated");
        const auto at = [](int y, int m, int d, int h = 12) {
            return sampleCall(QDateTime(QDate(y, m, d), QTime(h, 0)), 0.5f, 2);
        };
        const auto dated = [&at](double date) {
            CallRecord call = at(2025, 3, 4);
            call.date = date;
            return call;
        };
        const QList<int> nowhere{-1, -1, -1};
        QTest::newRow("yesterday") << at(2025, 3, 4) << QList<int>{29, 25, 23} << 1 << 0.5 << false;
        QTest::newRow("today at midnight exactly")
            << at(2025, 3, 5, 0) << QList<int>{30, 25, 23} << 1 << 0.5 << false;
        QTest::newRow("tomorrow") << at(2025, 3, 6) << QList<int>{-1, 25, 23} << 1 << 0.5 << false;
        QTest::newRow("next Monday") << at(2025, 3, 10) << QList<int>{-1, -1, 23} << 1 << 0.5 << false;
        QTest::newRow("next month") << at(2025, 4, 1) << nowhere << 1 << 0.5 << false;
        QTest::newRow("the year 9000") << at(9000, 1, 1) << nowhere << 1 << 0.5 << false;
        QTest::newRow("date not a number") << dated(std::nan("")) << nowhere << 1 << 0.5 << true;
        QTest::newRow("date infinite") << dated(HUGE_VAL) << nowhere << 1 << 0.5 << true;
        QTest::newRow("date huge") << dated(1e300) << nowhere << 1 << 0.5 << true;
        QTest::newRow("date far before 1899") << dated(-4e6) << nowhere << 1 << 0.5 << true;
        CallRecord damaged = at(2025, 3, 4);
        damaged.rateCode = 13;
        QTest::newRow("rate code 13: no band") << damaged << QList<int>{29, 25, 23} << 3 << 0.5 << false;
        damaged.rateCode = 0;
        damaged.grossCost = NAN;
        QTest::newRow("no band, no cost: the call counts")
            << damaged << QList<int>{29, 25, 23} << 3 << 0.0 << false;
    }
    void futureAndDamagedRecords() {
        QFETCH(CallRecord, call);
        QFETCH(QList<int>, barsIn);
        QFETCH(int, band);
        QFETCH(double, gross);
        QFETCH(bool, undated);
        QVERIFY(log().append({call}));
        const SpendingFigures figures = figuresAt(Wednesday);
        QCOMPARE(figures.undatedCalls(), undated ? 1 : 0);
        for (int view = 0; view < 3; ++view) {
            const std::vector<SpendBar>& bars = figures.bars(SpendView(view));
            for (int bar = 0; bar < int(bars.size()); ++bar) {
                const bool in = bar == barsIn[view];
                QCOMPARE(bars[size_t(bar)].total.calls, in ? 1 : 0);
                QCOMPARE(bars[size_t(bar)].bands[size_t(band)].calls, in ? 1 : 0);
                QCOMPARE(bars[size_t(bar)].total.gross.total(), in ? gross : 0.0);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSpendingFigures)
#include "test_spendingfigures.moc"
