// The notification icon's rules, seen from what reaches the desktop.
#include "fakes/FakeTrayIcon.h"

#include <QTest>

class TestTrayIcon : public QObject {
    Q_OBJECT

private slots:
    // Repeats are not sent again (see the views' test); before the icon is
    // added and after it is gone, nothing is sent at all.
    void nothingReachesTheDesktopUnlessShown() {
        FakeTrayIcon icon;
        icon.TrayIconSetImageAndTip(QStringLiteral("mini3"), QStringLiteral("early"));
        icon.TrayIconAdd(1, QStringLiteral("mini"), QStringLiteral("Scanning"));
        icon.TrayIconRemove();
        icon.TrayIconSetImage(QStringLiteral("mini2"));
        QCOMPARE(icon.calls, (QStringList{QStringLiteral("add mini|Scanning"), QStringLiteral("remove")}));
    }

    void tipIsCutTo63Characters_data() {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("shown");
        const QString long63 = QString(60, QLatin1Char('r')) + QStringLiteral(" - ");
        QTest::newRow("63 kept") << long63 << long63;
        QTest::newRow("64 cut") << long63 + QLatin1Char('x') << long63;
        // A character of two UTF-16 units across the cut goes whole.
        const QString pairAtCut = QString(62, QLatin1Char('r')) + QStringLiteral("\U0001F4DE tail");
        QTest::newRow("no half character") << pairAtCut << QString(62, QLatin1Char('r'));
    }
    void tipIsCutTo63Characters() {
        QFETCH(QString, tip);
        QFETCH(QString, shown);
        FakeTrayIcon icon;
        icon.TrayIconAdd(1, QStringLiteral("mini"), QString());
        icon.TrayIconSetTip(tip);
        QCOMPARE(icon.TrayIconTip(), shown);
        QCOMPARE(icon.calls.last(), QStringLiteral("tip ") + shown);
    }
};

QTEST_GUILESS_MAIN(TestTrayIcon)
#include "test_trayicon.moc"
