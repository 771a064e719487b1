#include "system/XdgAutostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAutostart : public QObject {
    Q_OBJECT
private slots:
    void entry_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/opt/dialtally/dialtally"
                               << "Exec=/opt/dialtally/dialtally\n";
        QTest::newRow("blank") << "/opt/my apps/dialtally"
                               << "Exec=\"/opt/my apps/dialtally\"\n";
        QTest::newRow("dollar and percent") << "/opt/a $b/100%"
                                            << "Exec=\"/opt/a \\\\$b/100%%\"\n";
    }
    void entry() {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QTemporaryDir dir;
        XdgAutostart autostart(dir.path());
        QCOMPARE(autostart.entryPath(), dir.path() + QStringLiteral("/autostart/dialtally-pro.desktop"));
        QVERIFY(!autostart.exists());
        QCOMPARE(autostart.enable(program), QString());
        QVERIFY(autostart.exists());
        // The menu entry, starting this program, with the autostart key.
        QFile menuEntry(QStringLiteral(":/dialtally-pro.desktop"));
        QVERIFY(menuEntry.open(QIODevice::ReadOnly));
        const QString expected =
            QString::fromUtf8(menuEntry.readAll()).replace(QStringLiteral("Exec=dialtally\n"), exec) +
            QStringLiteral("X-GNOME-Autostart-enabled=true\n");
        QFile f(autostart.entryPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), expected);
        autostart.disable();
        QVERIFY(!autostart.exists());
        autostart.disable(); // absent: nothing happens
    }

    void directoryCannotBeMade() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        XdgAutostart autostart(dir.path());
        QCOMPARE(autostart.enable(QStringLiteral("/x")),
                 QStringLiteral("Failed to create key %1/autostart").arg(dir.path()));
        QVERIFY(!autostart.exists());
    }

    void followsXdgConfigHome() {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        QCOMPARE(XdgAutostart().entryPath(), dir.path() + QStringLiteral("/autostart/dialtally-pro.desktop"));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "test_autostart.moc"
