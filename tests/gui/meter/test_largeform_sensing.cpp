#include "LargeFormFixture.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/CallNumbers.h"
#include "gui/meter/TSpendForm.h"

#include <QApplication>
#include <QPushButton>

using LineEvents = QList<QPair<quint32, quint32>>; // (call handle, state)

namespace {
constexpr quint32 Dialing = LineMonitor::Dialing, Connected = LineMonitor::Connected,
                  Disconnected = LineMonitor::Disconnected, Idle = LineMonitor::Idle;
}

class TestLargeFormSensing : public QObject, LargeFormFixture {
    Q_OBJECT

    QStringList warningsShown;

    // Answers every spend warning that opens with OK, noting its text.
    void answerSpendWarnings() {
        QTimer::singleShot(0, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* form = qobject_cast<TSpendForm*>(w); form && form->isVisible()) {
                    warningsShown << form->message();
                    form->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
                    return;
                }
            }
            answerSpendWarnings();
        });
    }

private slots:
    void init() {
        reset();
        warningsShown.clear();
    }

    // ---- the telephony line -------------------------------------------

    void lineStates_data() {
        QTest::addColumn<LineEvents>("events");
        QTest::addColumn<bool>("timingAfter");
        QTest::addColumn<int>("callsLogged");
        using E = LineEvents;
        QTest::newRow("dialled call connects") << E{{7, Dialing}, {7, Connected}} << true << 0;
        QTest::newRow("dialled call connects and ends")
            << E{{7, Dialing}, {7, Connected}, {7, Disconnected}, {7, Idle}} << false << 1;
        QTest::newRow("incoming call is ignored") << E{{7, Connected}} << false << 0;
        QTest::newRow("dialled call never connects")
            << E{{7, Dialing}, {7, Disconnected}, {7, Connected}} << false << 0;
        QTest::newRow("connected with handle 0") << E{{0, Dialing}, {0, Connected}} << false << 0;
        QTest::newRow("idle with handle 0 changes nothing")
            << E{{7, Dialing}, {0, Idle}, {7, Connected}} << true << 0;
        QTest::newRow("disconnected then idle stops once")
            << E{{7, Dialing}, {7, Connected}, {7, Disconnected}, {7, Idle}, {8, Dialing}, {8, Idle}} << false
            << 1;
        QTest::newRow("connected again while timing does nothing")
            << E{{7, Dialing}, {7, Connected}, {7, Connected}, {7, Idle}} << false << 1;
    }
    void lineStates() {
        QFETCH(LineEvents, events);
        QFETCH(bool, timingAfter);
        QFETCH(int, callsLogged);
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = makeWindow();
        QVERIFY(line.isOpen());
        for (const auto& [handle, state] : events) {
            clock.advance(1000);
            line.report(handle, state);
        }
        QCOMPARE(w->meter().isTiming(), timingAfter);
        if (timingAfter)
            QVERIFY(!w->meter().startedByHand());
        QCOMPARE(QFileInfo(path(QStringLiteral("Calls.log"))).size(), qint64(48 * callsLogged));
    }

    // A sensed call's number sets the distance from the plan at its start and
    // is logged with it; the user can still change the distance. No plan, no
    // number, a number that is none, or a call timed by hand change nothing.
    void numberDialledChoosesTheDistance_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("byHand");
        QTest::addColumn<QString>("changeTo"); // a radio clicked during the call
        QTest::addColumn<QString>("chosen");   // the radio checked at the end
        QTest::addColumn<QString>("logged");   // the number kept for the call
        const QString uk = QStringLiteral("00 International, 07 National, 0 National");
        QTest::newRow("abroad") << uk << "+33 1 23 45 67 89" << false << ""
                                << "IntRadio"
                                << "+33123456789";
        QTest::newRow("own area") << uk << "020 7946 0000" << false << ""
                                  << "LocRadio"
                                  << "02079460000";
        QTest::newRow("changed during the call") << uk << "+33123456789" << false << "NatRadio"
                                                 << "NatRadio"
                                                 << "+33123456789";
        QTest::newRow("no plan") << ""
                                 << "+33123456789" << false << ""
                                 << "RegRadio"
                                 << "+33123456789";
        QTest::newRow("no number told") << uk << "" << false << ""
                                        << "RegRadio"
                                        << "";
        QTest::newRow("not a number") << uk << "0800 FLOWERS" << false << ""
                                      << "RegRadio"
                                      << "";
        QTest::newRow("timed by hand") << uk << "+33123456789" << true << ""
                                       << "RegRadio"
                                       << "";
    }
    void numberDialledChoosesTheDistance() {
        QFETCH(QString, rules);
        QFETCH(QString, told);
        QFETCH(bool, byHand);
        QFETCH(QString, changeTo);
        QFETCH(QString, chosen);
        QFETCH(QString, logged);
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        set("Number Plan", "CountryCode", QStringLiteral("44"));
        set("Number Plan", "AreaCode", QStringLiteral("020"));
        set("Number Plan", "Rules", rules);
        auto w = makeWindow();
        child<QAbstractButton>(*w, "RegRadio")->click();
        line.numbers.insert(7, told);
        if (byHand)
            child<QPushButton>(*w, "StartStopButton")->click();
        line.report(7, Dialing);
        line.report(7, Connected);
        if (!changeTo.isEmpty())
            child<QAbstractButton>(*w, changeTo.toLatin1().constData())->click();
        clock.advance(60000);
        if (byHand)
            child<QPushButton>(*w, "StartStopButton")->click();
        else
            line.report(7, Idle);
        QVERIFY(child<QAbstractButton>(*w, chosen.toLatin1().constData())->isChecked());
        const std::vector<CallRecord> calls = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(calls.size(), size_t(1));
        const QStringList radios = {"LocRadio", "RegRadio", "NatRadio", "IntRadio"};
        QCOMPARE(radios.value((calls[0].rateCode - 1) / 3), chosen);
        const CallNumbers numbers =
            *CallNumbers::read(CallNumberLog(path(QStringLiteral("CallNumbers.log"))));
        const int index = numbers.indexOf(calls[0].date);
        QCOMPARE(index < 0 ? QString() : numbers.numbers()[index], logged);
    }

    void idleReleasesTheHandleAndClearsDialing() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = makeWindow();
        line.report(5, Dialing);
        QVERIFY(w->meter().dialingSeen());
        line.report(0, Idle);
        QVERIFY(w->meter().dialingSeen());
        QVERIFY(line.deallocated.isEmpty());
        line.report(5, Idle);
        QVERIFY(!w->meter().dialingSeen());
        QCOMPARE(line.deallocated, QList<quint32>{5});
    }

    void handStartedCallIsNeverStoppedByTheLine() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = makeWindow();
        child<QPushButton>(*w, "StartStopButton")->click();
        line.report(3, Dialing);
        line.report(3, Connected);
        line.report(3, Disconnected);
        line.report(3, Idle);
        QVERIFY(w->meter().isTiming());
        QVERIFY(!w->meter().dialingSeen());
    }

    void lineIsWatchedOnlyInItsMode() {
        auto w = makeWindow();
        QCOMPARE(line.opens, 0);
        w.reset();
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        line.available = false; // no modem: silent, the meter still works by hand
        w = makeWindow();
        QCOMPARE(line.opens, 1);
        QVERIFY(prompter.all().isEmpty());
        child<QPushButton>(*w, "StartStopButton")->click();
        QVERIFY(w->meter().isTiming());
    }

    // ---- the serial port's carrier ---------------------------------------

    void carrierStartsAndStopsSensedCalls_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("read");
        const QString usb = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        QTest::newRow("port number") << "3" << QString() << "/dev/ttyS2";
        QTest::newRow("device beside its number") << "3"
                                                  << "/dev/ttyS2"
                                                  << "/dev/ttyS2";
        QTest::newRow("by-id device") << "2" << usb << usb;
    }
    void carrierStartsAndStopsSensedCalls() {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QFETCH(QString, read);
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("1"));
        set("Default Setup Information", "Port To Sense", port);
        if (!device.isEmpty())
            set("Default Setup Information", "Device To Sense", device);
        auto w = makeWindow();
        w->meter().OffTimerTimer();
        QVERIFY(!w->meter().isTiming());
        QCOMPARE(carrier.devicesRead, QStringList{read});

        carrier.setCarrier(true);
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
        QVERIFY(!w->meter().startedByHand());
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
        QVERIFY(child<QTimer>(*w, "MainTimer")->isActive());

        clock.advance(60000);
        carrier.setCarrier(false);
        w->meter().OffTimerTimer();
        QVERIFY(!w->meter().isTiming());
        QCOMPARE(QFileInfo(path(QStringLiteral("Calls.log"))).size(), qint64(48));
    }

    void stoppingASensedCallByHandHoldsUntilTheCarrierDrops() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("1"));
        auto w = makeWindow();
        carrier.setCarrier(true);
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
        child<QPushButton>(*w, "StartStopButton")->click();
        QVERIFY(w->meter().stoppedByHand());
        w->meter().OffTimerTimer(); // carrier still there: held
        QVERIFY(!w->meter().isTiming());
        carrier.setCarrier(false);
        w->meter().OffTimerTimer(); // the latch clears, nothing starts
        QVERIFY(!w->meter().stoppedByHand());
        QVERIFY(!w->meter().isTiming());
        carrier.setCarrier(true);
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
    }

    void handCallsIgnoreTheCarrier() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("1"));
        auto w = makeWindow();
        carrier.setCarrier(true);
        w->meter().StartTiming(true);
        carrier.setCarrier(false);
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
        // Started and stopped by hand with the carrier present: the next poll starts a sensed call.
        carrier.setCarrier(true);
        w->meter().StopTiming(true);
        QVERIFY(!w->meter().stoppedByHand());
        w->meter().OffTimerTimer();
        QVERIFY(w->meter().isTiming());
        QVERIFY(!w->meter().startedByHand());
    }

    void portIsReadOnlyInItsModeAndFailuresAreToldOnce() {
        auto w = makeWindow();
        carrier.setCarrier(true);
        w->meter().OffTimerTimer();
        QVERIFY(carrier.devicesRead.isEmpty());
        QVERIFY(!w->meter().isTiming());

        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("1"));
        w = makeWindow();
        carrier.status = 0;
        carrier.pendingError = QStringLiteral("/dev/ttyS1: Permission denied");
        w->meter().OffTimerTimer();
        w->meter().OffTimerTimer();
        settle();
        QCOMPARE(prompter.warnings.size(), 1);
        QVERIFY(prompter.warnings[0].contains(QStringLiteral("/dev/ttyS1: Permission denied")));
        // "Port To Sense" missing: the second port.
        QCOMPARE(carrier.devicesRead, (QStringList{"/dev/ttyS1", "/dev/ttyS1"}));
    }

    // Sensing that cannot work says so in the status, its hint and the icon's
    // tip, instead of scanning for ever; and stops saying so once it works.
    void sensingThatCannotWorkSaysSo_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("failure"); // the line's or the port's
        QTest::addColumn<QString>("told");
        QTest::newRow("no system bus") << 2 << "2"
                                       << "there is no system bus"
                                       << "Calls are not sensed: there is no system bus";
        QTest::newRow("ModemManager not running") << 2 << "2"
                                                  << "ModemManager is not running"
                                                  << "Calls are not sensed: ModemManager is not running";
        QTest::newRow("port cannot be read") << 1 << "2"
                                             << "/dev/ttyS1: Permission denied"
                                             << "Calls are not sensed: /dev/ttyS1: Permission denied";
        QTest::newRow("no port chosen") << 1 << "9"
                                        << ""
                                        << "Calls are not sensed: no serial port is chosen";
        QTest::newRow("network links cannot be watched")
            << 3 << "2"
            << "network links cannot be watched"
            << "Calls are not sensed: network links cannot be watched";
    }
    void sensingThatCannotWorkSaysSo() {
        QFETCH(int, mode);
        QFETCH(QString, port);
        QFETCH(QString, failure);
        QFETCH(QString, told);
        set("Default Setup Information", "Auto Call Sensing", QString::number(mode));
        set("Default Setup Information", "Port To Sense", port);
        set("Default Setup Information", "WindowToLoad", QStringLiteral("2"));
        line.failureText = carrier.failureText = links.failureText = failure;
        auto w = makeWindow();
        auto* status = child<QLabel>(*w, "TimingLabel");
        for (int tick = 0; tick < 2; ++tick) {
            w->meter().OffTimerTimer();
            QCOMPARE(status->text(), QStringLiteral("Not sensing"));
        }
        QCOMPARE(status->toolTip(), told);
        QCOMPARE(tray.TrayIconTip(), told);
        w->meter().StartTiming(true);
        QCOMPARE(status->text(), QStringLiteral("Timing"));
        w->meter().StopTiming(true);
        QCOMPARE(status->text(), QStringLiteral("Not sensing"));
        QCOMPARE(tray.TrayIconTip(), told);

        line.failureText = carrier.failureText = links.failureText = QString();
        set("Default Setup Information", "Port To Sense", QStringLiteral("2"));
        w->ReadIniSettings();
        w->meter().OffTimerTimer();
        QCOMPARE(status->text(), QStringLiteral("Scanning."));
        QCOMPARE(status->toolTip(), QString());
        QCOMPARE(tray.TrayIconTip(), QStringLiteral("Scanning for calls"));
    }

    // The status says whether calls are watched for, with dots while they
    // are; switched in Setup, it follows at once.
    void statusSaysWhetherCallsAreWatched_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("ticks"); // the status after each tick
        const QStringList dots = {"Scanning.", "Scanning..", "Scanning...", "Scanning", "Scanning."};
        QTest::newRow("off") << 0 << "" << QStringList{"Sensing off", "Sensing off"};
        QTest::newRow("modem") << 2 << "" << dots;
        QTest::newRow("carrier") << 1 << "" << dots;
        QTest::newRow("modem not reached") << 2 << "no bus" << QStringList{"Not sensing", "Not sensing"};
    }
    void statusSaysWhetherCallsAreWatched() {
        QFETCH(int, mode);
        QFETCH(QString, failure);
        QFETCH(QStringList, ticks);
        set("Default Setup Information", "Auto Call Sensing", QString::number(mode));
        line.failureText = failure;
        auto w = makeWindow();
        for (const QString& expected : ticks) {
            w->meter().OffTimerTimer();
            QCOMPARE(text(*w, "TimingLabel"), expected);
        }
        w->meter().StartTiming(true);
        w->meter().OffTimerTimer();
        QCOMPARE(text(*w, "TimingLabel"), QStringLiteral("Timing."));
        w->meter().StopTiming(true);
        QCOMPARE(text(*w, "TimingLabel"), ticks.last().chopped(ticks.last().count('.')));

        set("Default Setup Information", "Auto Call Sensing", mode ? "0" : "2");
        w->ReadIniSettings();
        w->meter().applySensingModeChange(mode);
        QCOMPARE(text(*w, "TimingLabel"), mode ? QStringLiteral("Sensing off") : QStringLiteral("Scanning"));
    }

    // ---- spend warning and sounds -----------------------------------------

    void spendWarningOncePerCall_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("warnings");
        QTest::newRow("limit reached") << "0.50" << true << 1;
        QTest::newRow("zero limit warns at once") << "0.00" << true << 1;
        QTest::newRow("limit not reached") << "5.00" << true << 0;
        QTest::newRow("warning switched off") << "0.00" << false << 0;
    }
    void spendWarningOncePerCall() {
        QFETCH(QString, limit);
        QFETCH(bool, on);
        QFETCH(int, warnings);
        set("Default Setup Information", "SpendWarning", limit);
        set("Default Setup Information", "SpendWarningOn", on ? QStringLiteral("1") : QStringLiteral("0"));
        auto w = makeWindow();
        w->meter().StartTiming(true);
        answerSpendWarnings();
        for (int minute = 0; minute <= 20; ++minute) { // 6p a minute, 7.05p with tax
            w->meter().MainTimerTimer();
            settle();
            clock.advance(60000);
        }
        QCOMPARE(warningsShown.size(), warnings);
        QCOMPARE(w->meter().spendWarned(), warnings > 0);
        if (warnings)
            QCOMPARE(warningsShown[0],
                     QStringLiteral("Spend Limit of \u00a3%1 has been reached.").arg(limit));
        // The next call warns again.
        w->meter().StopTiming(true);
        w->meter().StartTiming(true);
        QVERIFY(!w->meter().spendWarned());
    }

    void eventSounds_data() {
        QTest::addColumn<QString>("playSounds");
        QTest::addColumn<QString>("startOn");
        QTest::addColumn<QStringList>("played");
        QTest::newRow("all on") << "1"
                                << "1" << QStringList{"Run", "Start", "Spend", "Stop"};
        QTest::newRow("start switched off") << "1"
                                            << "0" << QStringList{"Run", "Spend", "Stop"};
        QTest::newRow("master switch off") << "0"
                                           << "1" << QStringList{};
    }
    void eventSounds() {
        QFETCH(QString, playSounds);
        QFETCH(QString, startOn);
        QFETCH(QStringList, played);
        set("Sound Event Information", "PlaySounds", playSounds);
        set("Sound Event Information", "StartOn", startOn);
        // A relative location counts from the program directory.
        set("Sound Event Information", "Spend", QStringLiteral("sounds/Spend.wav"));
        touch(path(QStringLiteral("sounds/Spend.wav")));
        set("Default Setup Information", "SpendWarning", QStringLiteral(" 0.00"));
        auto w = makeWindow();
        answerSpendWarnings();
        w->meter().StartTiming(true);
        w->meter().MainTimerTimer();
        w->meter().StopTiming(true);
        QStringList names;
        for (const QString& f : sound.played)
            names << QFileInfo(f)
                         .completeBaseName()
                         .remove(QStringLiteral("Timer"))
                         .remove(QStringLiteral("Program"));
        QCOMPARE(names, played);
        if (played.contains(QStringLiteral("Spend")))
            QVERIFY(sound.played.contains(dir->path() + QStringLiteral("/sounds/Spend.wav")));
    }

    // A chosen sound that is gone gives way to the program's own for the event.
    void missingSoundFallsBackToTheProgramsOwn_data() {
        QTest::addColumn<bool>("ownThere");
        QTest::newRow("own sound there") << true;
        QTest::newRow("own sound gone too") << false;
    }
    void missingSoundFallsBackToTheProgramsOwn() {
        QFETCH(bool, ownThere);
        set("Sound Event Information", "Start", path(QStringLiteral("gone.wav")));
        if (!ownThere)
            QVERIFY(QFile::remove(own->filePath(QStringLiteral("StartTimer.wav"))));
        auto w = makeWindow();
        sound.played.clear();
        w->meter().StartTiming(true);
        QCOMPARE(sound.played,
                 ownThere ? QStringList{own->filePath(QStringLiteral("StartTimer.wav"))} : QStringList{});
    }

    void exitSoundIsWaitedFor() {
        auto w = makeWindow();
        w->close();
        QCOMPARE(sound.waited, QStringList{own->filePath(QStringLiteral("ExitProgram.wav"))});
        set("Sound Event Information", "ExitOn", QStringLiteral("0"));
        sound.waited.clear();
        w = makeWindow();
        w->close();
        QVERIFY(sound.waited.isEmpty());
    }
};

QTEST_MAIN(TestLargeFormSensing)
#include "test_largeform_sensing.moc"
