// Desktop notifications on a private session bus, received by python-dbusmock's
// notification daemon; without it, the tray icon's balloon, else nothing.
#include "system/DesktopNotifier.h"

#include "fakes/FakeTrayIcon.h"
#include "fakes/MockNotificationDaemon.h"
#include "fakes/PrivateBus.h"

#include <QSignalSpy>
#include <QTest>

namespace {
using Route = DesktopNotifier::Route;
// A rate name and a symbol may hold what markup would take for its own.
const QString Text = QStringLiteral("R&B <Saver>: \u00a331.00 of \u00a330.00 this month");
} // namespace

class TestDesktopNotifier : public QObject {
    Q_OBJECT

    // Before anything asks for the session bus.
    PrivateBus m_bus{PrivateBus::Kind::Session};

    static Route deliver(DesktopNotifier& notifier, const QString& title, const QString& text) {
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
        notifier.notify(title, text, QStringLiteral("dialog-warning"));
        if (delivered.isEmpty() && !delivered.wait(30000))
            return Route(-1);
        return delivered.at(0).at(0).value<Route>();
    }

private slots:
    void initTestCase() { QVERIFY(m_bus.isRunning()); }

    void toTheDesktopsService_data() {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("a service that reads markup") << QStringList() << Text.toHtmlEscaped();
        QTest::newRow("a service of plain text") << QStringList{QStringLiteral("body")} << Text;
    }
    void toTheDesktopsService() {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        MockNotificationDaemon daemon(m_bus.address(), capabilities);
        QVERIFY2(daemon.start(), qPrintable(daemon.errorText()));
        FakeTrayIcon tray;
        tray.TrayIconAdd(1, QStringLiteral("mini"), QStringLiteral("Dialtally Pro"));
        DesktopNotifier notifier(&tray);
        QCOMPARE(deliver(notifier, QStringLiteral("This month's budget is spent"), Text), Route::Desktop);
        const QList<MockNotificationDaemon::Notify> calls = daemon.notifyCalls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].appName, QStringLiteral("Dialtally Pro"));
        QCOMPARE(calls[0].replacesId, 0u);
        QCOMPARE(calls[0].appIcon, QStringLiteral("dialtally-pro"));
        QCOMPARE(calls[0].summary, QStringLiteral("This month's budget is spent"));
        QCOMPARE(calls[0].body, body);
        QCOMPARE(calls[0].actions, QStringList());
        QCOMPARE(calls[0].hints.value(QStringLiteral("image-path")).toString(),
                 QStringLiteral("dialog-warning"));
        QCOMPARE(calls[0].hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("dialtally-pro"));
        QCOMPARE(calls[0].expireTimeout, DesktopNotifier::ShowFor);
        QVERIFY(!tray.calls.join(QLatin1Char('\n')).contains(QLatin1String("message")));
    }

    void withoutTheService_data() {
        QTest::addColumn<bool>("bus");     // false: no session bus at all
        QTest::addColumn<QString>("tray"); // "shown", "no balloons", "hidden", "none"
        QTest::addColumn<int>("route");
        QTest::newRow("the balloon") << true << "shown" << int(Route::Balloon);
        QTest::newRow("no bus: the balloon") << false << "shown" << int(Route::Balloon);
        QTest::newRow("a tray without balloons") << true << "no balloons" << int(Route::Nowhere);
        QTest::newRow("an icon not shown") << true << "hidden" << int(Route::Nowhere);
        QTest::newRow("no tray") << false << "none" << int(Route::Nowhere);
    }
    void withoutTheService() {
        QFETCH(bool, bus);
        QFETCH(QString, tray);
        QFETCH(int, route);
        FakeTrayIcon icon;
        icon.showsMessages = tray != QLatin1String("no balloons");
        if (tray != QLatin1String("hidden"))
            icon.TrayIconAdd(1, QStringLiteral("mini"), QStringLiteral("Dialtally Pro"));
        icon.calls.clear();
        const QDBusConnection connection =
            bus ? QDBusConnection::sessionBus()
                : QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                QStringLiteral("none"));
        DesktopNotifier notifier(tray == QLatin1String("none") ? nullptr : &icon, connection);
        QCOMPARE(int(deliver(notifier, QStringLiteral("Spend Limit"), Text)), route);
        const QStringList shown = route == int(Route::Balloon)
                                      ? QStringList{QStringLiteral("message Spend Limit|") + Text}
                                      : QStringList();
        QCOMPARE(icon.calls, shown);
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "test_desktopnotifier.moc"
