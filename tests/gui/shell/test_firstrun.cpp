// The first run from an empty program directory: the call charges page of the
// wizard writes the user's tariff, and the first call is priced without a box.
#include "gui/meter/LargeFormFixture.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "gui/shell/ChoiceWizard.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTariffForm.h"
#include "gui/shell/TWelcomeForm.h"
#include "gui/widgets/MaskedEdit.h"

#include "fakes/FakeSerialDevices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString Rates = QStringLiteral("Telephone Rate Information");

// A rate file as it is on the disk: each slot its length byte (five) and its five characters.
QByteArray rateBytes(const QStringList& texts) {
    QByteArray bytes;
    for (const QString& text : texts)
        bytes += '\x05' + text.toLatin1();
    return bytes;
}
} // namespace

class TestFirstRun : public QObject, LargeFormFixture {
    Q_OBJECT

    QByteArray bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString read(const char* key) const {
        return settings().ReadSettingString(Rates, QLatin1String(key), QStringLiteral("absent"));
    }
    QStringList rateFiles() const { return QDir(dir->path()).entryList({QStringLiteral("*.dtr")}); }
    // An empty program directory, used for the first time.
    void emptyDirectory() {
        QVERIFY(QFile::remove(path(QStringLiteral("Test.dtr"))));
        QVERIFY(QFile::remove(path(QStringLiteral("Dialtaly.ini"))));
    }
    // Types into a box as a person does: all of it chosen and typed over.
    static void type(TTariffForm& form, const char* name, const QString& text) {
        auto* box = child<QLineEdit>(form, name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

private slots:
    void init() {
        reset();
        emptyDirectory();
    }

    // What the page writes: the rate file with the local rates for every
    // distance, in the file's fixed form however they were typed; the active
    // name and the daytime band. Refused input writes nothing.
    void finishWritesTheTariff_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");     // what the box holds afterwards
        QTest::addColumn<QStringList>("boxes"); // errors and questions, as shown
        QTest::addColumn<bool>("written");
        const QString refusal = MaskedEdit::RefusalText;
        QTest::newRow("as typed") << "TariffNameEdit"
                                  << "Evening Saver"
                                  << "Evening Saver" << QStringList{} << true;
        QTest::newRow("a slash is not typed") << "TariffNameEdit"
                                              << "BT/Home"
                                              << "BTHome" << QStringList{} << true;
        QTest::newRow("a letter in a rate") << "LocDay"
                                            << "3x"
                                            << "3" << QStringList{} << true;
        QTest::newRow("unfinished rate") << "LocDay"
                                         << "."
                                         << "." << QStringList{refusal} << false;
        QTest::newRow("hour off the clock") << "DayTimeEnd"
                                            << "25:00"
                                            << "25:00" << QStringList{"Not A Valid Time"} << false;
        QTest::newRow("no name") << "TariffNameEdit"
                                 << "   "
                                 << "   " << QStringList{} << false;
    }
    void finishWritesTheTariff() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, boxes);
        QFETCH(bool, written);
        TTariffForm form(services);
        form.show();
        type(form, "LocDay", "3.5");
        type(form, "LocEve", ".5");
        type(form, "locWend", "1");
        type(form, "Tax", "20");
        type(form, "Min", "05");
        type(form, "Conn", "3,9");
        type(form, "DayTimeStart", "8");
        type(form, "DayTimeEnd", "18:30");
        type(form, "TariffNameEdit", "Evening Saver");
        type(form, box.toLatin1().constData(), typed);
        QCOMPARE(child<QLineEdit>(form, box.toLatin1().constData())->text(), shown);
        QCOMPARE(form.FinishButtonClick(), written);
        QCOMPARE(prompter.all(), boxes);
        if (!written) {
            QVERIFY(rateFiles().isEmpty());
            QCOMPARE(read("ActiveRateFile"), QStringLiteral("absent"));
            QCOMPARE(read("DayTimeStart"), QStringLiteral("absent"));
            return;
        }
        const QString name = box == "TariffNameEdit" ? shown : QStringLiteral("Evening Saver");
        const QString day = box == "LocDay" ? QStringLiteral(" 3.00") : QStringLiteral(" 3.50");
        QStringList texts;
        for (int distance = 0; distance < 4; ++distance)
            texts << day << " 0.50"
                  << " 1.00";
        texts << "20.00"
              << " 5.00"
              << " 3.90"
              << " 0.00";
        QCOMPARE(rateFiles(), QStringList{name + ".dtr"});
        QCOMPARE(bytes(name + ".dtr"), rateBytes(texts));
        QCOMPARE(read("ActiveRateFile"), name);
        QCOMPARE(read("DayTimeStart"), QStringLiteral("8:00")); // read without its blank
        QCOMPARE(read("DayTimeEnd"), QStringLiteral("18:30"));
    }

    // A name already taken is asked about; the page stays open for another.
    void anExistingTariffIsAskedAbout_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replaced") << true;
        QTest::newRow("kept") << false;
    }
    void anExistingTariffIsAskedAbout() {
        QFETCH(bool, replace);
        const QByteArray old(96, '\0');
        QFile file(path("My Tariff.dtr"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
        file.close();
        TTariffForm form(services);
        prompter.answers = {replace ? Prompter::Answer::Yes : Prompter::Answer::No};
        QCOMPARE(form.FinishButtonClick(), replace);
        QCOMPARE(prompter.questions.size(), 1);
        QCOMPARE(bytes("My Tariff.dtr") == old, !replace);
        QCOMPARE(read("ActiveRateFile"), replace ? QStringLiteral("My Tariff") : QStringLiteral("absent"));
    }

    // A rate file that cannot be written is told with its name and why, and
    // nothing names it.
    void anUnwritableTariffIsTold() {
        QVERIFY(QDir().mkdir(path("My Tariff.dtr"))); // a folder where the file would go
        TTariffForm form(services);
        prompter.answers = {Prompter::Answer::Yes};
        QVERIFY(!form.FinishButtonClick());
        QCOMPARE(prompter.errors.size(), 1);
        QVERIFY(prompter.errors[0].startsWith("Unable to write to " + path("My Tariff.dtr") + "\n"));
        QVERIFY(prompter.errors[0].size() >
                QString("Unable to write to " + path("My Tariff.dtr") + "\n").size());
        QCOMPARE(read("ActiveRateFile"), QStringLiteral("absent"));
    }

    // The port chooser lists the devices present by name and takes a typed
    // path; the device is stored under its own key, and a numbered port's
    // number under the original one as well.
    void portChooserStoresTheDevice_data() {
        QTest::addColumn<QString>("chosen"); // a listed name, or typed
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("port"); // -1: not written
        QTest::newRow("by-id adapter") << "usb-FTDI_FT232R_A1-if00-port0"
                                       << "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0" << -1;
        QTest::newRow("second numbered port") << "ttyS1"
                                              << "/dev/ttyS1" << 2;
        QTest::newRow("typed bare name") << "ttyACM3"
                                         << "/dev/ttyACM3" << -1;
        QTest::newRow("typed path of port 4") << "/dev/ttyS3"
                                              << "/dev/ttyS3" << 4;
    }
    void portChooserStoresTheDevice() {
        QFETCH(QString, chosen);
        QFETCH(QString, device);
        QFETCH(int, port);
        FakeSerialDevices devices;
        devices.devices = {
            {"/dev/ttyS0", "ttyS0"},
            {"/dev/ttyS1", "ttyS1"},
            {"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", "usb-FTDI_FT232R_A1-if00-port0"}};
        services.serialDevices = &devices;
        TPortSetupForm ports(services);
        ports.show();
        auto* box = child<QComboBox>(ports, "DeviceToSenseBox");
        auto* next = child<QPushButton>(ports, "OKbutton");
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->currentText(), QString()); // none chosen at first
        QVERIFY(!next->isEnabled());
        if (const int listed = box->findText(chosen); listed >= 0) {
            box->setCurrentIndex(listed);
        } else {
            box->lineEdit()->setFocus();
            QTest::keyClicks(box->lineEdit(), chosen);
        }
        QVERIFY(next->isEnabled());
        next->click();
        QVERIFY(!ports.isVisible());
        const SettingsFile file = settings();
        const QString defaults = QStringLiteral("Default Setup Information");
        QCOMPARE(file.ReadSettingString(defaults, "Device To Sense", ""), device);
        QCOMPARE(file.ReadSettingInteger(defaults, "Port To Sense", -1), port);
        QCOMPARE(file.ReadSettingString(defaults, "Auto Call Sensing", "absent"), QStringLiteral("absent"));
    }

    // Each page by keyboard alone: the focus goes through it in the order it
    // is laid out, and Alt keys, Enter and Escape do what the clicks do.
    void pagesByKeyboard_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("order"); // the focus, from the first control, by Tab
        QTest::addColumn<QStringList>("keys");  // key sequences, or "=" and text typed
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("key"); // and its value after, in either section
        QTest::addColumn<QString>("value");
        const int next = QDialog::Accepted, closed = QDialog::Rejected, back = ChoiceWizard::Back;
        // The choices are one stop of the order; the arrows go from one to the next.
        QTest::newRow("welcome, arrows")
            << "welcome" << QStringList{"Auto32bitRadioButton", "HelpButton", "Auto32bitRadioButton"}
            << QStringList{"Down", "Space", "Return"} << next << "Auto Call Sensing"
            << "1";
        QTest::newRow("welcome, Alt key")
            << "welcome" << QStringList{} << QStringList{"Alt+B", "Return"} << next << "Auto Call Sensing"
            << "0";
        QTest::newRow("welcome, Escape")
            << "welcome" << QStringList{} << QStringList{"Escape"} << closed << "Auto Call Sensing"
            << "absent";
        QTest::newRow("port, a device")
            << "port" << QStringList{"DeviceToSenseBox", "HelpButton", "BackButton", "DeviceToSenseBox"}
            << QStringList{"Alt+D", "=/dev/ttyUSB3", "Return"} << next << "Device To Sense"
            << "/dev/ttyUSB3";
        QTest::newRow("port, back") << "port" << QStringList{} << QStringList{"Alt+B"} << back
                                    << "Device To Sense"
                                    << "absent";
        QTest::newRow("charges, a name")
            << "tariff" << QStringList{"TariffNameEdit", "LocDay",        "LocEve",
                                       "locWend",        "Tax",           "Min",
                                       "Conn",           "DayTimeStart",  "DayTimeEnd",
                                       "HelpButton",     "BackButton",    "SkipButton",
                                       "FinishButton",   "TariffNameEdit"}
            << QStringList{"Alt+A", "=Night", "Return"} << next << "ActiveRateFile"
            << "Night";
        QTest::newRow("charges, skipped")
            << "tariff" << QStringList{} << QStringList{"Alt+K"} << closed << "ActiveRateFile"
            << "absent";
        QTest::newRow("charges, back")
            << "tariff" << QStringList{} << QStringList{"Alt+B"} << back << "ActiveRateFile"
            << "absent";
    }
    void pagesByKeyboard() {
        QFETCH(QString, page);
        QFETCH(QStringList, order);
        QFETCH(QStringList, keys);
        QFETCH(int, result);
        QFETCH(QString, key);
        QFETCH(QString, value);
        std::unique_ptr<QDialog> form;
        if (page == "welcome")
            form = std::make_unique<TWelcomeForm>(services);
        else if (page == "port")
            form = std::make_unique<TPortSetupForm>(services);
        else
            form = std::make_unique<TTariffForm>(services);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (i > 0)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
        }
        const QList<QAbstractButton*> buttons = form->findChildren<QAbstractButton*>();
        for (const QString& typed : keys) {
            if (typed.startsWith('='))
                QTest::keyClicks(QApplication::focusWidget(), typed.mid(1));
            else
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(typed));
            // A button's Alt key clicks it a moment later, as it is seen to.
            QTRY_VERIFY(std::none_of(buttons.cbegin(), buttons.cend(), [](auto* b) { return b->isDown(); }));
        }
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), result);
        const QString defaults = settings().ReadSettingString("Default Setup Information", key, "absent");
        QCOMPARE(defaults != "absent" ? defaults : read(qPrintable(key)), value);
    }

    // The first questions from an empty folder, left every way a person may
    // leave them: the pages seen, what is written, and a tariff that prices
    // calls in the band the page offered, at this start and the next, with
    // no box. Without the user's prices the window says so.
    void firstQuestionsLeaveAWorkingTariff_data() {
        QTest::addColumn<QStringList>(
            "steps"); // a control clicked, "Escape", "close", "device", or "LocDay" typed
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("sensing"); // as written
        QTest::addColumn<QString>("cost");    // of two minutes, local, on a weekday morning
        const QString W = "WelcomeForm", P = "PortSetupForm", T = "TariffForm";
        const QString off = "AutoDisabledRadioButton", carrier = "Auto16bitRadioButton", next = "OKbutton";
        QTest::newRow("tariff given")
            << QStringList{off, next, "LocDay", "FinishButton"} << QStringList{W, T} << "0"
            << "12.0p";
        QTest::newRow("skipped") << QStringList{off, next, "SkipButton"} << QStringList{W, T} << "0"
                                 << "0.0p";
        QTest::newRow("charges closed")
            << QStringList{off, next, "LocDay", "close"} << QStringList{W, T} << "0"
            << "0.0p";
        QTest::newRow("charges, Escape") << QStringList{off, next, "Escape"} << QStringList{W, T} << "0"
                                         << "0.0p";
        QTest::newRow("welcome closed before a choice") << QStringList{"close"} << QStringList{W} << "absent"
                                                        << "0.0p";
        QTest::newRow("welcome, Escape before a choice")
            << QStringList{"Escape"} << QStringList{W} << "absent"
            << "0.0p";
        QTest::newRow("welcome, Escape after a choice")
            << QStringList{"Auto32bitRadioButton", "Escape", "SkipButton"} << QStringList{W, T} << "2"
            << "0.0p";
        QTest::newRow("port, Escape before a device")
            << QStringList{carrier, next, "Escape"} << QStringList{W, P} << "1"
            << "0.0p";
        QTest::newRow("port closed after a device")
            << QStringList{carrier, next, "device", "close", "SkipButton"} << QStringList{W, P, T} << "1"
            << "0.0p";
        QTest::newRow("back from the port")
            << QStringList{carrier, next, "BackButton", off, next, "SkipButton"} << QStringList{W, P, W, T}
            << "0"
            << "0.0p";
        QTest::newRow("back from the charges")
            << QStringList{carrier, next, "device", next, "LocDay", "BackButton", next, "FinishButton"}
            << QStringList{W, P, T, P, T} << "1"
            << "12.0p";
    }
    void firstQuestionsLeaveAWorkingTariff() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, pages);
        QFETCH(QString, sensing);
        QFETCH(QString, cost);
        QStringList seen;
        std::function<void()> onNextPage = [&] {
            whenModalOpens<QDialog>(this, [&](QDialog& page) {
                seen << page.objectName();
                while (!steps.isEmpty() && page.isVisible()) {
                    const QString step = steps.takeFirst();
                    if (step == "Escape")
                        QTest::keyClick(&page, Qt::Key_Escape);
                    else if (step == "close")
                        page.close();
                    else if (step == "device")
                        child<QComboBox>(page, "DeviceToSenseBox")->setEditText("/dev/ttyUSB0");
                    else if (step == "LocDay")
                        type(static_cast<TTariffForm&>(page), "LocDay", "6");
                    else
                        child<QAbstractButton>(page, qPrintable(step))->click();
                }
                if (!steps.isEmpty())
                    onNextPage();
            });
        };
        onNextPage();
        auto w = makeWindow();
        QCOMPARE(seen, pages);
        QCOMPARE(settings().ReadSettingString("Default Setup Information", "Auto Call Sensing", "absent"),
                 sensing);
        for (int start = 0; start < 2; ++start) {
            if (start) { // the next start, with the questions answered
                w.reset();
                w = makeWindow();
            }
            settle();
            QCOMPARE(child<QLabel>(*w, "PricesNeededLine")->isVisibleTo(w.get()), cost == "0.0p");
            QCOMPARE(text(*w, "TimeOfDay"), QStringLiteral("Daytime"));
            w->meter().StartOrStopByHand();
            clock.advance(2 * 60000);
            w->meter().MainTimerTimer();
            QCOMPARE(text(*w, "NetCost"), cost);
            w->meter().StartOrStopByHand();
            settle();
            QCOMPARE(prompter.errors, QStringList{});
            const CallRecord call = CallLog(path("Calls.log")).readAll().back();
            QCOMPARE(RateNameStore(path("CallRate.log")).RateNameForKey(call.rateNameKey), "My Tariff");
        }
    }
};

QTEST_MAIN(TestFirstRun)
#include "test_firstrun.moc"
