// The program's first start with its wizard and port chooser, and its end
// however it comes: the close box and its question, the icon's Exit, the
// desktop's log-out, a signal, also while another box is open.
#include "gui/meter/LargeFormFixture.h"

#include "core/calllog/CallLog.h"
#include "gui/setup/TSetupForm.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTariffForm.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/TWelcomeForm.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

namespace {
const QString Defaults = QStringLiteral("Default Setup Information");
const QString ExitQuestion = QStringLiteral("Do you want to exit and stop timing calls?");
} // namespace

class TestStartAndEnd : public QObject, LargeFormFixture {
    Q_OBJECT

    int readInt(const char* key) const {
        return settings().ReadSettingInteger(Defaults, QLatin1String(key), -1);
    }
    size_t logged() const { return CallLog(path(QStringLiteral("Calls.log"))).readAll().size(); }
    // A window with a call under way.
    std::unique_ptr<TLargeForm> timing() {
        auto w = makeWindow();
        w->meter().StartTiming(true);
        clock.advance(90000);
        return w;
    }

private slots:
    void init() { reset(); }

    // The wizard cannot be left without a choice, and keeps the choice however
    // it is left; 16 bit sensing asks for its port before the main window
    // shows; the use count is stored; the splash is gone before the wizard.
    void firstUse_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("finishCaption");
        QTest::addColumn<int>("sensing");
        QTest::addColumn<int>("port");      // 0: no port chooser
        QTest::addColumn<QString>("leave"); // how both windows are left once a choice is taken
        QTest::newRow("32 bit") << "Auto32bitRadioButton"
                                << "Next >" << 2 << 0 << "OKbutton";
        QTest::newRow("32 bit, Escape") << "Auto32bitRadioButton"
                                        << "Next >" << 2 << 0 << "Escape";
        QTest::newRow("16 bit") << "Auto16bitRadioButton"
                                << "Next >" << 1 << 3 << "OKbutton";
        QTest::newRow("16 bit, closed") << "Auto16bitRadioButton"
                                        << "Next >" << 1 << 3 << "close";
        QTest::newRow("network link") << "AutoLinkRadioButton"
                                      << "Next >" << 3 << 0 << "OKbutton";
        QTest::newRow("disabled, closed") << "AutoDisabledRadioButton"
                                          << "Next >" << 0 << 0 << "close";
    }
    void firstUse() {
        QFETCH(QString, choice);
        QFETCH(QString, finishCaption);
        QFETCH(int, sensing);
        QFETCH(int, port);
        QFETCH(QString, leave);
        set("Default Setup Information", "Times Used", QStringLiteral("0"));
        const auto leaveIt = [&leave](QDialog& d) {
            if (leave == QLatin1String("Escape"))
                QTest::keyClick(&d, Qt::Key_Escape);
            else if (leave == QLatin1String("close"))
                d.close();
            else
                child<QPushButton>(d, "OKbutton")->click();
        };
        TTitleForm splash;
        splash.show();
        bool splashGone = false;
        bool portChosen = false;
        // Refused while nothing is chosen, with a beep; help on the way.
        const auto refuseThenHelp = [this](QDialog& d, int topic) {
            d.reject();
            QVERIFY(d.isVisible());
            QVERIFY(!child<QPushButton>(d, "OKbutton")->isEnabled());
            child<QPushButton>(d, "HelpButton")->click();
            QCOMPARE(help.topics.last(), topic);
        };
        whenModalOpens<TWelcomeForm>(this, [&](TWelcomeForm& wizard) {
            splashGone = !splash.isVisible();
            refuseThenHelp(wizard, 4);
            child<QRadioButton>(wizard, choice.toLatin1().constData())->click();
            auto* finish = child<QPushButton>(wizard, "OKbutton");
            QCOMPARE(finish->text(), finishCaption);
            if (port) // elsewhere a port chooser would be left open, and the test hang
                whenModalOpens<TPortSetupForm>(this, [&](TPortSetupForm& ports) {
                    refuseThenHelp(ports, 3);
                    child<QComboBox>(ports, "DeviceToSenseBox")->setEditText("ttyS2");
                    leaveIt(ports);
                    portChosen = true;
                });
            leaveIt(wizard);
            // The call charges page comes last, skipped here.
            whenModalOpens<TTariffForm>(this, [](TTariffForm& tariff) { tariff.SkipButtonClick(); });
        });
        auto w = makeWindow();
        QVERIFY(splashGone);
        QVERIFY(w->isVisible());
        QCOMPARE(readInt("Auto Call Sensing"), sensing);
        QCOMPARE(w->meter().settings().sensingMode, sensing);
        QCOMPARE(portChosen, port != 0);
        QCOMPARE(readInt("Port To Sense"), port ? port : -1);
        QCOMPARE(prompter.beeps, port ? 2 : 1);
        QCOMPARE(readInt("Times Used"), 1);

        w.reset();
        w = makeWindow(); // the wizard would not let this return
        QCOMPARE(readInt("Times Used"), 2);
    }

    // The close box asks first when told to; a refused close keeps the call
    // running with the window's place already stored.
    void closeQuestion_data() {
        QTest::addColumn<QString>("queryExit");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no question") << "0" << true << true;
        QTest::newRow("asked, yes") << "1" << true << true;
        QTest::newRow("asked, no") << "1" << false << false;
    }
    void closeQuestion() {
        QFETCH(QString, queryExit);
        QFETCH(bool, yes);
        QFETCH(bool, closes);
        set("Default Setup Information", "QueryExit", queryExit);
        auto w = timing();
        QSignalSpy ended(w.get(), &TLargeForm::ended);
        w->move(321, 123);
        prompter.answers = {yes ? Prompter::Answer::Yes : Prompter::Answer::No};
        QCOMPARE(w->close(), closes);
        QCOMPARE(prompter.questions,
                 queryExit == QLatin1String("1") ? QStringList{ExitQuestion} : QStringList());
        QCOMPARE(readInt("Normal Window Left Position"), 321);
        QCOMPARE(w->meter().isTiming(), !closes);
        QCOMPARE(logged(), size_t(closes ? 1 : 0));
        QCOMPARE(ended.size(), closes ? 1 : 0);
        QCOMPARE(sound.waited.size(), closes ? 1 : 0);
    }

    void exitFromTheIconsMenuLogsTheCall() {
        set("Default Setup Information", "WindowToLoad", QStringLiteral("2"));
        auto w = timing();
        QSignalSpy ended(w.get(), &TLargeForm::ended);
        w->findChild<QAction*>(QStringLiteral("CloseProgram"))->trigger();
        QCOMPARE(logged(), size_t(1));
        QCOMPARE(tray.calls.last(), QStringLiteral("remove"));
        QCOMPARE(ended.size(), 1);
    }

    // Log-out asks while its answer can still keep the program and the
    // session; once settled it logs the call and ends without the exit sound.
    void endOfSession_data() {
        QTest::addColumn<bool>("mayAsk");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("ends");
        QTest::newRow("asked, yes") << true << true << true;
        QTest::newRow("asked, no") << true << false << false;
        QTest::newRow("no questions allowed") << false << false << true;
    }
    void endOfSession() {
        QFETCH(bool, mayAsk);
        QFETCH(bool, yes);
        QFETCH(bool, ends);
        auto w = timing();
        QSignalSpy ended(w.get(), &TLargeForm::ended);
        prompter.answers = {yes ? Prompter::Answer::Yes : Prompter::Answer::No};
        QCOMPARE(w->EndOfSession([mayAsk] { return mayAsk; }), ends);
        QCOMPARE(prompter.questions.size(), mayAsk ? 1 : 0);
        QCOMPARE(logged(), size_t(ends ? 1 : 0));
        QCOMPARE(ended.size(), ends ? 1 : 0);
        QVERIFY(sound.waited.isEmpty());
    }

    void quitFromOutsideLogsTheCall() {
        auto w = timing();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(logged(), size_t(1));
        QVERIFY(w->hasEnded());
    }

    // A signal while the exit question is open ends the program once; the
    // answer that follows finds it ended.
    void signalWhileTheQuestionIsOpen() {
        auto w = timing();
        QSignalSpy ended(w.get(), &TLargeForm::ended);
        prompter.whileOpen = [&] { w->EndOnRequest(); };
        prompter.answers = {Prompter::Answer::No};
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(logged(), size_t(1));
        QCOMPARE(ended.size(), 1);
        QVERIFY(sound.waited.isEmpty());
    }

    // Ended from outside while a message is on show: the messages still
    // waiting go to the error output and hold nothing up.
    void signalWhileAMessageIsShown() {
        QFile::remove(path(QStringLiteral("Test.dtr")));
        auto w = makeWindow(); // the missing rate file is reported from the event loop
        w->meter().queueWarning(QStringLiteral("a warning"));
        QSignalSpy ended(w.get(), &TLargeForm::ended);
        prompter.whileOpen = [&] { w->EndOnRequest(); };
        QTest::ignoreMessage(QtWarningMsg, "a warning");
        settle();
        QCOMPARE(prompter.all().size(), 1);
        QCOMPARE(ended.size(), 1);
    }

    // Ended while the configuration dialog is open: its closing starts nothing again.
    void signalWhileTheDialogIsOpen() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = timing();
        whenModalOpens<TSetupForm>(this, [&](TSetupForm& d) {
            w->EndOnRequest();
            child<QPushButton>(d, "MainOKButton")->click();
        });
        child<QPushButton>(*w, "SetupButton")->click();
        QCOMPARE(logged(), size_t(1));
        QVERIFY(!line.isOpen());
        QCOMPARE(line.opens, 1);
    }

    // Told to end, the program logs the call before it writes anything else:
    // a second signal may end it any moment after.
    void endLogsTheCallFirst_data() {
        QTest::addColumn<bool>("logOut");
        QTest::newRow("signal") << false;
        QTest::newRow("log-out") << true;
    }
    void endLogsTheCallFirst() {
        QFETCH(bool, logOut);
        auto w = timing();
        w->move(321, 123);
        size_t loggedFirst = 0;
        int placeFirst = 0;
        connect(w.get(), &TLargeForm::callsLogged, this, [&] {
            loggedFirst = logged();
            placeFirst = readInt("Normal Window Left Position");
        });
        if (logOut)
            QVERIFY(w->EndOfSession([] { return false; }));
        else
            w->EndOnRequest();
        QCOMPARE(loggedFirst, size_t(1));
        QCOMPARE(placeFirst, -1);
        QCOMPARE(readInt("Normal Window Left Position"), 321);
    }

    // Once the call is logged nothing starts another, not even a dialled call
    // connecting, the carrier rising or a click on the icon while a box of the
    // closing is open.
    void noCallStartsWhileClosing_data() {
        QTest::addColumn<int>("sensing");
        QTest::newRow("off") << 0;
        QTest::newRow("serial port") << 1;
        QTest::newRow("line") << 2;
    }
    void noCallStartsWhileClosing() {
        QFETCH(int, sensing);
        set("Default Setup Information", "Auto Call Sensing", QString::number(sensing));
        set("Default Setup Information", "QueryExit", QStringLiteral("0"));
        auto w = timing();
        w->meter().queueWarning(QStringLiteral("shown while closing"));
        bool lineLetGo = false;
        prompter.whileOpen = [&] {
            lineLetGo = !line.isOpen();
            line.report(7, LineMonitor::Dialing);
            line.report(7, LineMonitor::Connected);
            carrier.setCarrier(true);
            w->meter().OffTimerTimer(); // a poll that was already due
            tray.click(TrayIcon::Action::Click);
        };
        QVERIFY(w->close());
        QCOMPARE(prompter.warnings, QStringList{QStringLiteral("shown while closing")});
        QVERIFY(lineLetGo && !w->meter().isTiming());
        QCOMPARE(logged(), size_t(1));
    }
};

QTEST_MAIN(TestStartAndEnd)
#include "test_startandend.moc"
