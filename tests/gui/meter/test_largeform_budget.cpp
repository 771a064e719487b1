#include "LargeFormFixture.h"
#include "core/calllog/CallLog.h"
#include "core/settings/BudgetSettings.h"
#include "gui/meter/TSpendForm.h"
#include "gui/shell/SmallBoxMenu.h"
#include "gui/shell/WindowModes.h"
#include "gui/spending/TSpendingForm.h"
#include "gui/viewer/TDataForm.h"

#include "fakes/FakeNotifier.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QAction>
#include <QPushButton>

// The clock of the fixture stands at Wednesday 9 December 2026, 10:00; the
// bill period is December. The line's projection takes the 28 days before
// today (11 November to 8 December) and the 22 days after it.
class TestLargeFormBudget : public QObject, LargeFormFixture {
    Q_OBJECT

    FakeNotifier notifier;

    void log(const std::vector<std::pair<QDate, float>>& calls) {
        std::vector<CallRecord> records;
        for (const auto& [day, cost] : calls)
            records.push_back(sampleCall(QDateTime(day, QTime(9, 0)), cost));
        QVERIFY(CallLog(path(QStringLiteral("Calls.log"))).append(records));
    }
    void setBudget(bool on, double amount, int billDay = 1) {
        BudgetSettings budget;
        budget.on = on;
        budget.amount = amount;
        budget.billDay = billDay;
        QVERIFY(budget.write(settings()));
    }
    QStringList titles() const {
        QStringList t;
        for (const Notice& n : notifier.sent)
            t << n.title;
        return t;
    }

private slots:
    void init() {
        reset();
        notifier = FakeNotifier();
        services.notifier = &notifier;
    }

