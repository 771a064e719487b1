// The budget's pace and projection over the bill period, and the notices it
// sends once per period.
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/BudgetAlerts.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/SpendingFigures.h"

#include "fakes/FakeNotifier.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Pound = QStringLiteral("\u00a3");
const auto dayOf = &DayCount::dayOfDate;
} // namespace

class TestBudget : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    CallLog log() const { return CallLog(ProgramFiles::callLogPath(m_dir->path())); }
    SettingsFile settings() const { return SettingsFile(ProgramFiles::settingsPath(m_dir->path())); }
    SpendingFigures figuresAt(const QDateTime& now, int billDay = 1) const {
        return SpendingFigures::compute(log(), RateNames(), DayCount::fromDateTime(now), billDay);
    }
    void turnOn(double amount) const {
        BudgetSettings budget;
        budget.on = true;
        budget.amount = amount;
        QVERIFY(budget.write(settings()));
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // £1.00 at noon on each of the 90 days before today (with history), and
    // £2.50 earlier today.
    void projection_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("billDay");
        QTest::addColumn<bool>("history");
        QTest::addColumn<QDate>("periodStart");
        QTest::addColumn<QDate>("periodEnd");
        QTest::addColumn<double>("spent");
        QTest::addColumn<int>("daysLeft");
        QTest::addColumn<double>("projection");
        const auto at = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(18, 0)); };
        QTest::newRow("early March") << at(2025, 3, 5) << 1 << true << QDate(2025, 3, 1) << QDate(2025, 4, 1)
                                     << 6.5 << 26 << 32.5;
        QTest::newRow("last day of March")
            << at(2025, 3, 31) << 1 << true << QDate(2025, 3, 1) << QDate(2025, 4, 1) << 32.5 << 0 << 32.5;
        QTest::newRow("first day of April: steady")
            << at(2025, 4, 1) << 1 << true << QDate(2025, 4, 1) << QDate(2025, 5, 1) << 2.5 << 29 << 31.5;
        QTest::newRow("June has 30 days")
            << at(2025, 6, 15) << 1 << true << QDate(2025, 6, 1) << QDate(2025, 7, 1) << 16.5 << 15 << 31.5;
        QTest::newRow("February") << at(2025, 2, 10) << 1 << true << QDate(2025, 2, 1) << QDate(2025, 3, 1)
                                  << 11.5 << 18 << 29.5;
        QTest::newRow("February of a leap year")
            << at(2024, 2, 10) << 1 << true << QDate(2024, 2, 1) << QDate(2024, 3, 1) << 11.5 << 19 << 30.5;
        QTest::newRow("bill day 28, the day before it")
            << at(2025, 3, 27) << 28 << true << QDate(2025, 2, 28) << QDate(2025, 3, 28) << 29.5 << 0 << 29.5;
        QTest::newRow("bill day 28, on it")
            << at(2025, 3, 28) << 28 << true << QDate(2025, 3, 28) << QDate(2025, 4, 28) << 2.5 << 30 << 32.5;
        QTest::newRow("bill day 28 in a leap February")
            << at(2024, 2, 28) << 28 << true << QDate(2024, 2, 28) << QDate(2024, 3, 28) << 2.5 << 28 << 30.5;
        QTest::newRow("bill day 28, leap year, the day before")
            << at(2024, 2, 27) << 28 << true << QDate(2024, 1, 28) << QDate(2024, 2, 28) << 32.5 << 0 << 32.5;
        QTest::newRow("bill day 15 across the new year")
            << at(2025, 1, 14) << 15 << true << QDate(2024, 12, 15) << QDate(2025, 1, 15) << 32.5 << 0
            << 32.5;
        QTest::newRow("first day of use: no average yet")
            << at(2025, 3, 5) << 1 << false << QDate(2025, 3, 1) << QDate(2025, 4, 1) << 2.5 << 26 << 2.5;
    }
    void projection() {
        QFETCH(QDateTime, now);
        QFETCH(int, billDay);
        QFETCH(bool, history);
        QFETCH(QDate, periodStart);
        QFETCH(QDate, periodEnd);
        QFETCH(double, spent);
        QFETCH(int, daysLeft);
        QFETCH(double, projection);
        std::vector<CallRecord> calls;
        for (int day = 90; history && day >= 1; --day)
            calls.push_back(sampleCall(QDateTime(now.date().addDays(-day), QTime(12, 0)), 1.0f));
        calls.push_back(sampleCall(QDateTime(now.date(), QTime(9, 0)), 2.5f));
        QVERIFY(log().append(calls));
        const BudgetPace pace = BudgetPace::of(figuresAt(now, billDay));
        QCOMPARE(pace.periodStart, dayOf(periodStart));
        QCOMPARE(pace.periodEnd, dayOf(periodEnd));
        QCOMPARE(pace.spent, spent);
        QCOMPARE(pace.dailyAverage, history ? 1.0 : 0.0);
        QCOMPARE(pace.daysLeft, daysLeft);
        QCOMPARE(pace.projection(), projection);
    }

    void line() {
        BudgetPace pace;
        pace.spent = 12.4;
        pace.dailyAverage = 0.85;
        pace.daysLeft = 17;
        QCOMPARE(budgetLine(pace, 30, Pound),
                 QStringLiteral("\u00a312.40 of \u00a330.00 this month \u00b7 on pace for \u00a326.85"));
    }

    // With a budget of 30.00, or none (off), or one of nothing. Notices: e
    // (80 %), h (100 %), p (projection); upper case, sent in the last period.
    void alertsDue_data() {
        QTest::addColumn<double>("amount"); // below 0: the budget is off
        QTest::addColumn<double>("spent");
        QTest::addColumn<double>("projection");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("after");
        QTest::newRow("well under") << 30.0 << 10.0 << 20.0 << ""
                                    << ""
                                    << "";
        QTest::newRow("projection at the budget") << 30.0 << 10.0 << 30.0 << ""
                                                  << ""
                                                  << "";
        QTest::newRow("projection over") << 30.0 << 10.0 << 31.0 << ""
                                         << "p"
                                         << "p";
        QTest::newRow("80 % exactly") << 30.0 << 24.0 << 24.0 << ""
                                      << "e"
                                      << "e";
        QTest::newRow("80 % and the projection over: one notice") << 30.0 << 24.0 << 40.0 << ""
                                                                  << "e"
                                                                  << "ep";
        QTest::newRow("80 % after the projection") << 30.0 << 25.0 << 40.0 << "p"
                                                   << "e"
                                                   << "ep";
        QTest::newRow("all at once: one notice") << 30.0 << 30.0 << 30.0 << ""
                                                 << "h"
                                                 << "ehp";
        QTest::newRow("100 % after 80 %") << 30.0 << 31.0 << 45.0 << "ep"
                                          << "h"
                                          << "ehp";
        QTest::newRow("everything told") << 30.0 << 40.0 << 60.0 << "ehp"
                                         << ""
                                         << "ehp";
        QTest::newRow("told last period only") << 30.0 << 31.0 << 45.0 << "EHP"
                                               << "h"
                                               << "ehp";
        QTest::newRow("the budget off") << -1.0 << 40.0 << 60.0 << ""
                                        << ""
                                        << "";
        QTest::newRow("an amount of nothing") << 0.0 << 40.0 << 60.0 << ""
                                              << ""
                                              << "";
    }
    void alertsDue() {
        QFETCH(double, amount);
        QFETCH(double, spent);
        QFETCH(double, projection);
        QFETCH(QString, before);
        QFETCH(QString, due);
        QFETCH(QString, after);
        const qint64 period = dayOf(QDate(2025, 3, 1));
        BudgetPace pace;
        pace.periodStart = period;
        pace.spent = spent;
        pace.dailyAverage = projection - spent;
        pace.daysLeft = 1;
        BudgetSettings budget;
        budget.on = amount >= 0;
        budget.amount = amount;
        const QString letters = QStringLiteral("ehp");
        for (int n = 0; n < BudgetSettings::NoticeCount; ++n) {
            if (before.contains(letters[n]) || before.contains(letters[n].toUpper()))
                budget.notified[n] = before.contains(letters[n]) ? period : dayOf(QDate(2025, 2, 1));
        }
        const std::vector<Notice> notices = BudgetAlerts::due(pace, budget, Pound);
        const QHash<QString, QString> titles{{"e", "80% of this month's budget is spent"},
                                             {"h", "This month's budget is spent"},
                                             {"p", "On pace to go over this month's budget"}};
        QCOMPARE(int(notices.size()), due.isEmpty() ? 0 : 1);
        if (!due.isEmpty()) {
            QCOMPARE(notices[0].title, titles[due]);
            QCOMPARE(notices[0].text, budgetLine(pace, amount, Pound));
        }
        for (int n = 0; n < BudgetSettings::NoticeCount; ++n)
            QCOMPARE(budget.notified[n] == period, after.contains(letters[n]));
    }

    // A notice goes out once per period, also across a restart, and again in
    // the next period.
    void noticesOncePerPeriod() {
        turnOn(10);
        QVERIFY(log().append({sampleCall(QDateTime(QDate(2025, 3, 3), QTime(10, 0)), 12.0f),
                              sampleCall(QDateTime(QDate(2025, 4, 2), QTime(10, 0)), 11.0f)}));
        FakeNotifier notifier;
        const QDateTime march(QDate(2025, 3, 5), QTime(12, 0));
        BudgetAlerts alerts;
        QCOMPARE(alerts.check(figuresAt(march), settings(), notifier, Pound), QString());
        QCOMPARE(int(notifier.sent.size()), 1);
        QCOMPARE(notifier.sent[0].title, QStringLiteral("This month's budget is spent"));
        QCOMPARE(settings().ReadSettingString(BudgetSettings::Section, QStringLiteral("Notified100"), {}),
                 QStringLiteral("2025-03-01"));
        QCOMPARE(alerts.check(figuresAt(march), settings(), notifier, Pound), QString());
        BudgetAlerts restarted;
        QCOMPARE(restarted.check(figuresAt(march.addDays(3)), settings(), notifier, Pound), QString());
        QCOMPARE(int(notifier.sent.size()), 1);
        QCOMPARE(restarted.check(figuresAt(march.addMonths(1)), settings(), notifier, Pound), QString());
        QCOMPARE(int(notifier.sent.size()), 2);
    }

    // A full disk is told of, with the settings file's name; the notice is
    // sent all the same, and not again while the program runs.
    void fullDisk() {
        turnOn(10);
        QVERIFY(log().append({sampleCall(QDateTime(QDate(2025, 3, 3), QTime(10, 0)), 12.0f)}));
        FakeNotifier notifier;
        BudgetAlerts alerts;
        const QDateTime now(QDate(2025, 3, 5), QTime(12, 0));
        {
            const FileSizeLimit full(10);
            const QString failure = alerts.check(figuresAt(now), settings(), notifier, Pound);
            QVERIFY2(failure.contains(QDir::toNativeSeparators(settings().path())), qPrintable(failure));
            QCOMPARE(int(notifier.sent.size()), 1);
            alerts.check(figuresAt(now), settings(), notifier, Pound);
            QCOMPARE(int(notifier.sent.size()), 1);
        }
        // The file keeps its budget: the failed rewrite replaced nothing.
        QVERIFY(BudgetSettings::read(settings()).isActive());
    }
};

QTEST_GUILESS_MAIN(TestBudget)
#include "test_budget.moc"
