#include "core/settings/MeterSettings.h"
#include "core/settings/SensedDevice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int Noon = 12 * 3600 * 1000;

MeterSettings sentinel() {
    MeterSettings s;
    s.activeRateName = QStringLiteral("before");
    s.dayTimeStartMs = s.dayTimeEndMs = -1;
    s.windowToLoad = -1;
    s.mainSymbol = QStringLiteral("?");
    s.subSymbol = QStringLiteral("c");
    s.spendLimit = -1;
    s.sensingMode = -1;
    s.deviceToSense = QStringLiteral("/dev/ttyS2");
    return s;
}
} // namespace

class TestMeterSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    SettingsFile withContent(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("Dialtaly.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return SettingsFile(path);
    }

private slots:
    void noFileGivesTheDefaults() {
        MeterSettings s = sentinel();
        s.subSymbol.clear();
        QCOMPARE(readMeterSettings(SettingsFile(m_dir.filePath(QStringLiteral("none.ini"))),
                                   QStringLiteral("/prog"), s),
                 QString());
        QCOMPARE(s.activeRateName, QStringLiteral("Active Rate File Incorrectly Set"));
        QCOMPARE(s.dayTimeStartMs, Noon);
        QCOMPARE(s.dayTimeEndMs, Noon);
        QCOMPARE(s.windowToLoad, 0);
        QCOMPARE(s.soundFiles[SettingsKeys::SpendSound], QStringLiteral("/prog/SpendLimit.wav"));
        QVERIFY(s.soundOn[SettingsKeys::StartSound] && s.playSounds && s.queryExit && s.spendWarningOn);
        QCOMPARE(s.spendLimit, 1.0);
        QCOMPARE(s.mainSymbol, QStringLiteral("\u00a3"));
        QCOMPARE(s.subSymbol, QString()); // the meter has no default of its own
        QCOMPARE(s.sensingMode, 0);
        QCOMPARE(s.deviceToSense, QStringLiteral("/dev/ttyS1"));
    }

    void values() {
        MeterSettings s = sentinel();
        const SettingsFile ini = withContent("[Telephone Rate Information]\n"
                                             "ActiveRateFile=\n"
                                             "DayTimeStart= 8:30\n"
                                             "DayTimeEnd=18:00\n"
                                             "[Sound Event Information]\n"
                                             "StartOn=0\n"
                                             "[Default Setup Information]\n"
                                             "SpendWarning= 2.50\n"
                                             "MainSymbol=\xa4XY\n"
                                             "Auto Call Sensing=7\n"
                                             "Port To Sense=0\n");
        QCOMPARE(readMeterSettings(ini, QStringLiteral("/p"), s), QString());
        QCOMPARE(s.activeRateName, QString());
        QCOMPARE(s.dayTimeStartMs, (8 * 60 + 30) * 60 * 1000);
        QCOMPARE(s.dayTimeEndMs, 18 * 3600 * 1000);
        QVERIFY(!s.soundOn[SettingsKeys::StartSound]);
        QVERIFY(s.soundOn[SettingsKeys::StopSound]);
        QCOMPARE(s.spendLimit, 2.5);
        QCOMPARE(s.mainSymbol, QStringLiteral("\u00a4"));
        QCOMPARE(s.subSymbol, QStringLiteral("c")); // absent: kept
        QCOMPARE(s.sensingMode, 0);
        QCOMPARE(s.deviceToSense, QStringLiteral("/dev/ttyS2")); // 0 is no port: kept
    }

    void badValueStopsTheReading_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("startRead");
        QTest::addColumn<bool>("timesRead"); // and everything before the spend limit
        QTest::newRow("bad start")
            << QByteArray("[Telephone Rate Information]\nDayTimeStart=25:00\n[Default Setup Information]\n"
                          "QueryExit=0\nWindowToLoad=2\nSubSymbol=p\n")
            << "'25:00' is not a valid time" << false << false;
        QTest::newRow("bad end")
            << QByteArray("[Telephone Rate Information]\nDayTimeEnd=12:60\n[Default Setup Information]\n"
                          "QueryExit=0\nWindowToLoad=2\nSubSymbol=p\n")
            << "'12:60' is not a valid time" << true << false;
        QTest::newRow("bad spend limit")
            << QByteArray("[Default Setup "
                          "Information]\nSpendWarning=1,00\nQueryExit=0\nWindowToLoad=2\nSubSymbol=p\n")
            << "'1,00' is not a valid floating point value" << true << true;
    }
    void badValueStopsTheReading() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(bool, startRead);
        QFETCH(bool, timesRead);
        MeterSettings s = sentinel();
        s.queryExit = true;
        QCOMPARE(readMeterSettings(withContent(content), QStringLiteral("/p"), s), message);
        QCOMPARE(s.dayTimeStartMs, startRead ? Noon : -1);
        QCOMPARE(s.dayTimeEndMs, timesRead ? Noon : -1);
        QCOMPARE(s.windowToLoad, timesRead ? 2 : -1);
        QCOMPARE(s.queryExit, !timesRead);
        QCOMPARE(s.spendLimit, -1.0);
        QCOMPARE(s.subSymbol, QStringLiteral("c"));
        QCOMPARE(s.sensingMode, -1);
    }

    void timeOfDay_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("hh:mm") << "12:00" << Noon;
        QTest::newRow("blank-led") << " 8:30" << 30600000;
        QTest::newRow("h:mm") << "8:30" << 30600000;
        QTest::newRow("seconds") << "08:30:15" << 30615000;
        QTest::newRow("last minute") << "23:59" << 86340000;
        QTest::newRow("hour 24") << "24:00" << -1;
        QTest::newRow("minute 60") << "12:60" << -1;
        QTest::newRow("empty mask") << "  :  " << -1;
        QTest::newRow("letters") << "noon" << -1;
    }
    void timeOfDay() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(parseTimeOfDay(text).value_or(-1), ms);
    }

    void deviceToSenseIsRead_data() {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("device");
        const QByteArray byId =
            "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0";
        QTest::newRow("neither: the second port") << QByteArray() << "/dev/ttyS1";
        QTest::newRow("port 1") << QByteArray("Port To Sense=1\n") << "/dev/ttyS0";
        QTest::newRow("port 4") << QByteArray("Port To Sense=4\n") << "/dev/ttyS3";
        QTest::newRow("port 0") << QByteArray("Port To Sense=0\n") << "";
        QTest::newRow("port 5") << QByteArray("Port To Sense=5\n") << "";
        QTest::newRow("by-id device") << "Port To Sense=2\nDevice To Sense=" + byId + "\n" << QString(byId);
        QTest::newRow("device, no port")
            << QByteArray("Port To Sense=0\nDevice To Sense=/dev/ttyACM0\n") << "/dev/ttyACM0";
        QTest::newRow("number changed by a writer that knows only it")
            << QByteArray("Port To Sense=3\nDevice To Sense=/dev/ttyS0\n") << "/dev/ttyS2";
        QTest::newRow("numbered device, number out of range")
            << QByteArray("Port To Sense=7\nDevice To Sense=/dev/ttyS0\n") << "/dev/ttyS0";
        QTest::newRow("empty device key")
            << QByteArray("Port To Sense=4\nDevice To Sense=\n") << "/dev/ttyS3";
    }
    void deviceToSenseIsRead() {
        QFETCH(QByteArray, keys);
        QFETCH(QString, device);
        QCOMPARE(SensedDevice::read(withContent("[Default Setup Information]\n" + keys)), device);
    }

    void deviceToSenseIsWrittenWithItsNumber_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QByteArray>("written");
        const QString byId =
            QStringLiteral("/dev/serial/by-id/usb-\u00c9lan_Modem-if00"); // not Latin-1 clean
        QTest::newRow("first port") << "/dev/ttyS0"
                                    << QByteArray("Port To Sense=1\r\nDevice To Sense=/dev/ttyS0\r\n");
        QTest::newRow("fourth port") << "/dev/ttyS3"
                                     << QByteArray("Port To Sense=4\r\nDevice To Sense=/dev/ttyS3\r\n");
        QTest::newRow("fifth: no number")
            << "/dev/ttyS4" << QByteArray("Port To Sense=2\r\nDevice To Sense=/dev/ttyS4\r\n");
        QTest::newRow("by-id") << byId
                               << "Port To Sense=2\r\nDevice To Sense=" +
                                      byId.toUtf8().replace("\xc3\x89", "\xc9") + "\r\n";
        QTest::newRow("none: nothing changes") << QString() << QByteArray("Port To Sense=2\r\n");
    }
    void deviceToSenseIsWrittenWithItsNumber() {
        QFETCH(QString, device);
        QFETCH(QByteArray, written);
        const SettingsFile ini = withContent("[Default Setup Information]\r\nPort To Sense=2\r\n");
        QVERIFY(SensedDevice::write(ini, device));
        QFile file(m_dir.filePath(QStringLiteral("Dialtaly.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[Default Setup Information]\r\n" + written);
        QCOMPARE(SensedDevice::read(ini), device.isEmpty() ? QStringLiteral("/dev/ttyS1") : device);
    }
};

QTEST_GUILESS_MAIN(TestMeterSettings)
#include "test_metersettings.moc"
