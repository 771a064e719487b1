// The configuration dialog opened from the main window: what it saves and
// writes is in force in the meter once it closes.
#include "LargeFormFixture.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "gui/setup/TSetupForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <functional>

class TestLargeFormSetup : public QObject, LargeFormFixture {
    Q_OBJECT

    bool m_dialogSeen = false;

    void whenDialogOpens(std::function<void(TSetupForm&)> work) {
        whenModalOpens<TSetupForm>(this, [this, work](TSetupForm& dialog) {
            m_dialogSeen = true;
            work(dialog);
        });
    }
    template <typename T> static T* in(QWidget& w, const char* name) { return child<T>(w, name); }

private slots:
    void init() {
        reset();
        m_dialogSeen = false;
    }

    void savedRatesAndSettingsAreUsedAfterOk() {
        auto w = makeWindow();
        w->show();
        whenDialogOpens([](TSetupForm& d) {
            in<QPushButton>(d, "LocDay")->click();
            in<QScrollBar>(d, "DataChangeBar")->setValue(750);
            in<QPushButton>(d, "ChangeDataOKButton")->click();
            QCOMPARE(in<QPushButton>(d, "LocDay")->text(), QStringLiteral(" 7.50"));
            in<QPushButton>(d, "SaveButton")->click();
            in<QRadioButton>(d, "Auto32bitRadioButton")->click();
            in<QPushButton>(d, "MainOKButton")->click();
        });
        in<QPushButton>(*w, "SetupButton")->click();
        QVERIFY(m_dialogSeen);
        QVERIFY(w->isVisible());
        QCOMPARE(w->meter().settings().sensingMode, 2);
        QCOMPARE(line.opens, 1); // telephony watched from now on
        QCOMPARE(w->meter().workingValues().CurrentRate, 7.5 * 14.4);
        QCOMPARE(w->meter().workingValues().TaxFactor, 1.175);
        QCOMPARE(w->meter().applicationTitle(), TLargeForm::ApplicationTitle);

        // Leaving the mode lets go of the line.
        whenDialogOpens([](TSetupForm& d) {
            in<QRadioButton>(d, "AutoDisabledRadioButton")->click();
            in<QPushButton>(d, "MainOKButton")->click();
        });
        in<QPushButton>(*w, "SetupButton")->click();
        QCOMPARE(line.closes, 1);
        QVERIFY(!line.isOpen());
    }

    // The network link and its name chosen in the dialog are watched from its
    // OK; a new name takes effect at once, ending a call it leaves out.
    void aNetworkLinkChosenInSetupIsWatchedByItsName() {
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        auto w = makeWindow();
        w->show();
        const auto chooseLink = [&](const QString& name) {
            whenDialogOpens([name](TSetupForm& d) {
                in<QRadioButton>(d, "AutoLinkRadioButton")->click();
                in<QLineEdit>(d, "LinkToSenseBox")->setText(name);
                in<QPushButton>(d, "MainOKButton")->click();
            });
            in<QPushButton>(*w, "SetupButton")->click();
        };
        chooseLink(QStringLiteral("wwan0"));
        QVERIFY(!line.isOpen());
        QVERIFY(links.isOpen());
        links.report(FakeNetworkLinks::link(5, QStringLiteral("ppp0"), true));
        QVERIFY(!w->meter().isTiming());
        links.report(FakeNetworkLinks::link(6, QStringLiteral("wwan0"), true));
        QVERIFY(w->meter().isTiming());

        chooseLink(QStringLiteral("ppp*"));
        QVERIFY(!w->meter().isTiming());
        QCOMPARE(links.opens, 1);
        QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(1));
    }

    // A rate file and a sound in Cyrillic chosen in the dialog are what the
    // meter uses, logs and plays.
    void textInAnyLanguageReachesTheMeter() {
        const QString rate = QStringLiteral("\u0422\u0430\u0440\u0438\u0444");
        const QString startSound =
            path(QStringLiteral("\u0417\u0432\u0443\u043a\u0438/\u0441\u0442\u0430\u0440\u0442.wav"));
        QVERIFY(writeRateFile(path(rate + QStringLiteral(".dtr")), sampleRates()));
        touch(startSound);
        auto w = makeWindow();
        whenDialogOpens([&](TSetupForm& d) {
            auto* selector = in<QComboBox>(d, "RateNameSelectBox");
            const int index = selector->findText(rate);
            QVERIFY(index >= 0);
            selector->setCurrentIndex(index);
            emit selector->activated(index);
            in<QPushButton>(d, "UseRateButton")->click();
            in<QLineEdit>(d, "StartFilebox")->setText(startSound);
            in<QPushButton>(d, "MainOKButton")->click();
        });
        in<QPushButton>(*w, "SetupButton")->click();
        settle();
        QCOMPARE(prompter.errors, QStringList());
        QCOMPARE(text(*w, "Rate"), rate);
        sound.played.clear();
        w->meter().StartTiming(true);
        w->meter().StopTiming(true);
        settle();
        QCOMPARE(prompter.errors, QStringList());
        QCOMPARE(sound.played.value(0), startSound);
        const auto records = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(records.size(), size_t(1));
        QCOMPARE(RateNameStore(path(QStringLiteral("CallRate.log"))).RateNameForKey(records[0].rateNameKey),
                 rate);
    }

    void cancelWritesNothingButTheFileIsReadAgain() {
        auto w = makeWindow();
        whenDialogOpens([this](TSetupForm& d) {
            in<QRadioButton>(d, "Auto16bitRadioButton")->click();
            // Another program changes the file meanwhile.
            set("Telephone Rate Information", "ActiveRateFile", QStringLiteral("Other"));
            in<QPushButton>(d, "MainCancelButton")->click();
        });
        prompter.clear();
        in<QPushButton>(*w, "SetupButton")->click();
        settle();
        QCOMPARE(w->meter().settings().sensingMode, 0);
        QCOMPARE(text(*w, "Rate"), QStringLiteral("Other"));
        // The rate is applied again at once: the missing file is reported.
        QVERIFY(prompter.errors.contains(
            QStringLiteral("Dialtally Rate File \"Other\" Not Found. specify a new file in setup.")));
    }
};

QTEST_MAIN(TestLargeFormSetup)
#include "test_largeform_setup.moc"
