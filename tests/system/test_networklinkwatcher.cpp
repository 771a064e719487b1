#include "core/calllog/CallLog.h"
#include "core/meter/CallMeter.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePrompter.h"
#include "system/NetworkLinkWatcher.h"
#include "system/Rtnetlink.h"

#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Netlink's numbers are in the host's byte order.
QByteArray u16(quint16 value) {
    return QByteArray(reinterpret_cast<const char*>(&value), 2);
}
QByteArray u32(quint32 value) {
    return QByteArray(reinterpret_cast<const char*>(&value), 4);
}
QByteArray attribute(quint16 type, const QByteArray& payload) {
    QByteArray bytes = u16(quint16(4 + payload.size())) + u16(type) + payload;
    while (bytes.size() % 4)
        bytes += '\0';
    return bytes;
}
// A header (its length unless told, kind, flags, sequence, sender) and a body.
QByteArray message(quint16 kind, quint32 sequence, const QByteArray& body, int length = -1) {
    return u32(quint32(length < 0 ? 16 + body.size() : length)) + u16(kind) + u16(0) + u32(sequence) +
           u32(0) + body;
}
// A link's body: family, device type (ppp), index, flags, the flags changed, then its attributes.
QByteArray linkBody(qint32 index, quint32 flags, const QByteArray& attributes) {
    return QByteArray(2, '\0') + u16(512) + u32(quint32(index)) + u32(flags) + u32(0xffffffff) + attributes;
}
constexpr quint16 NewLink = 16, DelLink = 17, Done = 3, Error = 2, NewAddress = 20, GetLink = 18;
constexpr quint16 IfName = 3, Carrier = 33;
constexpr quint32 Up = 0x1, Running = 0x40;
const QByteArray Ppp0 = attribute(IfName, QByteArray("ppp0", 5));

QString stateOf(const NetworkLinks::Link& link) {
    QStringList words;
    if (link.up)
        words << QStringLiteral("up");
    if (link.running)
        words << QStringLiteral("running");
    words << QStringLiteral("carrier") + (!link.carrier   ? QStringLiteral(" ?")
                                          : *link.carrier ? QStringLiteral(" on")
                                                          : QStringLiteral(" off"));
    return words.join(u' ');
}

QStringList described(const Rtnetlink::Datagram& datagram) {
    QStringList lines;
    for (const Rtnetlink::Message& m : datagram.messages) {
        switch (m.kind) {
        case Rtnetlink::Message::NewLink:
        case Rtnetlink::Message::DelLink:
            lines << QStringLiteral("%1 %2 '%3' %4 #%5")
                         .arg(m.kind == Rtnetlink::Message::NewLink ? "new" : "del")
                         .arg(m.link.index)
                         .arg(m.link.name, stateOf(m.link))
                         .arg(m.sequence);
            break;
        case Rtnetlink::Message::Done:
            lines << QStringLiteral("done #%1").arg(m.sequence);
            break;
        case Rtnetlink::Message::Error:
            lines << QStringLiteral("error %1 #%2").arg(m.error).arg(m.sequence);
            break;
        }
    }
    if (datagram.damaged)
        lines << QStringLiteral("damaged");
    return lines;
}

// Holds a TUN device attached, which keeps its carrier on until let go.
class TunCarrier {
public:
    ~TunCarrier() { letGo(); }
    bool attach(const char* name) {
        m_fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        ifreq request{};
        std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
        request.ifr_flags = IFF_TUN | IFF_NO_PI;
        return ::ioctl(m_fd, TUNSETIFF, &request) == 0;
    }
    void letGo() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

} // namespace

class TestNetworkLinkWatcher : public QObject {
    Q_OBJECT

    QString m_ip;
    QString m_noNetwork; // why links cannot be made here; empty when they can

    bool ip(const QString& arguments, bool quiet = false) {
        QProcess process;
        process.start(m_ip, arguments.split(u' '));
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            if (!quiet)
                qWarning("ip %s: %s", qPrintable(arguments), process.readAllStandardError().constData());
            return false;
        }
        return true;
    }

