// The use count in the settings file (the window places are tested with the
// views that keep them).
#include "core/settings/ShellSettings.h"

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
};

QTEST_GUILESS_MAIN(TestShellSettings)
#include "test_shellsettings.moc"
