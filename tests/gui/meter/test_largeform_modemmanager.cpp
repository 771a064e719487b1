// The main window in telephony mode against a ModemManager stand-in on a
// private bus: a dialled call is timed from connection to its end and logged.
#include "LargeFormFixture.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/CallNumbers.h"
#include "fakes/MockModemManager.h"
#include "fakes/PrivateBus.h"
#include "system/ModemManagerLineMonitor.h"

#include <QAbstractButton>
#include <QPushButton>

namespace {
constexpr int Wait = 20000; // event waits on a loaded machine, not timings
}

class TestLargeFormModemManager : public QObject, LargeFormFixture {
    Q_OBJECT
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<MockModemManager> m_mm;
    std::unique_ptr<ModemManagerLineMonitor> m_monitor;

private slots:
    void initTestCase() {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isRunning(), "dbus-daemon did not start");
    }
    void init() {
        reset();
        set("Default Setup Information", "Auto Call Sensing", QStringLiteral("2"));
        m_mm = std::make_unique<MockModemManager>();
        QVERIFY(m_mm->isConnected() && m_mm->start());
        m_monitor = std::make_unique<ModemManagerLineMonitor>();
        services.line = m_monitor.get();
    }
    void cleanup() {
        m_monitor.reset();
        m_mm.reset();
    }
    void cleanupTestCase() { m_bus.reset(); }

    void dialledCallIsTimedAndLogged() {
        m_mm->addModem(0);
        auto w = makeWindow();
        QVERIFY(m_monitor->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(m_mm->callsServed(QStringLiteral("GetManagedObjects")) > 0, Wait);
        QTRY_COMPARE_WITH_TIMEOUT(m_monitor->modemPath(), MockModemManager::modemPath(0), Wait);

        const int call = m_mm->addOutgoingCall(0);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().dialingSeen(), Wait);
        QVERIFY(!w->meter().isTiming());
        m_mm->setCallState(call, mm::CallStateActive);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().isTiming(), Wait);
        QVERIFY(!w->meter().startedByHand());

        clock.advance(90000);
        m_mm->setCallState(call, mm::CallStateTerminated);
        QTRY_VERIFY_WITH_TIMEOUT(!w->meter().isTiming(), Wait);
        const auto records = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(records.size(), size_t(1));
        QCOMPARE(DayCount::toMs(records[0].duration), qint64(90000));
        QVERIFY(!w->meter().dialingSeen());
    }

    // The call's Number property, when it is a number, sets the distance from
    // the plan as the call connects and is logged beside the call.
    void dialledNumberSetsTheDistanceAndIsLogged_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("logged");
        QTest::newRow("abroad") << "+33 1 23 45 67 89"
                                << "IntRadio"
                                << "+33123456789";
        QTest::newRow("a mobile") << "07700 900123"
                                  << "NatRadio"
                                  << "07700900123";
        QTest::newRow("not a number") << "+33 1 <script>"
                                      << "LocRadio"
                                      << "";
        QTest::newRow("far too long") << QString(5000, u'1') << "LocRadio"
                                      << "";
    }
    void dialledNumberSetsTheDistanceAndIsLogged() {
        QFETCH(QString, number);
        QFETCH(QString, chosen);
        QFETCH(QString, logged);
        set("Number Plan", "CountryCode", QStringLiteral("44"));
        set("Number Plan", "Rules", QStringLiteral("00 International, 07 National, 0 National"));
        m_mm->addModem(0);
        auto w = makeWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_monitor->modemPath(), MockModemManager::modemPath(0), Wait);
        const int call = m_mm->addOutgoingCall(0, mm::CallStateDialing, number);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().dialingSeen(), Wait);
        m_mm->setCallState(call, mm::CallStateActive);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().isTiming(), Wait);
        QVERIFY(child<QAbstractButton>(*w, chosen.toLatin1().constData())->isChecked());
        m_mm->setCallState(call, mm::CallStateTerminated);
        QTRY_VERIFY_WITH_TIMEOUT(!w->meter().isTiming(), Wait);
        const auto records = CallLog(path(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(records.size(), size_t(1));
        const CallNumbers numbers =
            *CallNumbers::read(CallNumberLog(path(QStringLiteral("CallNumbers.log"))));
        const int index = numbers.indexOf(records[0].date);
        QCOMPARE(index < 0 ? QString() : numbers.numbers()[index], logged);
    }

    void incomingCallIsNotTimed() {
        m_mm->addModem(0);
        auto w = makeWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_monitor->modemPath(), MockModemManager::modemPath(0), Wait);
        const int call = m_mm->addIncomingCall(0);
        m_mm->setCallState(call, mm::CallStateActive);
        // A dialled call after it shows the line was being read all along.
        const int dialled = m_mm->addOutgoingCall(0);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().dialingSeen(), Wait);
        QVERIFY(!w->meter().isTiming());
        m_mm->setCallState(dialled, mm::CallStateActive);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().isTiming(), Wait);
    }

    void modemRemovedMidCallStopsTheMeter() {
        m_mm->addModem(0);
        auto w = makeWindow();
        QTRY_COMPARE_WITH_TIMEOUT(m_monitor->modemPath(), MockModemManager::modemPath(0), Wait);
        const int call = m_mm->addOutgoingCall(0);
        m_mm->setCallState(call, mm::CallStateActive);
        QTRY_VERIFY_WITH_TIMEOUT(w->meter().isTiming(), Wait);
        m_mm->removeModem(0);
        QTRY_VERIFY_WITH_TIMEOUT(!w->meter().isTiming(), Wait);
        QCOMPARE(CallLog(path(QStringLiteral("Calls.log"))).readAll().size(), size_t(1));
    }
};

QTEST_MAIN(TestLargeFormModemManager)
#include "test_largeform_modemmanager.moc"