private slots:
    // The test moves to a network of its own, where links are made and
    // removed without touching the machine's.
    void initTestCase() {
        m_ip = QStandardPaths::findExecutable(QStringLiteral("ip"));
        if (m_ip.isEmpty())
            m_ip = QStandardPaths::findExecutable(QStringLiteral("ip"), {"/usr/sbin", "/sbin"});
        if (m_ip.isEmpty())
            m_noNetwork = QStringLiteral("the ip command (iproute2) is not installed");
        else if (::unshare(CLONE_NEWNET) != 0)
            m_noNetwork =
                QStringLiteral("no network namespace can be made here (%1): run as root, as CI does")
                    .arg(qt_error_string(errno));
        else if (::access("/dev/net/tun", R_OK | W_OK) != 0)
            m_noNetwork = QStringLiteral("/dev/net/tun cannot be used: %1").arg(qt_error_string(errno));
    }
    // What a failed test left behind.
    void cleanup() {
        if (m_noNetwork.isEmpty()) {
            ip(QStringLiteral("link del ppp0"), true);
            ip(QStringLiteral("link del dsl0"), true);
        }
    }

    void messagesAreRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QByteArray upLink =
            message(NewLink, 0, linkBody(3, Up | Running, Ppp0 + attribute(Carrier, QByteArray(1, '\1'))));
        QTest::newRow("a link up with its carrier")
            << upLink << QStringList{"new 3 'ppp0' up running carrier on #0"};
        QTest::newRow("a link removed, the list's end and an error")
            << message(DelLink, 0, linkBody(3, 0, Ppp0)) + message(Done, 7, u32(0)) +
                   message(Error, 7, u32(quint32(-16)) + QByteArray(16, '\0'))
            << QStringList{"del 3 'ppp0' carrier ? #0", "done #7", "error 16 #7"};
        QTest::newRow("other kinds passed over")
            << message(NewAddress, 0, QByteArray(8, '\0')) + message(NewLink, 9, linkBody(4, Up, {}))
            << QStringList{"new 4 '' up carrier ? #9"};
        QTest::newRow("a name without its end")
            << message(NewLink, 0, linkBody(3, 0, attribute(IfName, "abcdefghijklmnopqrstu")))
            << QStringList{"new 3 'abcdefghijklmnop' carrier ? #0"};
        QTest::newRow("a carrier without its byte")
            << message(NewLink, 0, linkBody(3, 0, attribute(Carrier, {})))
            << QStringList{"new 3 '' carrier ? #0"};
        QTest::newRow("cut short") << upLink.left(upLink.size() - 6) << QStringList{"damaged"};
        QTest::newRow("a length past the end")
            << message(NewLink, 0, linkBody(3, Up, Ppp0), 200) << QStringList{"damaged"};
        QTest::newRow("a length shorter than a header")
            << message(NewLink, 0, linkBody(3, Up, Ppp0), 8) << QStringList{"damaged"};
        QTest::newRow("too short for a link")
            << message(NewLink, 0, QByteArray(8, '\0')) << QStringList{"damaged"};
        QTest::newRow("an attribute past its message")
            << message(NewLink, 0, linkBody(3, Up, u16(40) + u16(IfName) + "ppp0")) + message(Done, 1, u32(0))
            << QStringList{"done #1", "damaged"};
        QTest::newRow("index 0 is no link")
            << message(NewLink, 0, linkBody(0, Up, Ppp0)) << QStringList{"damaged"};
        QTest::newRow("an error too short") << message(Error, 7, u32(0)) << QStringList{"damaged"};
        QTest::newRow("stray bytes after the last")
            << upLink + QByteArray(3, '\0')
            << QStringList{"new 3 'ppp0' up running carrier on #0", "damaged"};
        QTest::newRow("nothing") << QByteArray() << QStringList{};
    }
    void messagesAreRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(described(Rtnetlink::parse(bytes)), expected);
    }

    void theListOfLinksIsAskedFor() {
        const QByteArray expected =
            u32(32) + u16(GetLink) + u16(0x0301) + u32(5) + u32(0) + QByteArray(16, '\0');
        QCOMPARE(Rtnetlink::linkDumpRequest(5), expected);
    }

    // Out of descriptors: the watch says why, and works once it can.
    void linksThatCannotBeWatchedSaySo() {
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
        int lowestFree = 0;
        while (::fcntl(lowestFree, F_GETFD) != -1)
            ++lowestFree;
        rlimit low = old;
        low.rlim_cur = rlim_t(lowestFree);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        NetworkLinkWatcher watcher;
        const bool opened = watcher.open([](const NetworkLinks::Link&, NetworkLinks::Change) {});
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &old), 0);
        QVERIFY(!opened);
        QVERIFY(!watcher.isOpen());
        QCOMPARE(watcher.failure(),
                 QStringLiteral("network link events cannot be read: ") + qt_error_string(EMFILE));
        QVERIFY(watcher.open([](const NetworkLinks::Link&, NetworkLinks::Change) {}));
        QCOMPARE(watcher.failure(), QString());
    }

    // The kernel's own news, from a TUN device standing in for pppd's link.
    void theKernelsNewsIsRead() {
        if (!m_noNetwork.isEmpty())
            QSKIP(qPrintable(m_noNetwork));
        QVERIFY(ip("tuntap add dev ppp0 mode tun"));
        NetworkLinkWatcher watcher;
        QHash<int, NetworkLinks::Link> links;
        QStringList firstLook;
        QVERIFY(watcher.open([&](const NetworkLinks::Link& link, NetworkLinks::Change change) {
            if (change == NetworkLinks::Change::Gone)
                links.remove(link.index);
            else
                links.insert(link.index, link);
            if (change == NetworkLinks::Change::FirstLook)
                firstLook << link.name;
        }));
        const auto state = [&](const QString& name) {
            for (const NetworkLinks::Link& link : std::as_const(links))
                if (link.name == name)
                    return stateOf(link);
            return QStringLiteral("gone");
        };
        QTRY_COMPARE(state("ppp0"), QStringLiteral("carrier off"));
        QCOMPARE(firstLook, (QStringList{"lo", "ppp0"}));
        QVERIFY(ip("link set ppp0 up"));
        QTRY_COMPARE(state("ppp0"), QStringLiteral("up carrier off"));
        TunCarrier tun;
        QVERIFY(tun.attach("ppp0"));
        QTRY_COMPARE(state("ppp0"), QStringLiteral("up running carrier on"));
        tun.letGo();
        QTRY_COMPARE(state("ppp0"), QStringLiteral("up carrier off"));
        QVERIFY(ip("link set ppp0 down"));
        QVERIFY(ip("link set ppp0 name dsl0"));
        QTRY_COMPARE(state("dsl0"), QStringLiteral("carrier off"));
        QCOMPARE(state("ppp0"), QStringLiteral("gone"));
        QVERIFY(ip("link del dsl0"));
        QTRY_COMPARE(state("dsl0"), QStringLiteral("gone"));
        QCOMPARE(firstLook.size(), 2);
    }

    // Through the meter as the program has it: a link brought up and down is
    // timed and logged with its length, also when it goes down under a box,
    // and so is one removed mid-call.
    void aDialUpLinkIsTimedAndLogged() {
        if (!m_noNetwork.isEmpty())
            QSKIP(qPrintable(m_noNetwork));
        QTemporaryDir dir;
        QVERIFY(SettingsFile(ProgramFiles::settingsPath(dir.path()))
                    .WriteSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::AutoCallSensing, 3));
        FakeClock clock;
        clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        FakePrompter prompter;
        NetworkLinkWatcher watcher;
        Services services;
        services.programDirectory = dir.path();
        services.stateDirectory = dir.filePath(QStringLiteral("state"));
        services.clock = &clock;
        services.prompter = &prompter;
        services.links = &watcher;
        QVERIFY(ip("tuntap add dev ppp0 mode tun"));
        QVERIFY(ip("link set ppp0 up"));
        CallMeter meter(services, [] { return 0; });
        meter.ReadIniSettings();
        meter.startLineAndSound();
        QVERIFY(watcher.isOpen());

        // With no rate file the start shows a box; the link goes down while it is open.
        TunCarrier tun;
        bool timedUnderTheBox = false;
        prompter.whileOpen = [&] {
            timedUnderTheBox = meter.isTiming() && !meter.startedByHand();
            clock.advance(90000);
            tun.letGo();
            QTRY_VERIFY(!meter.isTiming());
        };
        QVERIFY(tun.attach("ppp0"));
        QTRY_COMPARE(prompter.errors.size(), 1);
        QVERIFY(timedUnderTheBox);
        QVERIFY(!meter.isTiming());

        QVERIFY(tun.attach("ppp0"));
        QTRY_VERIFY(meter.isTiming());
        clock.advance(30000);
        QVERIFY(ip("link del ppp0"));
        QTRY_VERIFY(!meter.isTiming());

        QList<qint64> lengths;
        for (const CallRecord& call : CallLog(ProgramFiles::callLogPath(dir.path())).readAll())
            lengths << qRound64(call.duration * 86400000.0);
        QCOMPARE(lengths, (QList<qint64>{90000, 30000}));
        QCOMPARE(meter.sensingProblem(), QString());
    }
};

QTEST_GUILESS_MAIN(TestNetworkLinkWatcher)
#include "test_networklinkwatcher.moc"
