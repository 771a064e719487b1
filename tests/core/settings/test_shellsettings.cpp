// The use count and the remembered window places in the settings file.
#include "core/settings/ShellSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Defaults = QStringLiteral("Default Setup Information");
}

class TestShellSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SettingsFile file() const { return SettingsFile(m_dir.filePath(QStringLiteral("Dialtaly.ini"))); }

private slots:
    void init() { QFile::remove(file().path()); }

    // Only the low 16 bits of the count matter, read unsigned.
    void firstUseCount_data() {
        QTest::addColumn<QString>("stored"); // empty: no key
        QTest::addColumn<bool>("first");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("no file") << QString() << true << 1;
        QTest::newRow("0") << QStringLiteral("0") << true << 1;
        QTest::newRow("1") << QStringLiteral("1") << false << 2;
        QTest::newRow("65535") << QStringLiteral("65535") << false << 65536;
        QTest::newRow("65536 comes round") << QStringLiteral("65536") << true << 1;
        QTest::newRow("-1 is 65535") << QStringLiteral("-1") << false << 65536;
        QTest::newRow("not a number") << QStringLiteral("lots") << true << 1;
    }
    void firstUseCount() {
        QFETCH(QString, stored);
        QFETCH(bool, first);
        QFETCH(int, storedAfter);
        if (!stored.isEmpty())
            QVERIFY(file().WriteSettingString(Defaults, QStringLiteral("Times Used"), stored));
        bool written = false;
        QCOMPARE(ShellSettings::FirstUseOfProg(file(), &written), first);
        QVERIFY(written);
        QCOMPARE(file().ReadSettingInteger(Defaults, QStringLiteral("Times Used"), -1), storedAfter);
    }

    // Each view reads back where it was saved, under keys that say what they hold.
    void positionsRoundTrip_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("leftKey");
        QTest::addColumn<QString>("topKey");
        QTest::newRow("normal") << 0 << QStringLiteral("Normal Window Left Position")
                                << QStringLiteral("Normal Window Top Position");
        QTest::newRow("small box") << 1 << QStringLiteral("SmallBox Window Left Position")
                                   << QStringLiteral("SmallBox Window Top Position");
    }
    void positionsRoundTrip() {
        QFETCH(int, mode);
        QFETCH(QString, leftKey);
        QFETCH(QString, topKey);
        QCOMPARE(ShellSettings::LoadWindowPosition(file(), mode), QPoint(100, 100));
        QVERIFY(ShellSettings::SaveWindowPosition(file(), mode, QPoint(-20, 650)));
        QCOMPARE(file().ReadSettingInteger(Defaults, leftKey, 0), -20);
        QCOMPARE(file().ReadSettingInteger(Defaults, topKey, 0), 650);
        QCOMPARE(ShellSettings::LoadWindowPosition(file(), mode), QPoint(-20, 650));
        QVERIFY(file().WriteSettingString(Defaults, topKey, QStringLiteral("high")));
        QCOMPARE(ShellSettings::LoadWindowPosition(file(), mode), QPoint(-20, 100));
    }

    void otherViewsHaveNoPlace() {
        for (int mode : {2, 3}) {
            QVERIFY(ShellSettings::SaveWindowPosition(file(), mode, QPoint(5, 5)));
            QVERIFY(!ShellSettings::LoadWindowPosition(file(), mode));
        }
        QVERIFY(!QFile::exists(file().path()));
    }
};

QTEST_GUILESS_MAIN(TestShellSettings)
#include "test_shellsettings.moc"
