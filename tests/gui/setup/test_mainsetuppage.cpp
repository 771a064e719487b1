#include "core/seams/Services.h"
#include "core/seams/SoundPlayer.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/MeterSettings.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSerialDevices.h"
#include "gui/setup/MainSetupPage.h"
#include "gui/widgets/MaskedEdit.h"
#include "gui/widgets/SerialDeviceBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace SettingsKeys;

namespace {

// Keeps the order of stop and play, which is what a preview is about.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    QStringList calls;
    void play(const QString& fileName) override { calls << QStringLiteral("play ") + fileName; }
    void playAndWait(const QString& fileName, int) override { calls << QStringLiteral("wait ") + fileName; }
    void stop() override { calls << QStringLiteral("stop"); }
};

const char* const SoundPrefixes[] = {"Start", "Stop", "Run", "Exit", "Spend"};
const char* const FileBoxNames[] = {"StartFilebox", "StopFileBox", "RunFileBox", "ExitFileBox",
                                    "SpendFileBox"};

// The keys of the page in the order they are written.
const QStringList WriteOrder = {
    "DayTimeStart",  "DayTimeEnd",     "Start",      "Stop",       "Run",
    "Exit",          "Spend",          "StartOn",    "StopOn",     "RunOn",
    "ExitOn",        "SpendOn",        "PlaySounds", "ShowSplash", "QueryExit",
    "SpendWarning",  "SpendWarningOn", "MainSymbol", "SubSymbol",  "Auto Call Sensing",
    "Port To Sense", "Device To Sense"};

const QString ByIdName = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
const QString ById = QStringLiteral("/dev/serial/by-id/") + ByIdName;

} // namespace

