#include "core/settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

class TestSettingsFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString withContent(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("Dialtaly.ini"));
        QFile f(path);
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    static QByteArray raw(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void readString_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray sound = "[Sound Event Information]\r\nStartOn=1\r\n  Start =  /a b/c.wav  \r\n";
        QTest::newRow("key in another case") << sound << "Sound Event Information"
                                             << "StartON"
                                             << "1";
        QTest::newRow("section in another case") << sound << "SOUND EVENT information"
                                                 << "starton"
                                                 << "1";
        QTest::newRow("blanks trimmed") << sound << "Sound Event Information"
                                        << "Start"
                                        << "/a b/c.wav";
        QTest::newRow("missing key") << sound << "Sound Event Information"
                                     << "Stop"
                                     << "DEF";
        QTest::newRow("missing section") << sound << "Other"
                                         << "StartOn"
                                         << "DEF";
        QTest::newRow("key of a later section") << QByteArray("[A]\nx=1\n[B]\ny=2\n") << "A"
                                                << "y"
                                                << "DEF";
        QTest::newRow("present but empty") << QByteArray("[R]\nActiveRateFile=\n") << "R"
                                           << "ActiveRateFile"
                                           << "";
        QTest::newRow("Windows-1252 text") << QByteArray("[D]\nMainSymbol=\xa3\n") << "D"
                                           << "MainSymbol"
                                           << "\u00a3";
        QTest::newRow("comment is no key") << QByteArray("[D]\n;x=1\n") << "D"
                                           << ";x"
                                           << "DEF";
        QTest::newRow("value cut to 1023") << QByteArray("[D]\nlong=") + QByteArray(2000, 'v') << "D"
                                           << "long" << QString(1023, QLatin1Char('v'));
    }
    void readString() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const SettingsFile ini(withContent(content));
        QCOMPARE(ini.ReadSettingString(section, key, QStringLiteral("DEF")), value);
    }

    void readInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("0x10") << "0x10" << 16;
        QTest::newRow("0X1f") << "0X1f" << 31;
        QTest::newRow("$1F") << "$1F" << 31;
        QTest::newRow("0x alone") << "0x" << 7;
        QTest::newRow("$ alone") << "$" << 7;
        QTest::newRow("letters") << "abc" << 7;
        QTest::newRow("digits then letters") << "12abc" << 7;
        QTest::newRow("empty") << "" << 7;
        QTest::newRow("above 32 bits") << "2147483648" << 7;
        QTest::newRow("lowest") << "-2147483648" << INT_MIN;
        QTest::newRow("minus 2 to the 63") << "-9223372036854775808" << 7;
        QTest::newRow("above 64 bits") << "18446744073709551616" << 7;
        QTest::newRow("hex pattern") << "$FFFFFFFF" << -1;
    }
    void readInteger() {
        QFETCH(QString, text);
        QFETCH(int, value);
        const SettingsFile ini(withContent("[D]\nn=" + text.toLatin1() + "\n"));
        QCOMPARE(ini.ReadSettingInteger(QStringLiteral("D"), QStringLiteral("n"), 7), value);
    }

    void readBool() {
        const SettingsFile ini(withContent("[D]\nzero=0\ntwo=2\nbad=yes\n"));
        const QString d = QStringLiteral("D");
        QCOMPARE(ini.ReadSettingBool(d, QStringLiteral("zero"), true), false);
        QCOMPARE(ini.ReadSettingBool(d, QStringLiteral("two"), false), true);
        QCOMPARE(ini.ReadSettingBool(d, QStringLiteral("bad"), true), true);
        QCOMPARE(ini.ReadSettingBool(d, QStringLiteral("bad"), false), false);
    }

    void missingFileGivesDefaults() {
        const SettingsFile ini(m_dir.filePath(QStringLiteral("absent.ini")));
        QCOMPARE(ini.ReadSettingString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(ini.ReadSettingInteger(QStringLiteral("a"), QStringLiteral("b"), 2), 2);
    }

    void writeKeepsEverythingElse() {
        const QString path = withContent("; written by hand\r\n"
                                         "[Default Setup Information]\r\n"
                                         "MainSymbol=$\r\n"
                                         "QueryExit=1\r\n"
                                         "\r\n"
                                         "[Sound Event Information]\r\n"
                                         "PlaySounds=1\r\n");
        const SettingsFile ini(path);
        QVERIFY(ini.WriteSettingString(QStringLiteral("default setup information"),
                                       QStringLiteral("mainsymbol"), QStringLiteral("\u00a3")));
        QVERIFY(ini.WriteSettingInteger(QStringLiteral("Default Setup Information"),
                                        QStringLiteral("Port To Sense"), 3));
        QVERIFY(
            ini.WriteSettingBool(QStringLiteral("Telephone Rate Information"), QStringLiteral("X"), false));
        QCOMPARE(raw(path), QByteArray("; written by hand\r\n"
                                       "[Default Setup Information]\r\n"
                                       "mainsymbol=\xa3\r\n"
                                       "QueryExit=1\r\n"
                                       "Port To Sense=3\r\n"
                                       "\r\n"
                                       "[Sound Event Information]\r\n"
                                       "PlaySounds=1\r\n"
                                       "\r\n"
                                       "[Telephone Rate Information]\r\n"
                                       "X=0\r\n"));
        QCOMPARE(ini.ReadSettingString(QStringLiteral("Default Setup Information"),
                                       QStringLiteral("MainSymbol"), QString()),
                 QStringLiteral("\u00a3"));
    }

    // A file from Windows is read and written back byte for byte; a value
    // Windows-1252 cannot hold turns the whole file to UTF-8, losing nothing.
    void textInAnyLanguage() {
        const QByteArray windows = "[D]\r\nMainSymbol=\xa3\r\nQueryExit=1\r\n";
        const QString path = withContent(windows);
        const SettingsFile ini(path);
        const QString d = QStringLiteral("D");
        QVERIFY(ini.WriteSettingInteger(d, QStringLiteral("QueryExit"), 1));
        QCOMPARE(raw(path), windows);

        const QString sound = QStringLiteral("/home/\u041f\u0451\u0442\u0440/\u0437\u0432\u0443\u043a.wav");
        QVERIFY(ini.WriteSettingString(d, QStringLiteral("Start"), sound));
        QCOMPARE(raw(path), "[D]\r\nMainSymbol=\xc2\xa3\r\nQueryExit=1\r\nStart=" + sound.toUtf8() + "\r\n");
        QCOMPARE(ini.ReadSettingString(d, QStringLiteral("Start"), QString()), sound);
        QCOMPARE(ini.ReadSettingString(d, QStringLiteral("MainSymbol"), QString()), QStringLiteral("\u00a3"));

        QVERIFY(ini.WriteSettingString(d, QStringLiteral("Start"), QStringLiteral("a.wav")));
        QCOMPARE(raw(path), "[D]\r\nMainSymbol=\xa3\r\nQueryExit=1\r\nStart=a.wav\r\n");
    }

    void writeCreatesTheFile() {
        const QString path = m_dir.filePath(QStringLiteral("new.ini"));
        const SettingsFile ini(path);
        QVERIFY(ini.WriteSettingString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a\nb")));
        QCOMPARE(raw(path), QByteArray("[S]\nK=a b\n"));
    }

    void writeFailures() {
        // Under a plain file nothing can be created.
        withContent("[S]\nK=1\n");
        const SettingsFile impossible(m_dir.filePath(QStringLiteral("Dialtaly.ini/x.ini")));
        QVERIFY(
            !impossible.WriteSettingString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2")));
        QCOMPARE(impossible.failureText().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Unable to write to ") + impossible.path());
        QVERIFY(!impossible.failureText().section(QLatin1Char('\n'), 1).isEmpty()); // the reason

        const QString path = withContent("[S]\nK=1\n");
        QFile::setPermissions(path, QFile::ReadOwner);
        QFile probe(path);
        if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
            QSKIP("running with rights that ignore a read-only file");
        const SettingsFile readOnly(path);
        QVERIFY(!readOnly.WriteSettingString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("2")));
        QCOMPARE(raw(path), QByteArray("[S]\nK=1\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
