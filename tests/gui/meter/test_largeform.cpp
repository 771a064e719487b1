#include "LargeFormFixture.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/calllog/RecoveryFile.h"
#include "core/seams/DayCount.h"
#include "fakes/FileSizeLimit.h"
#include "gui/meter/TSpendForm.h"

#include "fakes/PipeWatchdog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include <sys/stat.h>

const QString NotFoundTest =
    QStringLiteral("Dialtally Rate File \"Test\" Not Found. specify a new file in setup.");

// Counts the paints a control receives.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

class TestLargeForm : public QObject, LargeFormFixture {
    Q_OBJECT

private slots:
    void init() { reset(); }

    void startsScanningWithTheActiveRate() {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), TLargeForm::Caption);
        QCOMPARE(child<QPushButton>(*w, "StartStopButton")->text(), QStringLiteral("&Start"));
        QCOMPARE(text(*w, "TimingLabel"), QStringLiteral("Scanning"));
        QCOMPARE(text(*w, "Rate"), QStringLiteral("Test"));
        QCOMPARE(text(*w, "TimeOfDay"), QStringLiteral("Daytime"));
        QCOMPARE(text(*w, "Distance"), QStringLiteral("Local"));
        QCOMPARE(text(*w, "TodayValue"), QStringLiteral("No calls made today"));
        QCOMPARE(text(*w, "ThisWeekValue"), QStringLiteral("No calls made this Week"));
        QCOMPARE(child<QWidget>(*w, "AnimationPanel")->size(), QSize(146, 77));
        QVERIFY(prompter.all().isEmpty());
        QCOMPARE(sound.played, QStringList{own->filePath(QStringLiteral("RunProgram.wav"))});
    }

    // Start, tick after ten minutes, stop: the meter's figures, the record
    // in the log and the totals after the sweep.
    void handTimedCallIsPricedLoggedAndTotalled() {
        auto w = makeWindow();
        auto* button = child<QPushButton>(*w, "StartStopButton");
        button->click();
        QCOMPARE(button->text(), QStringLiteral("&Stop"));
        QCOMPARE(text(*w, "TimingLabel"), QStringLiteral("Timing"));
        QVERIFY(child<QTimer>(*w, "MainTimer")->isActive());
        QVERIFY(child<QTimer>(*w, "AnimationTimer")->isActive());
        QCOMPARE(w->meter().workingValues().CurrentRate, 6.0 * 14.4);
        QCOMPARE(w->meter().workingValues().TaxFactor, 1.175);
        const double start = w->meter().callStartTime();

        clock.advance(10 * 60 * 1000);
        w->meter().MainTimerTimer();
        QCOMPARE(text(*w, "Duration"), QStringLiteral("00:10:00"));
        QCOMPARE(text(*w, "NetCost"), QStringLiteral("60.0p"));
        QCOMPARE(text(*w, "GrossCost"), QStringLiteral("70.5p"));

        clock.advance(100);
        button->click();
        QCOMPARE(button->text(), QStringLiteral("&Start"));
        QCOMPARE(text(*w, "TimingLabel"), QStringLiteral("Scanning"));
        QCOMPARE(text(*w, "MinChargeLight"), QStringLiteral("Previous Call"));
        QVERIFY(!child<QLabel>(*w, "MinChargeLight")->isHidden());
        QVERIFY(!child<QTimer>(*w, "MainTimer")->isActive());

        QFile log(path(QStringLiteral("Calls.log")));
        QCOMPARE(log.size(), 48);
        const std::vector<CallRecord> records = CallLog(log.fileName()).readAll();
        QCOMPARE(records.size(), size_t(1));
        const CallRecord& r = records[0];
        QCOMPARE(r.date, start);
        QCOMPARE(r.startTime, start);
        QCOMPARE(r.endTime, w->meter().callEndTime());
        QCOMPARE(r.duration, DayCount::fromMs(600100));
        QCOMPARE(int(r.dayOfWeek), 4); // Wednesday
        QCOMPARE(int(r.rateCode), 1);
        QCOMPARE(int(r.rateNameKey), 1);
        QCOMPARE(r.netCost, float(0.6001)); // 6p a minute for 600.1 s
        QCOMPARE(r.grossCost, float(double(r.netCost) * 1.175));
        QCOMPARE(RateNameStore(path(QStringLiteral("CallRate.log"))).RateNameForKey(1),
                 QStringLiteral("Test"));

        // The totals change when the sweep ends, not at the stop.
        QCOMPARE(text(*w, "TodayValue"), QStringLiteral("No calls made today"));
        finishSweep(*w);
        QCOMPARE(text(*w, "TodayValue"), QStringLiteral("1 call today totalling \u00a30.71"));
        QCOMPARE(text(*w, "ThisWeekValue"), QStringLiteral("1 call this week totalling \u00a30.71"));
        QVERIFY(prompter.all().isEmpty());
    }

    // A rate file the meter cannot use is told once at the start and once for
    // each call, whatever else asks for the rate meanwhile; the call is still
    // timed at what was last loaded.
    void unusableRateFileIsToldOncePerStartAndCall_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "remove" << NotFoundTest;
        QTest::newRow("short") << "short" << NotFoundTest;
        QTest::newRow("a folder") << "folder"
                                  << "<D>/Test.dtr: It is a directory, not a regular file";
        QTest::newRow("no active name") << "no key"
                                        << "Dialtally Rate File \"Active Rate File Incorrectly Set\" Not "
                                           "Found. specify a new file in setup.";
        QTest::newRow("not a number")
            << "bad slot"
            << "'x' is not a valid floating point value (Dialtally Rate File \"Test\")";
    }
    void unusableRateFileIsToldOncePerStartAndCall() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        message.replace(QStringLiteral("<D>"), dir->path());
        const QString rateFile = path(QStringLiteral("Test.dtr"));
        if (damage == "remove" || damage == "short" || damage == "folder") {
            QVERIFY(QFile::resize(rateFile, damage == "short" ? 95 : 0));
            if (damage != "short")
                QVERIFY(QFile::remove(rateFile));
            if (damage == "folder")
                QVERIFY(QDir().mkdir(rateFile));
        } else if (damage == "no key") {
            QVERIFY(QFile::remove(path(QStringLiteral("Dialtaly.ini"))));
            set("Default Setup Information", "Times Used", QStringLiteral("1"));
        } else {
            RateTable bad = sampleRates();
            for (int slot = 1; slot <= 12; ++slot)
                bad.slot(slot) = QStringLiteral("x");
            QVERIFY(writeRateFile(rateFile, bad));
        }
        auto w = makeWindow();
        settle();
        QCOMPARE(prompter.errors, QStringList{message});
        child<QRadioButton>(*w, "RegRadio")->click();
        child<QRadioButton>(*w, "LocRadio")->click();
        settle();
        QCOMPARE(prompter.errors.size(), 1);
        for (int call = 2; call <= 3; ++call) {
            child<QPushButton>(*w, "StartStopButton")->click();
            settle();
            QCOMPARE(prompter.errors, QStringList(call, message));
            child<QRadioButton>(*w, "RegRadio")->click(); // during the call
            clock.advance(60000);
            w->meter().MainTimerTimer();
            QCOMPARE(text(*w, "Duration"), QStringLiteral("00:01:00"));
            child<QPushButton>(*w, "StartStopButton")->click();
            child<QRadioButton>(*w, "LocRadio")->click();
            settle();
            QCOMPARE(prompter.errors.size(), call);
        }
    }

    // Mended, the file prices calls at once; gone again, it is told again.
    void rateFileMendedAndLostAgain() {
        QVERIFY(QFile::rename(path(QStringLiteral("Test.dtr")), path(QStringLiteral("Kept.dtr"))));
        auto w = makeWindow();
        settle();
        QCOMPARE(prompter.errors, QStringList{NotFoundTest});
        QVERIFY(QFile::rename(path(QStringLiteral("Kept.dtr")), path(QStringLiteral("Test.dtr"))));
        child<QRadioButton>(*w, "RegRadio")->click();
        settle();
        QCOMPARE(prompter.errors.size(), 1);
        QVERIFY(QFile::remove(path(QStringLiteral("Test.dtr"))));
        child<QRadioButton>(*w, "LocRadio")->click();
        settle();
        QCOMPARE(prompter.errors, (QStringList{NotFoundTest, NotFoundTest}));
    }

    // Changing the distance during a call reprices the whole call.
    void distanceChangeRepricesTheWholeCall() {
        auto w = makeWindow();
        child<QPushButton>(*w, "StartStopButton")->click();
        clock.advance(5 * 60000);
        child<QRadioButton>(*w, "RegRadio")->click();
        QCOMPARE(text(*w, "Distance"), QStringLiteral("Regional"));
        w->meter().MainTimerTimer();
        QCOMPARE(text(*w, "NetCost"), QStringLiteral("60.0p")); // 12p a minute for 5 minutes
    }

    void manualBandPresetFromTheStartTime() {
        clock.set(wednesday(19, 30));
        auto w = makeWindow();
        auto* automatic = child<QCheckBox>(*w, "AutoTimeSense");
        QVERIFY(automatic->isChecked());
        QVERIFY(child<QWidget>(*w, "TimeOfDayGroup")->isHidden());
        automatic->click();
        QVERIFY(!child<QWidget>(*w, "TimeOfDayGroup")->isHidden());
        QVERIFY(child<QRadioButton>(*w, "EveRadio")->isChecked());
        QCOMPARE(text(*w, "TimeOfDay"), QStringLiteral("Evening"));
        child<QRadioButton>(*w, "DayRadio")->click();
        QCOMPARE(text(*w, "TimeOfDay"), QStringLiteral("Daytime"));
        automatic->click();
        QVERIFY(child<QWidget>(*w, "TimeOfDayGroup")->isHidden());
    }

    void subUnitSymbolWithoutTheKey() {
        QVERIFY(QFile::remove(path(QStringLiteral("Dialtaly.ini"))));
        set("Telephone Rate Information", "ActiveRateFile", QStringLiteral("Test"));
        set("Default Setup Information", "Times Used", QStringLiteral("1"));
        auto w = makeWindow();
        w->meter().StartTiming(true);
        clock.advance(60000);
        w->meter().MainTimerTimer();
        QVERIFY(text(*w, "NetCost").endsWith(QLatin1Char('p')));
    }

    void stoppedByHandOnlyForSensedCalls_data() {
        QTest::addColumn<bool>("startedByHand");
        QTest::addColumn<bool>("latched");
        QTest::newRow("sensed call stopped by hand") << false << true;
        QTest::newRow("hand call stopped by hand") << true << false;
    }
    void stoppedByHandOnlyForSensedCalls() {
        QFETCH(bool, startedByHand);
        QFETCH(bool, latched);
        auto w = makeWindow();
        w->meter().StartTiming(startedByHand);
        QCOMPARE(w->meter().startedByHand(), startedByHand);
        w->meter().StopTiming(true);
        QCOMPARE(w->meter().stoppedByHand(), latched);
    }

    // A call that cannot be written is kept, and goes out with the next one
    // with its own rate name: the first call on a full disk too, made before
    // the rate-name store could be written.
    void unwritableLogKeepsTheCall_data() {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("told");
        QTest::newRow("log is a directory") << false << "Calls.log: Is a directory";
        QTest::newRow("full disk, no rate-name store yet") << true << "CallRate.log: File too large";
    }
    void unwritableLogKeepsTheCall() {
        QFETCH(bool, fullDisk);
        QFETCH(QString, told);
        if (!fullDisk)
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("Calls.log")));
        auto w = makeWindow();
        settle();
        prompter.clear(); // the totals could not read it either
        w->meter().StartTiming(true);
        clock.advance(1000);
        {
            std::optional<FileSizeLimit> limit;
            if (fullDisk)
                limit.emplace(10);
            w->meter().StopTiming(true);
        }
        settle();
        QCOMPARE(prompter.errors.size(), 1);
        QVERIFY(prompter.errors[0].startsWith(path(told) + QStringLiteral("\n\n")));
        QCOMPARE(w->meter().unloggedCalls(), 1);
        if (!fullDisk)
            QVERIFY(QDir(dir->path()).rmdir(QStringLiteral("Calls.log")));
        w->meter().StartTiming(true);
        clock.advance(2000);
        w->meter().StopTiming(true);
        QCOMPARE(w->meter().unloggedCalls(), 0);
        const auto records = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(records.size(), size_t(2));
        QVERIFY(records[0].endTime <= records[1].startTime);
        QCOMPARE(DayCount::toMs(records[1].duration), qint64(2000));
        const RateNameStore names(path(QStringLiteral("CallRate.log")));
        for (const CallRecord& record : records)
            QCOMPARE(names.RateNameForKey(record.rateNameKey), QStringLiteral("Test"));
    }

    // The window starts on a log that is a named pipe, and says once why it
    // has no totals: a refresh does not say it again.
    void logThatIsAPipeIsSaidOnce() {
        const QString log = path(QStringLiteral("Calls.log"));
        QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0600), 0);
        PipeWatchdog watchdog(log);
        auto w = makeWindow();
        w->meter().FindCallSelection();
        settle();
        QVERIFY2(!watchdog.release(), "the start waited on the log");
        QCOMPARE(prompter.errors,
                 QStringList{log + QStringLiteral(": It is a named pipe, not a regular file")});
        QCOMPARE(text(*w, "TodayValue"), QStringLiteral("No calls made today"));
    }

    void badDaytimeStopsTheReading() {
        QVERIFY(settings().WriteSettingString(QStringLiteral("Telephone Rate Information"),
                                              QStringLiteral("DayTimeEnd"), QStringLiteral("25:00")));
        auto w = makeWindow();
        settle();
        QCOMPARE(prompter.errors, QStringList{QStringLiteral("'25:00' is not a valid time")});
        QCOMPARE(text(*w, "Rate"), QStringLiteral("Test"));
        // Keys after the bad one keep what the window held: no sounds switched on yet.
        QVERIFY(sound.played.isEmpty());
    }

    void closingLogsARunningCall() {
        auto w = makeWindow();
        w->meter().StartTiming(true);
        clock.advance(3000);
        w->close();
        QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(1));
    }

    // A call kept after a failed write goes out at close with the running one;
    // else it is kept in the recovery file for the next start, and when that
    // cannot be written either, the close says the calls are lost. Every
    // message names the file and the reason.
    void closingWritesKeptCalls_data() {
        QTest::addColumn<bool>("writableAtClose");
        QTest::addColumn<bool>("stateWritable");
        QTest::addColumn<QString>("told");
        QTest::newRow("log writable again") << true << true << QString();
        QTest::newRow("kept for the next start")
            << false << true
            << "2 call(s) could not be logged. They are kept in %1 and will be "
               "added to the log when the program next starts.";
        QTest::newRow("nowhere to keep them") << false << false
                                              << "2 call(s) could not be logged, and 2 of them are lost: %1: "
                                                 "Not a directory";
    }
    void closingWritesKeptCalls() {
        QFETCH(bool, writableAtClose);
        QFETCH(bool, stateWritable);
        QFETCH(QString, told);
        if (!stateWritable) {
            touch(services.stateDirectory);
            services.stateDirectory += QStringLiteral("/dialtally-pro");
        }
        const RecoveryFile recovery(dir->path(), services.stateDirectory);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("Calls.log")));
        auto w = makeWindow();
        w->meter().StartTiming(true);
        w->meter().StopTiming(true);
        settle();
        prompter.clear();
        w->meter().StartTiming(true);
        if (writableAtClose)
            QVERIFY(QDir(dir->path()).rmdir(QStringLiteral("Calls.log")));
        w->close(); // no event loop runs after this
        if (writableAtClose) {
            QVERIFY(prompter.errors.isEmpty());
            QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(2));
            QVERIFY(!recovery.exists());
            return;
        }
        QCOMPARE(prompter.errors.size(), 1);
        QCOMPARE(prompter.errors[0], path(QStringLiteral("Calls.log")) +
                                         QStringLiteral(": Is a directory\n\n") + told.arg(recovery.path()));
        QCOMPARE(recovery.exists(), stateWritable);
        if (stateWritable)
            QCOMPARE(recovery.load()->calls.size(), size_t(2));
    }

    // A box raised by a state change shows once the change is complete: a
    // tick and the line's stop that arrive while it is open find a whole
    // start, and the stop leaves nothing running.
    void eventsWhileABoxIsOpenFindAWholeState() {
        QFile::remove(path(QStringLiteral("Test.dtr"))); // every start reports the missing file
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = makeWindow();
        settle();
        prompter.clear();
        bool delivered = false;
        bool startWasWhole = false;
        prompter.whileOpen = [&] {
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] {
                startWasWhole = w->meter().timingActive();
                clock.advance(5000);
                w->meter().MainTimerTimer();
                line.report(7, LineMonitor::Disconnected);
                delivered = true;
                box.quit();
            });
            box.exec();
        };
        line.report(7, LineMonitor::Dialing);
        line.report(7, LineMonitor::Connected);
        QVERIFY(prompter.errors.isEmpty()); // nothing shown inside the start
        settle();
        QVERIFY(delivered);
        QVERIFY(startWasWhole);
        QCOMPARE(prompter.errors, QStringList{NotFoundTest});
        QVERIFY(!w->meter().isTiming());
        QVERIFY(!w->meter().timingActive());
        QCOMPARE(button(*w), QStringLiteral("&Start"));
        QVERIFY(!child<QTimer>(*w, "MainTimer")->isActive());
        finishSweep(*w);
        QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(1));
    }

    // The call stopped while the spend warning is open keeps the figures of
    // its last tick and "Previous Call" once the warning is closed.
    void callStoppedUnderTheSpendWarningStaysStopped() {
        set("Default Setup Information", "SpendWarning", QStringLiteral("0.00"));
        auto w = makeWindow();
        bool answered = false;
        std::function<void()> answer = [&] {
            auto* warning = qobject_cast<TSpendForm*>(QApplication::activeModalWidget());
            if (!warning)
                return QTimer::singleShot(0, this, answer);
            clock.advance(60000);
            child<QPushButton>(*w, "StartStopButton")->click();
            warning->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
            answered = true;
        };
        QTimer::singleShot(0, this, answer);
        w->meter().StartTiming(true);
        clock.advance(1000);
        w->meter().MainTimerTimer();
        settle();
        QVERIFY(answered);
        QCOMPARE(text(*w, "Duration"), QStringLiteral("00:00:01"));
        QCOMPARE(text(*w, "MinChargeLight"), QStringLiteral("Previous Call"));
        QVERIFY(!child<QLabel>(*w, "MinChargeLight")->isHidden());
    }

    // The clock shows the animation's picture; the figures are handed on
    // only when one of them changes.
    void theClockTurnsAndOnlyChangedFiguresAreShown() {
        auto w = makeWindow();
        auto* clockSpin = child<QLabel>(*w, "ClockSpin");
        const QImage first = clockSpin->grab().toImage();
        QSignalSpy figures(&w->meter(), &CallMeter::figuresChanged);
        w->meter().StartTiming(true);
        w->meter().AnimationTimerTimer();
        QVERIFY(clockSpin->grab().toImage() != first);
        for (int frame = 2; frame <= ClockAnimation::FrameCount; ++frame)
            w->meter().AnimationTimerTimer();
        QCOMPARE(w->meter().animation().visibleFrame(), 1);
        QCOMPARE(clockSpin->grab().toImage(), first);

        clock.advance(100);
        w->meter().MainTimerTimer();
        clock.advance(100);
        w->meter().MainTimerTimer(); // the same second, the same tenth of a penny
        QCOMPARE(figures.size(), 1);
        clock.advance(1000);
        w->meter().MainTimerTimer();
        QCOMPARE(figures.size(), 2);
        QCOMPARE(text(*w, "Duration"), QStringLiteral("00:00:01"));
        QCOMPARE(text(*w, "NetCost"), QStringLiteral("0.1p"));
    }

    // Out of sight (minimised, or behind the notification icon) the clock
    // neither turns nor is drawn during a call; back on show it is drawn and
    // turns again. A call stopped out of sight still ends with the clock's
    // sweep and the totals.
    void theClockTurnsOnlyWhereItIsSeen_data() {
        QTest::addColumn<QString>("view");
        QTest::addColumn<bool>("stopOutOfSight");
        for (const char* view : {"MinimiseButton", "TaskBarButton"}) {
            QTest::addRow("%s, back", view) << view << false;
            QTest::addRow("%s, stopped out of sight", view) << view << true;
        }
    }
    void theClockTurnsOnlyWhereItIsSeen() {
        QFETCH(QString, view);
        QFETCH(bool, stopOutOfSight);
        auto w = makeWindow();
        auto* clockSpin = child<QLabel>(*w, "ClockSpin");
        auto* animation = child<QTimer>(*w, "AnimationTimer");
        PaintCount paints(clockSpin);
        w->meter().StartTiming(true);
        child<QPushButton>(*w, qPrintable(view))->click();
        settle();
        QVERIFY(!animation->isActive());
        QVERIFY(child<QTimer>(*w, "MainTimer")->isActive());
        paints.count = 0;
        for (int frame = 0; frame < 5; ++frame)
            w->meter().AnimationTimerTimer();
        settle();
        QCOMPARE(paints.count, 0);

        if (stopOutOfSight) {
            clock.advance(60 * 1000);
            w->meter().StartOrStopByHand();
            QVERIFY(animation->isActive());
            finishSweep(*w);
            QCOMPARE(text(*w, "TodayValue"), QStringLiteral("1 call today totalling \u00a30.07"));
            QCOMPARE(paints.count, 0);
            return;
        }
        if (w->isMinimized())
            w->showNormal();
        else
            w->findChild<QAction*>(QStringLiteral("LoadMain"))->trigger();
        settle();
        QVERIFY(w->isVisible() && !w->isMinimized());
        QVERIFY(animation->isActive());
        QVERIFY(paints.count > 0);
        paints.count = 0;
        w->meter().AnimationTimerTimer();
        QCOMPARE(paints.count, 1);
    }

    void defaultViewChoicesAreStored() {
        auto w = makeWindow();
        child<QRadioButton>(*w, "TaskbarRadio")->click();
        QCOMPARE(settings().ReadSettingInteger(QStringLiteral("Default Setup Information"),
                                               QStringLiteral("WindowToLoad"), -1),
                 2);
        child<QCheckBox>(*w, "StayOnTopCheckbox")->click();
        QVERIFY(settings().ReadSettingBool(QStringLiteral("Default Setup Information"),
                                           QStringLiteral("Stay On Top"), false));
        // A later read that stops early keeps what the window has written.
        set("Telephone Rate Information", "DayTimeEnd", QStringLiteral("25:00"));
        w->ReadIniSettings();
        QVERIFY(child<QRadioButton>(*w, "TaskbarRadio")->isChecked());
        QVERIFY(child<QCheckBox>(*w, "StayOnTopCheckbox")->isChecked());
    }
};

QTEST_MAIN(TestLargeForm)
#include "test_largeform.moc"