class TestMainSetupPage : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePrompter m_prompter;
    FakeFileChooser m_files;
    RecordingSoundPlayer m_sound;
    FakeAutostart m_autostart;
    FakeSerialDevices m_devices;
    Services m_services;
    std::unique_ptr<MainSetupPage> m_page;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    SettingsFile settings() const { return SettingsFile(path(ProgramFiles::SettingsName)); }
    void touch(const QString& name) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    template <typename T> T* child(const QString& name) const {
        T* widget = m_page->findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    MaskedEdit* timeBox(const QString& name) const { return child<MaskedEdit>(name); }
    MaskedEdit* spendEntry() const { return child<MaskedEdit>("SpendLimitEdit"); }
    QString spendSymbol() const { return child<QLabel>("SpendSymbolLabel")->text(); }
    SerialDeviceBox* deviceBox() const { return child<SerialDeviceBox>("DeviceToSenseBox"); }
    QLineEdit* fileBox(int event) const { return child<QLineEdit>(FileBoxNames[event]); }
    QAbstractButton* button(const QString& name) const { return child<QAbstractButton>(name); }
    // The raw "key=value" lines of the settings file, in file order.
    QStringList entries() const {
        QFile file(path(ProgramFiles::SettingsName));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.contains('='))
                lines << QString::fromLatin1(line);
        return lines;
    }
    QString rawValue(const QString& key) const {
        for (const QString& line : entries())
            if (line.section('=', 0, 0) == key)
                return line.section('=', 1);
        return QStringLiteral("<missing>");
    }
    void openPage() {
        m_page = std::make_unique<MainSetupPage>(m_services);
        m_page->ReadIniSettings(settings());
        m_page->show();
        m_page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
    }
    // Leaves a box the way the user does: by focusing another control.
    void leave(QWidget* box) {
        box->setFocus(Qt::OtherFocusReason);
        child<QLineEdit>("SubSymbol")->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void type(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        box->home(false);
        QTest::keyClicks(box, text);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_prompter.clear();
        m_files = FakeFileChooser();
        m_sound.calls.clear();
        m_autostart = FakeAutostart();
        m_services = Services();
        m_services.programDirectory = m_dir->path();
        m_services.resourceDirectory = m_dir->path();
        m_services.programPath = m_dir->filePath("dialtally");
        m_services.prompter = &m_prompter;
        m_services.files = &m_files;
        m_services.sound = &m_sound;
        m_services.autostart = &m_autostart;
        m_devices.devices = {{"/dev/ttyS0", "ttyS0"}, {ById, ByIdName}};
        m_services.serialDevices = &m_devices;
    }
    void cleanup() { m_page.reset(); }

    void withoutAFileShowsTheDefaultsAndWritesEveryKeyInOrder() {
        openPage();
        QCOMPARE(timeBox("DayTimeStart")->value(), QStringLiteral("12:00"));
        QCOMPARE(timeBox("DayTimeEnd")->value(), QStringLiteral("12:00"));
        for (int e = 0; e < SoundEventCount; ++e) {
            QCOMPARE(fileBox(e)->text(), path(QLatin1String(Sounds[e].fileName)));
            QVERIFY(button(QStringLiteral("%1SoundOn").arg(SoundPrefixes[e]))->isChecked());
        }
        QVERIFY(!button("ShowSplashCheckBox")->isEnabled());
        QCOMPARE(spendSymbol(), QStringLiteral("\u00a3"));
        QCOMPARE(spendEntry()->value(), QStringLiteral(" 1.00"));
        QCOMPARE(deviceBox()->device(), QStringLiteral("/dev/ttyS1"));
        QVERIFY(!deviceBox()->isEnabled());

        QVERIFY(m_page->WriteIniSettings(settings()));
        QStringList keys;
        for (const QString& line : entries())
            keys << line.section('=', 0, 0);
        QCOMPARE(keys, WriteOrder);
        QCOMPARE(rawValue("SpendWarning"), QStringLiteral(" 1.00"));
        QCOMPARE(rawValue("Port To Sense"), QStringLiteral("2"));
        QCOMPARE(rawValue("Device To Sense"), QStringLiteral("/dev/ttyS1"));
        QVERIFY(m_prompter.all().isEmpty());
    }

    void roundTripsEveryKey() {
        touch("there.wav");
        const SettingsFile file = settings();
        file.WriteSettingString(RateSection, DayTimeStart, " 8:30");
        file.WriteSettingString(RateSection, DayTimeEnd, "18:05");
        for (int e = 0; e < SoundEventCount; ++e) {
            file.WriteSettingString(SoundSection, Sounds[e].pathKey,
                                    e == RunSound ? path("there.wav")
                                                  : QStringLiteral("/nowhere/%1.wav").arg(e));
            // Written under the writer's spelling, read under the reader's.
            file.WriteSettingBool(SoundSection, Sounds[e].switchWrite, e % 2 == 0);
        }
        file.WriteSettingBool(SoundSection, PlaySounds, false);
        file.WriteSettingBool(DefaultsSection, QueryExit, false);
        file.WriteSettingString(DefaultsSection, SpendWarning, "25.50");
        file.WriteSettingBool(DefaultsSection, SpendWarningOn, false);
        file.WriteSettingString(DefaultsSection, MainSymbol, "$");
        file.WriteSettingString(DefaultsSection, SubSymbol, "c");
        file.WriteSettingInteger(DefaultsSection, AutoCallSensing, 1);
        file.WriteSettingInteger(DefaultsSection, PortToSense, 3);
        m_autostart.present = true;

        openPage();
        QCOMPARE(timeBox("DayTimeStart")->value(), QStringLiteral(" 8:30"));
        QCOMPARE(fileBox(RunSound)->text(), path("there.wav"));
        QVERIFY(button("StartSoundOn")->isChecked());
        QVERIFY(!button("StopSoundOn")->isChecked());
        QVERIFY(!button("PlaySoundsCheckBox")->isChecked());
        QVERIFY(!button("QueryExitCheckBox")->isChecked());
        QVERIFY(button("RunOnStartupCheckBox")->isChecked());
        QCOMPARE(spendSymbol(), QStringLiteral("$"));
        QCOMPARE(spendEntry()->value(), QStringLiteral("25.50"));
        QVERIFY(!spendEntry()->isEnabled());
        QVERIFY(button("Auto16bitRadioButton")->isChecked());
        QCOMPARE(deviceBox()->device(), QStringLiteral("/dev/ttyS2"));
        QVERIFY(deviceBox()->isEnabled());

        const QStringList before = entries();
        QFile::remove(path(ProgramFiles::SettingsName));
        QVERIFY(m_page->WriteIniSettings(settings()));
        QStringList expected;
        for (const QString& key : WriteOrder)
            for (const QString& line : before)
                if (line.section('=', 0, 0) == key)
                    expected << line;
        expected.insert(WriteOrder.indexOf("ShowSplash"), "ShowSplash=1");
        expected << "Device To Sense=/dev/ttyS2";
        QCOMPARE(entries(), expected);
        QVERIFY(m_autostart.present);
    }

    void normalisesHandEditedValuesForTheFixedFormat() {
        settings().WriteSettingString(RateSection, DayTimeStart, "8:30");
        settings().WriteSettingString(DefaultsSection, SpendWarning, "1.5"); // as the meter reads it
        openPage();
        QCOMPARE(timeBox("DayTimeStart")->value(), QStringLiteral(" 8:30"));
        QVERIFY(timeBox("DayTimeStart")->isComplete());
        QCOMPARE(spendEntry()->value(), QStringLiteral(" 1.50"));
        QVERIFY(spendEntry()->isComplete());
    }

    // Blanked, then switched off (the refusal shows, the untick still
    // happens): OK must still store an amount the meter can read.
    void blankDisabledSpendLimitIsNotStored() {
        settings().WriteSettingString(DefaultsSection, SpendWarning, "2.50");
        openPage();
        spendEntry()->setValue(QString());
        button("SpendLimitOn")->click();
        QVERIFY(m_page->checkBeforeClose());
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("SpendWarning"), QStringLiteral(" 2.50"));
        QVERIFY(parseAmount(rawValue("SpendWarning")));
    }

    void validatesTimesWhenLeft_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("errors");
        const QStringList none;
        const QStringList invalid{"Not A Valid Time"};
        QTest::newRow("25:00") << "25:00"
                               << "12:00" << invalid;
        QTest::newRow("minute 60") << "1060"
                                   << "12:00" << invalid;
        QTest::newRow("23:59") << "23:59"
                               << "23:59" << none;
        QTest::newRow("08:30") << "08:30"
                               << " 8:30" << none;
        QTest::newRow("midnight") << "0000"
                                  << " 0:00" << none;
    }
    void validatesTimesWhenLeft() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, errors);
        openPage();
        MaskedEdit* start = timeBox("DayTimeStart");
        type(start, typed);
        leave(start);
        QCOMPARE(start->text(), shown);
        QCOMPARE(m_prompter.errors, errors);
        QCOMPARE(m_prompter.beeps, 0);
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("DayTimeStart"), shown);
    }

    void acceptsAStartLaterThanTheEnd() {
        openPage();
        type(timeBox("DayTimeStart"), "22:00");
        leave(timeBox("DayTimeStart"));
        type(timeBox("DayTimeEnd"), "6:00");
        leave(timeBox("DayTimeEnd"));
        QVERIFY(m_page->checkBeforeClose());
        QVERIFY(m_prompter.all().isEmpty());
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("DayTimeStart"), QStringLiteral("22:00"));
        QCOMPARE(rawValue("DayTimeEnd"), QStringLiteral(" 6:00"));
    }

    void refusesAnIncompleteBoxAndEscapeRestores_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("restored");
        QTest::newRow("time, a minute digit missing") << "DayTimeEnd"
                                                      << "12:3"
                                                      << "12:00";
        QTest::newRow("time, emptied") << "DayTimeStart"
                                       << ""
                                       << "12:00";
        QTest::newRow("spend limit, only a point") << "SpendLimitEdit"
                                                   << "."
                                                   << " 1.00";
    }
    void refusesAnIncompleteBoxAndEscapeRestores() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, restored);
        openPage();
        MaskedEdit* edit = child<MaskedEdit>(box);
        type(edit, typed);
        leave(edit);
        QCOMPARE(m_prompter.errors, QStringList{MaskedEdit::RefusalText});
        QCOMPARE(m_prompter.beeps, 1);
        QCOMPARE(QApplication::focusWidget(), edit);

        m_prompter.clear();
        QVERIFY(!m_page->checkBeforeClose());
        QCOMPARE(m_prompter.errors, QStringList{MaskedEdit::RefusalText});

        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->text(), restored);
        m_prompter.clear();
        QVERIFY(m_page->checkBeforeClose());
        QVERIFY(m_prompter.all().isEmpty());
    }

    void checkBeforeCloseResetsAnInvalidTime() {
        settings().WriteSettingString(RateSection, DayTimeEnd, "24:00");
        openPage();
        QVERIFY(!m_page->checkBeforeClose());
        QCOMPARE(m_prompter.errors, QStringList{"Not A Valid Time"});
        QCOMPARE(timeBox("DayTimeEnd")->value(), QStringLiteral("12:00"));
    }

    void enablingFollowsTheSwitches() {
        settings().WriteSettingBool(SoundSection, "StopOn", false);
        openPage();
        auto soundControls = [&](int e) {
            const QString prefix = QLatin1String(SoundPrefixes[e]);
            return QList<QWidget*>{button(prefix + "SoundOn"), fileBox(e), button(prefix + "BrowseButton"),
                                   button(prefix + "PlayButton")};
        };
        auto enabledStates = [&](int e) {
            QList<bool> states;
            for (QWidget* w : soundControls(e))
                states << w->isEnabled();
            return states;
        };
        const QList<bool> on{true, true, true, true}, onlyBox{true, false, false, false};
        QCOMPARE(enabledStates(StartSound), on);
        QCOMPARE(enabledStates(StopSound), onlyBox);

        button("PlaySoundsCheckBox")->click();
        for (int e = 0; e < SoundEventCount; ++e)
            QCOMPARE(enabledStates(e), (QList<bool>{false, false, false, false}));
        for (QLabel* label : child<QWidget>("SoundsGroup")->findChildren<QLabel*>())
            QVERIFY(!label->isEnabled());

        button("PlaySoundsCheckBox")->click();
        QCOMPARE(enabledStates(StartSound), on);
        QCOMPARE(enabledStates(StopSound), onlyBox);

        button("StartSoundOn")->click();
        QCOMPARE(enabledStates(StartSound), onlyBox);
        button("StopSoundOn")->click();
        QCOMPARE(enabledStates(StopSound), on);

        button("SpendLimitOn")->click();
        QVERIFY(!child<QLabel>("SpendLimitLabel")->isEnabled());
        QVERIFY(!spendEntry()->isEnabled());
        button("SpendLimitOn")->click();
        QVERIFY(child<QLabel>("SpendLimitLabel")->isEnabled());
        QVERIFY(spendEntry()->isEnabled());
    }

    void sensingChoiceEnablesThePortGroup_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("portsOn");
        QTest::addColumn<bool>("linkOn");
        QTest::addColumn<QString>("written");
        QTest::newRow("16 bit") << "Auto16bitRadioButton" << true << false << "1";
        QTest::newRow("32 bit") << "Auto32bitRadioButton" << false << false << "2";
        QTest::newRow("network link") << "AutoLinkRadioButton" << false << true << "3";
        QTest::newRow("disabled") << "AutoDisabledRadioButton" << false << false << "0";
    }
    void sensingChoiceEnablesThePortGroup() {
        QFETCH(QString, choice);
        QFETCH(bool, portsOn);
        QFETCH(bool, linkOn);
        QFETCH(QString, written);
        settings().WriteSettingInteger(DefaultsSection, AutoCallSensing, 1);
        openPage();
        button("Auto32bitRadioButton")->click();
        button(choice)->click();
        QCOMPARE(deviceBox()->isEnabled(), portsOn);
        QCOMPARE(button("BitBtn1")->isEnabled(), portsOn);
        QCOMPARE(child<QLineEdit>("LinkToSenseBox")->isEnabled(), linkOn);
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("Auto Call Sensing"), written);
        QCOMPARE(rawValue("Link To Sense"), QStringLiteral("<missing>")); // unchanged: not written
    }

    void aPortOutsideTheRangeChoosesNoneAndIsNotWritten() {
        settings().WriteSettingInteger(DefaultsSection, PortToSense, 7);
        openPage();
        QCOMPARE(deviceBox()->currentText(), QString());
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("Port To Sense"), QStringLiteral("7"));
        QCOMPARE(rawValue("Device To Sense"), QStringLiteral("<missing>"));
    }

    void theChosenDeviceIsStored_data() {
        QTest::addColumn<int>("listed");    // the list's entry chosen, or -1
        QTest::addColumn<QString>("typed"); // else the text typed
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        QTest::newRow("first port from the list") << 0 << QString() << "1"
                                                  << "/dev/ttyS0";
        QTest::newRow("USB adapter by its by-id name") << 1 << QString() << "<missing>" << ById;
        QTest::newRow("a path typed") << -1 << "/dev/ttyUSB3"
                                      << "<missing>"
                                      << "/dev/ttyUSB3";
        QTest::newRow("a device name typed") << -1 << "ttyS3"
                                             << "4"
                                             << "/dev/ttyS3";
    }
    void theChosenDeviceIsStored() {
        QFETCH(int, listed);
        QFETCH(QString, typed);
        QFETCH(QString, port);
        QFETCH(QString, device);
        settings().WriteSettingInteger(DefaultsSection, AutoCallSensing, 1);
        openPage();
        SerialDeviceBox* box = deviceBox();
        QCOMPARE(box->itemText(0), QStringLiteral("ttyS0"));
        QCOMPARE(box->itemText(1), ByIdName);
        if (listed >= 0) {
            box->setCurrentIndex(listed);
        } else {
            box->lineEdit()->clear();
            QTest::keyClicks(box->lineEdit(), typed);
        }
        QCOMPARE(box->device(), device);
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("Port To Sense"), port);
        QCOMPARE(rawValue("Device To Sense"), device);

        // Read back as it was chosen, the list showing it by its name.
        openPage();
        QCOMPARE(deviceBox()->device(), device);
        if (listed >= 0)
            QCOMPARE(deviceBox()->currentIndex(), listed);
    }

    void spendEntryCarriesTheMainSymbol_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dollar") << "$"
                                << "$";
        QTest::newRow("pound") << "\u00a3"
                               << "\u00a3";
        QTest::newRow("digit") << "9"
                               << "9";
        QTest::newRow("ampersand, not a shortcut") << "&"
                                                   << "&";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("longer: its first character") << "EUR"
                                                     << "E";
    }
    void spendEntryCarriesTheMainSymbol() {
        QFETCH(QString, symbol);
        QFETCH(QString, shown);
        settings().WriteSettingString(DefaultsSection, MainSymbol, symbol);
        settings().WriteSettingString(DefaultsSection, SpendWarning, " 2.50");
        openPage();
        QCOMPARE(spendSymbol(), shown);
        QCOMPARE(spendEntry()->value(), QStringLiteral(" 2.50"));
        QVERIFY(spendEntry()->isComplete());
        // A new symbol shows beside the entry only at the next opening.
        child<QLineEdit>("MainSymbol")->setText("E");
        QCOMPARE(spendSymbol(), shown);
        QVERIFY(m_page->WriteIniSettings(settings()));
        QCOMPARE(rawValue("SpendWarning"), QStringLiteral(" 2.50"));
        QCOMPARE(rawValue("MainSymbol"), QStringLiteral("E"));
    }

    void soundLocationColourAndWarning() {
        touch("ok.wav");
        openPage();
        QLineEdit* box = fileBox(StopSound);
        const QColor normal = QApplication::palette(box).color(QPalette::Active, QPalette::Text);
        QCOMPARE(box->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
        box->setText(path("ok.wav"));
        QCOMPARE(box->palette().color(QPalette::Active, QPalette::Text), normal);
        leave(box);
        QVERIFY(m_prompter.all().isEmpty());

        box->setText(path("ok.wa"));
        QCOMPARE(box->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
        leave(box);
        QCOMPARE(m_prompter.warnings,
                 QStringList{"Sound Location is invalid. If not changed, it will be ignored."});
        QCOMPARE(m_prompter.beeps, 1);
        QCOMPARE(box->text(), path("ok.wa"));
    }

    void browsesForASound() {
        touch("ok.wav");
        openPage();
        QLineEdit* box = fileBox(ExitSound);
        m_files.nextPaths = {path("sub/chosen.wav")};
        button("ExitBrowseButton")->click();
        QCOMPARE(m_files.captions, QStringList{"Select Sound to use for event"});
        QCOMPARE(m_files.filters, QStringList{"Wave file (*.wav)"});
        QCOMPARE(m_files.directories, QStringList{m_dir->path()});
        QCOMPARE(box->text(), path("sub/chosen.wav"));

        // Cancelled: the box keeps its text. A double click browses as the button does.
        QTest::mouseDClick(box, Qt::LeftButton);
        QCOMPARE(m_files.directories.last(), path("sub"));
        QCOMPARE(box->text(), path("sub/chosen.wav"));

        box->clear();
        m_files.nextPaths = {path("ok.wav")};
        button("ExitBrowseButton")->click();
        QCOMPARE(m_files.directories.last(), QString());
        QCOMPARE(box->text(), path("ok.wav"));
        QCOMPARE(box->palette().color(QPalette::Active, QPalette::Text),
                 QApplication::palette(box).color(QPalette::Active, QPalette::Text));
    }

    void previewStopsThenPlays() {
        touch("ok.wav");
        settings().WriteSettingString(SoundSection, "Spend", path("ok.wav"));
        openPage();
        button("SpendPlayButton")->click();
        QCOMPARE(m_sound.calls, (QStringList{"stop", "play " + path("ok.wav")}));
        QCOMPARE(m_prompter.beeps, 0);
        // A missing file gives the desktop's own sound instead.
        m_sound.calls.clear();
        button("StartPlayButton")->click();
        QCOMPARE(m_sound.calls, QStringList{"stop"});
        QCOMPARE(m_prompter.beeps, 1);
    }

    void autostartSwitch() {
        openPage();
        // Ticked: the entry is made with the program's path.
        button("RunOnStartupCheckBox")->click();
        QVERIFY(m_page->WriteIniSettings(settings()));
        QVERIFY(m_autostart.present);
        QCOMPARE(m_autostart.enabledWith, m_services.programPath);

        // Unticked: the entry goes.
        button("RunOnStartupCheckBox")->click();
        QVERIFY(m_page->WriteIniSettings(settings()));
        QVERIFY(!m_autostart.present);

        // A failure is shown and keeps the dialog open; the settings are written by then.
        button("RunOnStartupCheckBox")->click();
        m_autostart.failure = "Could not create the autostart entry";
        QFile::remove(path(ProgramFiles::SettingsName));
        QVERIFY(!m_page->WriteIniSettings(settings()));
        QCOMPARE(m_prompter.errors, QStringList{"Could not create the autostart entry"});
        QCOMPARE(entries().size(), WriteOrder.size());
    }

    void aWriteFailureStopsAtOnce_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("missing directory") << "missing";
        QTest::newRow("a directory in its place") << "directory";
    }
    void aWriteFailureStopsAtOnce() {
        QFETCH(QString, kind);
        const bool readOnlyFile = kind == "read-only";
        openPage();
        QString target = path("missing/" + ProgramFiles::SettingsName);
        if (kind == "directory") {
            target = path(ProgramFiles::SettingsName);
            QVERIFY(QDir(m_dir->path()).mkdir(ProgramFiles::SettingsName));
        }
        if (readOnlyFile) {
            target = path(ProgramFiles::SettingsName);
            settings().WriteSettingString(RateSection, ActiveRateFile, "Mine");
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            if (QFileInfo(target).isWritable())
                QSKIP("running with rights that write a read-only file");
        }
        button("RunOnStartupCheckBox")->click();
        QVERIFY(!m_page->WriteIniSettings(SettingsFile(target)));
        QCOMPARE(m_prompter.errors.size(), 1);
        QVERIFY(m_prompter.errors[0].startsWith("Unable to write to " + target + "\n"));
        QVERIFY(!m_autostart.present);
        if (readOnlyFile)
            QCOMPARE(entries(), QStringList{"ActiveRateFile=Mine"});
    }

    // The budget has a section of its own: the design's sections keep their
    // bytes, the notices' record stays, and an OK alone adds no section.
    void budgetHasASectionOfItsOwn_data() {
        QTest::addColumn<QByteArray>("before"); // the [Budget] section the file had
        QTest::addColumn<int>("switchClicks");
        QTest::addColumn<QString>("amount"); // typed; empty for untouched
        QTest::addColumn<int>("billDay");    // chosen; 0 for untouched
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("storedDay");
        QTest::newRow("none, untouched")
            << QByteArray() << 0 << QString() << 0 << false << false << "30.00" << 1;
        QTest::newRow("switched on") << QByteArray() << 1 << "45" << 28 << true << true << "45.00" << 28;
        QTest::newRow("a day alone") << QByteArray() << 0 << QString() << 15 << true << false << "30.00"
                                     << 15;
        const QByteArray kept = "[Budget]\nBudgetOn=1\nBudgetAmount=12.50\nBillDay=7\n"
                                "Notified80=2026-12-07\n";
        QTest::newRow("kept as it was") << kept << 0 << QString() << 0 << false << true << "12.50" << 7;
        QTest::newRow("switched off") << kept << 1 << QString() << 0 << true << false << "12.50" << 7;
        QTest::newRow("a new amount") << kept << 0 << "5,5" << 0 << true << true << "5.50" << 7;
        QTest::newRow("a bill above 99.99") << kept << 0 << "150" << 0 << true << true << "150.00" << 7;
    }
    void budgetHasASectionOfItsOwn() {
        QFETCH(QByteArray, before);
        QFETCH(int, switchClicks);
        QFETCH(QString, amount);
        QFETCH(int, billDay);
        QFETCH(bool, written);
        QFETCH(bool, on);
        QFETCH(QString, stored);
        QFETCH(int, storedDay);
        // The design's keys as the page writes them, then the budget after them.
        openPage();
        QVERIFY(m_page->WriteIniSettings(settings()));
        m_page.reset();
        QFile file(path(ProgramFiles::SettingsName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray designs = file.readAll();
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write(before);
        file.close();

        openPage();
        QCOMPARE(button("BudgetOn")->isChecked(), !before.isEmpty());
        QCOMPARE(child<QWidget>("BudgetAmount")->isEnabled(), !before.isEmpty());
        for (int i = 0; i < switchClicks; ++i)
            button("BudgetOn")->click();
        if (!amount.isEmpty()) {
            type(child<QLineEdit>("BudgetAmount"), amount);
            leave(child<QLineEdit>("BudgetAmount"));
        }
        if (billDay)
            child<QSpinBox>("BillDay")->setValue(billDay);
        QVERIFY(m_page->checkBeforeClose());
        QVERIFY(m_page->WriteIniSettings(settings()));
        QVERIFY(m_prompter.all().isEmpty());

        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QVERIFY(after.startsWith(designs));
        if (!written)
            QCOMPARE(after, designs + before);
        const BudgetSettings budget = BudgetSettings::read(settings());
        QCOMPARE(budget.on, on);
        QCOMPARE(rawValue("BudgetAmount"),
                 written || !before.isEmpty() ? stored : QStringLiteral("<missing>"));
        QCOMPARE(budget.billDay, storedDay);
        QCOMPARE(rawValue("Notified80"), before.isEmpty() ? QStringLiteral("<missing>") : "2026-12-07");
    }
};

QTEST_MAIN(TestMainSetupPage)
#include "test_mainsetuppage.moc"