    void budgetLineUnderTheTotals_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<double>("amount");
        QTest::addColumn<int>("billDay");
        QTest::addColumn<QString>("line");
        QTest::newRow("off") << false << 30.0 << 1 << QString();
        QTest::newRow("on without an amount") << true << 0.0 << 1 << QString();
        QTest::newRow("on") << true << 30.0 << 1
                            << QStringLiteral("£5.60 of £30.00 this month \u00b7 on pace for £16.60");
        // The period runs from 28 November: both calls are in it, 18 days left.
        QTest::newRow("bill day 28") << true << 30.0 << 28
                                     << QStringLiteral(
                                            "£14.00 of £30.00 this month \u00b7 on pace for £23.00");
    }
    void budgetLineUnderTheTotals() {
        QFETCH(bool, on);
        QFETCH(double, amount);
        QFETCH(int, billDay);
        QFETCH(QString, line);
        log({{QDate(2026, 12, 2), 5.60f}, {QDate(2026, 11, 30), 8.40f}, {QDate(2026, 11, 1), 50.0f}});
        setBudget(on, amount, billDay);
        auto w = makeWindow();
        auto* shown = child<QLabel>(*w, "BudgetLine");
        QCOMPARE(shown->isVisible(), !line.isEmpty());
        QCOMPARE(shown->text(), line);

        // The small box's and the notification icon's tips carry it too.
        w->views().ShrinkToBoxAndGrow();
        const QString boxTip = child<QWidget>(*w, "AnimationPanel")->toolTip();
        QCOMPARE(boxTip, line.isEmpty() ? QStringLiteral("Drag to move. Right click for menu.")
                                        : QStringLiteral("Drag to move. Right click for menu.\n") + line);
        w->views().ShrinkToBoxAndGrow();
        QVERIFY(w->views().TaskBarButtonClick());
        QCOMPARE(tray.calls.value(0), line.isEmpty()
                                          ? QStringLiteral("add mini|Scanning for calls...")
                                          : QStringLiteral("add mini|Scanning for calls...\n") + line);
    }

    // The line follows the log as the totals do: after a call, not at each tick.
    void lineFollowsACall() {
        setBudget(true, 30);
        auto w = makeWindow();
        QCOMPARE(text(*w, "BudgetLine"),
                 QStringLiteral("£0.00 of £30.00 this month \u00b7 on pace for £0.00"));
        w->meter().StartTiming(true);
        clock.advance(20 * 60000);
        w->meter().MainTimerTimer();
        QCOMPARE(text(*w, "BudgetLine"),
                 QStringLiteral("£0.00 of £30.00 this month \u00b7 on pace for £0.00"));
        w->meter().StopTiming(true);
        finishSweep(*w);
        // Twenty minutes at 6p plus 17.5% tax.
        QCOMPARE(text(*w, "BudgetLine"),
                 QStringLiteral("£1.41 of £30.00 this month \u00b7 on pace for £1.41"));
    }

    // Each threshold is told once per period, also across a restart.
    void noticesOncePerThresholdAcrossARestart() {
        setBudget(true, 10);
        log({{QDate(2026, 12, 1), 3.0f}});
        makeWindow();
        QVERIFY(notifier.sent.empty());

        log({{QDate(2026, 12, 2), 5.5f}}); // 8.50: 80 %, and on pace to go over
        makeWindow();
        QCOMPARE(titles(), QStringList{QStringLiteral(
                               "80% of this month's budget is spent, and on pace to go over it")});
        QCOMPARE(notifier.sent[0].text,
                 QStringLiteral("£8.50 of £10.00 this month \u00b7 on pace for £15.18"));
        makeWindow();
        QCOMPARE(notifier.sent.size(), size_t(1));

        auto w = makeWindow();
        log({{QDate(2026, 12, 9), 2.0f}});
        w->meter().FindCallSelection();
        w->meter().FindCallSelection();
        QCOMPARE(titles().size(), 2);
        QCOMPARE(titles().last(), QStringLiteral("This month's budget is spent"));
        w.reset();
        makeWindow();
        QCOMPARE(titles().size(), 2);
        QVERIFY(prompter.all().isEmpty());
    }

    // A settings file that cannot take the record of a notice sent is said
    // once; the notice is not sent again while the program runs.
    void unwritableSettingsAreSaidOnce() {
        setBudget(true, 10);
        log({{QDate(2026, 12, 1), 3.0f}});
        auto w = makeWindow();
        settle();
        log({{QDate(2026, 12, 2), 6.0f}});
        {
            const FileSizeLimit full(QFileInfo(path(QStringLiteral("Dialtaly.ini"))).size() + 8);
            w->meter().FindCallSelection();
            w->meter().FindCallSelection();
        }
        settle();
        QCOMPARE(notifier.sent.size(), size_t(1));
        QCOMPARE(prompter.errors.size(), 1);
        QVERIFY2(prompter.errors[0].contains(QStringLiteral("Dialtaly.ini")), qPrintable(prompter.errors[0]));
    }

    // The spend warning goes to the desktop as well when the window is not on show.
    void spendWarningNoticeWhenTheWindowIsAway_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("notice");
        QTest::newRow("normal") << int(CallMeter::NormalWindow) << false;
        QTest::newRow("small box") << int(CallMeter::SmallBox) << true;
        QTest::newRow("taskbar icon") << int(CallMeter::TaskbarIcon) << true;
        QTest::newRow("minimised") << int(CallMeter::Minimised) << true;
    }
    void spendWarningNoticeWhenTheWindowIsAway() {
        QFETCH(int, view);
        QFETCH(bool, notice);
        set("Default Setup Information", "SpendWarning", QStringLiteral("0.00"));
        auto w = makeWindow();
        if (view == CallMeter::SmallBox)
            w->views().ShrinkToBoxAndGrow();
        else if (view == CallMeter::TaskbarIcon)
            QVERIFY(w->views().TaskBarButtonClick());
        else if (view == CallMeter::Minimised)
            w->views().MinimiseButtonClick();
        QCOMPARE(w->meter().windowMode(), view);
        bool warned = false;
        whenModalOpens<TSpendForm>(this, [&](TSpendForm& warning) {
            // Sent before the warning waits for its answer.
            QCOMPARE(notifier.sent.size(), size_t(notice ? 1 : 0));
            warning.reject();
            warned = true;
        });
        w->meter().StartTiming(true);
        clock.advance(1000);
        w->meter().MainTimerTimer();
        settle();
        QVERIFY(warned);
        QCOMPARE(titles(), notice ? QStringList{QStringLiteral("Spend Limit")} : QStringList());
        w->meter().StopTiming(true);
    }

    // "Spending..." beside "Past Calls": the button, the small box's and the
    // icon's menu, the viewer's menu.
    void spendingFromEveryMenu_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("button") << QStringLiteral("button");
        QTest::newRow("menu") << QStringLiteral("menu");
        QTest::newRow("viewer") << QStringLiteral("viewer");
    }
    void spendingFromEveryMenu() {
        QFETCH(QString, from);
        auto w = makeWindow();
        bool opened = false;
        whenModalOpens<TSpendingForm>(this, [&](TSpendingForm& spending) {
            opened = true;
            spending.reject();
        });
        if (from == QLatin1String("button")) {
            child<QPushButton>(*w, "SpendingButton")->click();
        } else if (from == QLatin1String("menu")) {
            w->findChild<SmallBoxMenu*>()->findChild<QAction*>(QStringLiteral("SpendingMenuItem"))->trigger();
        } else {
            TDataForm viewer(services, w.get());
            viewer.findChild<QAction*>(QStringLiteral("SpendingMenuItem"))->trigger();
        }
        QVERIFY(opened);
    }
};

QTEST_MAIN(TestLargeFormBudget)
#include "test_largeform_budget.moc"
