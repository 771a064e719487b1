#include "fakes/MockModemManager.h"
#include "fakes/PrivateBus.h"
#include "system/ModemManagerLineMonitor.h"

#include <QTest>

#include <memory>

namespace {

// Event waits, not timings: generous so a loaded machine still passes.
constexpr int Wait = 30000;

constexpr quint32 D = LineMonitor::Dialing;
constexpr quint32 C = LineMonitor::Connected;
constexpr quint32 X = LineMonitor::Disconnected;
constexpr quint32 I = LineMonitor::Idle;

// A monitor on the (private) system bus that records what it reports.
struct Line {
    ModemManagerLineMonitor monitor;
    QList<quint32> states;
    QList<quint32> handles;

    bool open() {
        return monitor.open([this](quint32 handle, quint32 state) {
            handles << handle;
            states << state;
        });
    }
    // The distinct handles reported, in order.
    QList<quint32> sessions() const {
        QList<quint32> distinct;
        for (quint32 h : handles) {
            if (!distinct.contains(h))
                distinct << h;
        }
        return distinct;
    }
};

} // namespace

class TestModemManagerLineMonitor : public QObject {
    Q_OBJECT
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<MockModemManager> m_mm;
    std::unique_ptr<Line> m_line;

    MockModemManager& startModemManager() {
        m_mm = std::make_unique<MockModemManager>();
        if (!m_mm->isConnected() || !m_mm->start())
            qFatal("the mock ModemManager could not take its name");
        return *m_mm;
    }
    Line& openLine() {
        m_line = std::make_unique<Line>();
        if (!m_line->open())
            qFatal("the monitor did not open on the private bus");
        return *m_line;
    }

private slots:
    void initTestCase() {
        // Before anything touches QDBusConnection::systemBus().
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isRunning(), "dbus-daemon did not start");
    }
    void cleanup() {
        m_line.reset();
        m_mm.reset();
    }
    void cleanupTestCase() { m_bus.reset(); }

    void callEnds_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("call terminated") << "terminated";
        QTest::newRow("call deleted") << "deleted";
        QTest::newRow("voice interface removed") << "voice";
        QTest::newRow("modem removed") << "modem";
        QTest::newRow("ModemManager gone") << "service";
    }
    // A dialled call reports each state once with one handle, whatever ends
    // it; after that the line is watched again and the next call is new.
    void callEnds() {
        QFETCH(QString, ending);
        MockModemManager& mm = startModemManager();
        mm.addModem(0);
        Line& line = openLine();
        QVERIFY(line.monitor.isOpen());
        const int call = mm.addOutgoingCall(0);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D}), Wait);
        mm.setCallState(call, mm::CallStateRingingOut);
        mm.setCallState(call, mm::CallStateActive);
        mm.setCallState(call, mm::CallStateHeld);
        mm.setCallState(call, mm::CallStateActive);
        if (ending == "terminated")
            mm.setCallState(call, mm::CallStateTerminated);
        else if (ending == "deleted")
            mm.deleteCall(call);
        else if (ending == "voice")
            mm.setVoice(0, false);
        else if (ending == "modem")
            mm.removeModem(0);
        else
            mm.stop();
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C, X, I}), Wait);
        // An ended call that is still listed must not come back.
        mm.setCallState(call, mm::CallStateTerminated);
        QCOMPARE(line.sessions().size(), 1);
        QVERIFY(line.handles.first() != 0);

        if (ending == "service")
            QVERIFY(mm.start());
        if (ending == "modem")
            mm.addModem(0);
        if (ending == "voice")
            mm.setVoice(0, true);
        mm.addOutgoingCall(0);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C, X, I, D}), Wait);
        QCOMPARE(line.sessions().size(), 2);
        QVERIFY(line.handles.last() != 0);
    }

    void callsIgnored_data() {
        QTest::addColumn<int>("modem");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("state");
        QTest::newRow("incoming") << 0 << int(mm::CallDirectionIncoming) << int(mm::CallStateRingingIn);
        QTest::newRow("unknown direction") << 0 << int(mm::CallDirectionUnknown) << int(mm::CallStateDialing);
        QTest::newRow("terminated when first seen")
            << 0 << int(mm::CallDirectionOutgoing) << int(mm::CallStateTerminated);
        QTest::newRow("on another modem") << 1 << int(mm::CallDirectionOutgoing) << int(mm::CallStateDialing);
    }
    // The ignored call runs alongside a dialled one; only the dialled one shows.
    void callsIgnored() {
        QFETCH(int, modem);
        QFETCH(int, direction);
        QFETCH(int, state);
        MockModemManager& mm = startModemManager();
        mm.addModem(0);
        mm.addModem(1);
        Line& line = openLine();
        const int ignored = mm.addCall(modem, direction, state);
        const int dialled = mm.addOutgoingCall(0);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D}), Wait);
        mm.setCallState(ignored, mm::CallStateActive);
        mm.setCallState(dialled, mm::CallStateActive);
        mm.setCallState(ignored, mm::CallStateTerminated);
        mm.deleteCall(ignored);
        mm.setCallState(dialled, mm::CallStateTerminated);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C, X, I}), Wait);
        QCOMPARE(line.sessions().size(), 1);
    }

    void dialledCallNeverConnects() {
        MockModemManager& mm = startModemManager();
        mm.addModem(0);
        Line& line = openLine();
        const int call = mm.addOutgoingCall(0);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D}), Wait);
        mm.setCallState(call, mm::CallStateRingingOut);
        mm.setCallState(call, mm::CallStateTerminated);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, X, I}), Wait);
        QCOMPARE(line.sessions().size(), 1);
    }

    void dataConnection_data() {
        QTest::addColumn<int>("initial");
        QTest::addColumn<QList<int>>("changes");
        QTest::addColumn<QList<quint32>>("expected");
        QTest::newRow("connects and disconnects")
            << int(mm::ModemStateRegistered)
            << QList<int>{mm::ModemStateConnecting, mm::ModemStateConnected, mm::ModemStateDisconnecting,
                          mm::ModemStateRegistered}
            << QList<quint32>{D, C, X, I};
        QTest::newRow("fails to connect")
            << int(mm::ModemStateRegistered) << QList<int>{mm::ModemStateConnecting, mm::ModemStateRegistered}
            << QList<quint32>{D, X, I};
        QTest::newRow("online before watching: only the next connection")
            << int(mm::ModemStateConnected)
            << QList<int>{mm::ModemStateDisconnecting, mm::ModemStateRegistered, mm::ModemStateConnecting}
            << QList<quint32>{D};
    }
    void dataConnection() {
        QFETCH(int, initial);
        QFETCH(QList<int>, changes);
        QFETCH(QList<quint32>, expected);
        MockModemManager& mm = startModemManager();
        mm.addModem(0, initial, false);
        Line& line = openLine();
        QTRY_VERIFY_WITH_TIMEOUT(mm.callsServed("GetManagedObjects") > 0, Wait);
        for (int state : changes)
            mm.setModemState(0, state);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, expected, Wait);
        QCOMPARE(line.sessions().size(), 1);
    }

    // "Device 0" is the lowest modem number, kept until that modem goes away.
    void lowestModemWatched() {
        MockModemManager& mm = startModemManager();
        mm.addModem(10);
        mm.addModem(9);
        Line& line = openLine();
        mm.addOutgoingCall(10);
        const int call = mm.addOutgoingCall(9);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D}), Wait);
        QCOMPARE(line.monitor.modemPath(), MockModemManager::modemPath(9));

        mm.addModem(8);
        mm.setModemState(8, mm::ModemStateConnecting);
        mm.setCallState(call, mm::CallStateActive);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C}), Wait);

        // Modem 8 is next, already connecting.
        mm.removeModem(9);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C, X, I, D}), Wait);
        mm.setModemState(10, mm::ModemStateConnected);
        mm.setModemState(8, mm::ModemStateConnected);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D, C, X, I, D, C}), Wait);
        QCOMPARE(line.monitor.modemPath(), MockModemManager::modemPath(8));
        QCOMPARE(line.sessions().size(), 2);
    }

    // Nothing to watch yet: open succeeds, says ModemManager is not running,
    // and ModemManager and a modem turning up later are picked up; when it
    // goes, that is said again.
    void modemManagerAppearsLater() {
        Line& line = openLine();
        QVERIFY(line.monitor.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(line.monitor.failure(), QStringLiteral("ModemManager is not running"),
                                  Wait);
        MockModemManager& mm = startModemManager();
        mm.addModem(3);
        mm.addOutgoingCall(3);
        QTRY_COMPARE_WITH_TIMEOUT(line.states, (QList<quint32>{D}), Wait);
        QCOMPARE(line.monitor.modemPath(), MockModemManager::modemPath(3));
        QCOMPARE(line.monitor.failure(), QString());
        mm.stop();
        QTRY_COMPARE_WITH_TIMEOUT(line.monitor.failure(), QStringLiteral("ModemManager is not running"),
                                  Wait);
    }

    void noBus() {
        ModemManagerLineMonitor monitor(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/dialtally-test-bus"), "none"));
        bool reported = false;
        QVERIFY(!monitor.open([&](quint32, quint32) { reported = true; }));
        QVERIFY(!monitor.isOpen());
        QVERIFY2(monitor.failure().startsWith(QStringLiteral("there is no system bus")),
                 qPrintable(monitor.failure()));
        monitor.close();
        QVERIFY(!reported);
    }

    // A closed monitor reports nothing more; a second one on the same bus
    // shows the reports were there to be had.
    void closeStopsReports() {
        MockModemManager& mm = startModemManager();
        mm.addModem(0);
        Line& closing = openLine();
        Line other;
        QVERIFY(other.open());
        // One that closes itself from inside its first report.
        ModemManagerLineMonitor selfClosing;
        QList<quint32> selfClosingStates;
        QVERIFY(selfClosing.open([&](quint32, quint32 state) {
            selfClosingStates << state;
            selfClosing.close();
        }));
        const int call = mm.addOutgoingCall(0);
        QTRY_COMPARE_WITH_TIMEOUT(other.states, (QList<quint32>{D}), Wait);
        QTRY_COMPARE_WITH_TIMEOUT(closing.states, (QList<quint32>{D}), Wait);
        QTRY_COMPARE_WITH_TIMEOUT(selfClosingStates, (QList<quint32>{D}), Wait);
        closing.monitor.close();
        QVERIFY(!closing.monitor.isOpen());
        mm.setCallState(call, mm::CallStateActive);
        mm.setCallState(call, mm::CallStateTerminated);
        QTRY_COMPARE_WITH_TIMEOUT(other.states, (QList<quint32>{D, C, X, I}), Wait);
        QCOMPARE(closing.states, (QList<quint32>{D}));
        QCOMPARE(selfClosingStates, (QList<quint32>{D}));
        QVERIFY(!selfClosing.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestModemManagerLineMonitor)
#include "test_modemmanagerlinemonitor.moc"
