// The budget's pace and projection over the bill period, and the notices it
// sends once per period.
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/BudgetAlerts.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/SpendingFigures.h"
#include "core/spending/SpendingReading.h"

#include "fakes/FakeNotifier.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {
const QString Pound = QStringLiteral("\u00a3");

struct Step {
    double budget; // below 0: off
    int billDay;
    float cost; // of each of `calls` calls on day `day` of March
    int calls;
    int day;
    bool failing;
    QString sent;
    QString records; // Notified80|Notified100|NotifiedPace
};
const auto dayOf = &DayCount::dayOfDate;
} // namespace

Q_DECLARE_METATYPE(Step)

class TestBudget : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    CallLog log() const { return CallLog(ProgramFiles::callLogPath(m_dir->path())); }
    SettingsFile settings() const { return SettingsFile(ProgramFiles::settingsPath(m_dir->path())); }
    SpendingFigures figuresAt(const QDateTime& now, int billDay = 1) const {
        return SpendingFigures::compute(log(), RateNames(), DayCount::fromDateTime(now), billDay);
    }
    SpendingReading readingAt(const QDateTime& now) const {
        return SpendingReading::read(m_dir->path(), DayCount::fromDateTime(now));
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
                                                                  << "ep"
                                                                  << "ep";
        QTest::newRow("80 % after the projection") << 30.0 << 25.0 << 40.0 << "p"
                                                   << "e"
                                                   << "ep";
        QTest::newRow("all at once: one notice") << 30.0 << 30.0 << 30.0 << ""
                                                 << "h"
                                                 << "h";
        QTest::newRow("100 % after 80 %") << 30.0 << 31.0 << 45.0 << "ep"
                                          << "h"
                                          << "ehp";
        QTest::newRow("everything told") << 30.0 << 40.0 << 60.0 << "h"
                                         << ""
                                         << "h";
        QTest::newRow("told last period only") << 30.0 << 31.0 << 45.0 << "EHP"
                                               << "h"
                                               << "h";
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
                budget.notified[n] =
                    budget.sentNow(before.contains(letters[n]) ? period : dayOf(QDate(2025, 2, 1)));
        }
        const std::optional<BudgetAlerts::Due> notice = BudgetAlerts::due(pace, budget, Pound);
        const QHash<QString, QString> titles{
            {"e", "80% of this month's budget is spent"},
            {"h", "This month's budget is spent"},
            {"p", "On pace to go over this month's budget"},
            {"ep", "80% of this month's budget is spent, and on pace to go over it"}};
        QCOMPARE(notice.has_value(), !due.isEmpty());
        if (notice) {
            QCOMPARE(notice->notice.title, titles[due]);
            QCOMPARE(notice->notice.text, budgetLine(pace, amount, Pound));
            for (const BudgetSettings::Notice n : notice->tells)
                budget.notified[n] = budget.sentNow(period);
        }
        for (int n = 0; n < BudgetSettings::NoticeCount; ++n)
            QCOMPARE(budget.wasSent(BudgetSettings::Notice(n), period), after.contains(letters[n]));
    }

    // Steps on 5 March 2025: each sets the budget, its bill day, adds calls
    // and says whether the notifier fails, then checks as the main window
    // does: what it sends, and the three records of the settings file.
    void noticeScenarios_data() {
        QTest::addColumn<QList<Step>>("steps");
        const QString e = QStringLiteral("80% of this month's budget is spent");
        const QString ep = QStringLiteral("80% of this month's budget is spent, and on pace to go over it");
        const QString h = QStringLiteral("This month's budget is spent");
        const QString p = QStringLiteral("On pace to go over this month's budget");
        const QString all7 = QStringLiteral("2025-03-01 7.00|2025-03-01 7.00|2025-03-01 7.00");
        QTest::newRow("the budget raised in the period arms the notices again") << QList<Step>{
            {50, 1, 81, 1, 2, false, h, "|2025-03-01 50.00|"},
            {100, 1, 0, 0, 0, false, ep, "2025-03-01 100.00|2025-03-01 50.00|2025-03-01 100.00"},
            {100, 1, 20, 1, 4, false, h, "2025-03-01 100.00|2025-03-01 100.00|2025-03-01 100.00"}};
        QTest::newRow("a new bill day arms them for the rest of the period")
            << QList<Step>{{100, 1, 101, 1, 4, false, h, "|2025-03-01 100.00|"},
                           {100, 4, 0, 0, 0, false, h, "|2025-03-04 100.00|"}};
        QTest::newRow("ten calls of 0.70 reach 7.00, as the line says")
            << QList<Step>{{7, 1, 0.7f, 7, 2, false, p, "||2025-03-01 7.00"},
                           {7, 1, 0.7f, 1, 2, false, e, "2025-03-01 7.00||2025-03-01 7.00"},
                           {7, 1, 0.7f, 2, 2, false, h, all7}};
        QTest::newRow("0.35 spent, then a budget of 0.40 turned on")
            << QList<Step>{{-0.4, 1, 0.35f, 1, 2, false, {}, "||"},
                           {0.4, 1, 0, 0, 0, false, ep, "2025-03-01 0.40||2025-03-01 0.40"}};
        QTest::newRow("a notice not shown is not recorded, and comes later") << QList<Step>{
            {10, 1, 12, 1, 2, true, {}, "||"}, {10, 1, 0, 0, 0, false, h, "|2025-03-01 10.00|"}};
    }
    void noticeScenarios() {
        QFETCH(QList<Step>, steps);
        const QDateTime now(QDate(2025, 3, 5), QTime(12, 0));
        FakeNotifier notifier;
        BudgetAlerts alerts;
        for (const Step& step : steps) {
            QVERIFY(
                (BudgetSettings{step.budget > 0, std::fabs(step.budget), step.billDay}.write(settings())));
            const std::vector<CallRecord> calls(
                size_t(step.calls),
                sampleCall(QDateTime(QDate(2025, 3, std::max(step.day, 1)), QTime(10, 0)), step.cost));
            QVERIFY(log().append(calls));
            notifier.sent.clear();
            notifier.failing = step.failing;
            alerts.check(readingAt(now), settings(), notifier);
            QCOMPARE(int(notifier.sent.size()), step.sent.isEmpty() ? 0 : 1);
            if (!step.sent.isEmpty())
                QCOMPARE(notifier.sent[0].title, step.sent);
            QStringList records;
            for (const QString& key : BudgetSettings::NoticeKeys)
                records << settings().ReadSettingString(BudgetSettings::Section, key, {});
            QCOMPARE(records.join(QLatin1Char('|')), step.records);
        }
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
        alerts.check(readingAt(march), settings(), notifier);
        QCOMPARE(int(notifier.sent.size()), 1);
        QCOMPARE(notifier.sent[0].title, QStringLiteral("This month's budget is spent"));
        alerts.check(readingAt(march), settings(), notifier);
        BudgetAlerts restarted;
        restarted.check(readingAt(march.addDays(3)), settings(), notifier);
        QCOMPARE(int(notifier.sent.size()), 1);
        restarted.check(readingAt(march.addMonths(1)), settings(), notifier);
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
        QString failure;
        {
            const FileSizeLimit full(10);
            alerts.check(readingAt(now), settings(), notifier, [&failure](const QString& f) { failure = f; });
            QVERIFY2(failure.contains(QDir::toNativeSeparators(settings().path())), qPrintable(failure));
            QCOMPARE(int(notifier.sent.size()), 1);
            alerts.check(readingAt(now), settings(), notifier);
            QCOMPARE(int(notifier.sent.size()), 1);
        }
        // The file keeps its budget: the failed rewrite replaced nothing.
        QVERIFY(BudgetSettings::read(settings()).isActive());
    }

    // One reading opens the settings file once; recording a notice reads it
    // once more and replaces it once (inotify sees each open and rename).
    void theSettingsAreReadOnce() {
        turnOn(10);
        QVERIFY(log().append({sampleCall(QDateTime(QDate(2025, 3, 3), QTime(10, 0)), 12.0f)}));
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(watch, QFile::encodeName(m_dir->path()).constData(), IN_OPEN | IN_MOVED_TO);
        const auto events = [watch] {
            QStringList seen;
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = ::read(watch, buffer, sizeof buffer);
            for (const char* at = buffer; at < buffer + n;
                 at += sizeof(inotify_event) + ((inotify_event*)at)->len) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len && QLatin1String(event->name) == ProgramFiles::SettingsName)
                    seen << QLatin1String(event->mask & IN_OPEN ? "open" : "replace");
            }
            return seen;
        };
        const SpendingReading reading = readingAt(QDateTime(QDate(2025, 3, 5), QTime(12, 0)));
        QCOMPARE(events(), QStringList{"open"});
        FakeNotifier notifier;
        BudgetAlerts().check(reading, settings(), notifier);
        QCOMPARE(events(), (QStringList{"open", "replace"}));
        ::close(watch);
    }
};

QTEST_GUILESS_MAIN(TestBudget)
#include "test_budget.moc"
