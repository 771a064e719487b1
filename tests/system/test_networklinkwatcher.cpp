#include "core/calllog/CallLog.h"
#include "core/meter/CallMeter.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePrompter.h"
#include "system/NetworkLinkWatcher.h"
#include "system/Rtnetlink.h"

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
template <typename T> QByteArray bytes(T value) {
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}
QByteArray attribute(quint16 type, const QByteArray& payload) {
    QByteArray a = bytes(quint16(4 + payload.size())) + bytes(type) + payload;
    return a + QByteArray((4 - a.size() % 4) % 4, '\0');
}
// A header (its length unless told, kind, flags, sequence, sender), then the body.
QByteArray message(quint16 kind, quint32 sequence, const QByteArray& body, int length = -1) {
    return bytes(quint32(length < 0 ? 16 + body.size() : length)) + bytes(kind) + bytes(quint16(0)) +
           bytes(sequence) + bytes(quint32(0)) + body;
}
// A link: family, device type (ppp), index, flags, the flags changed, then its attributes.
QByteArray link(qint32 index, quint32 flags, const QByteArray& attributes) {
    return QByteArray(2, '\0') + bytes(quint16(512)) + bytes(index) + bytes(flags) + bytes(~0u) + attributes;
}
constexpr quint16 NewLink = 16, DelLink = 17, Done = 3, Error = 2, NewAddress = 20;
constexpr quint16 IfName = 3, Carrier = 33;
constexpr quint32 Up = 0x1, Running = 0x40;
const QByteArray Ppp0 = attribute(IfName, QByteArray("ppp0", 5));

QStringList described(const Rtnetlink::Datagram& datagram) {
    QStringList lines;
    for (const Rtnetlink::Message& m : datagram.messages) {
        const NetworkLinks::Link& l = m.link;
        const QString carrier = !l.carrier ? "?" : *l.carrier ? "on" : "off";
        const QString kinds[] = {"new", "del", "done", "error"};
        lines << QStringLiteral("%1 #%2").arg(kinds[m.kind]).arg(m.sequence) +
                     (m.kind == Rtnetlink::Message::Error ? QStringLiteral(" %1").arg(m.error)
                      : m.kind == Rtnetlink::Message::Done
                          ? QString()
                          : QStringLiteral(" %1 '%2' %3%4carrier %5")
                                .arg(l.index)
                                .arg(l.name, l.up ? "up " : "", l.running ? "running " : "", carrier));
    }
    return datagram.damaged ? lines << QStringLiteral("damaged") : lines;
}

// Attached, a TUN device has its carrier on; let go, off.
int attachTun(const char* name) {
    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request{};
    std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    return fd >= 0 && ::ioctl(fd, TUNSETIFF, &request) == 0 ? fd : -1;
}

} // namespace

class TestNetworkLinkWatcher : public QObject {
    Q_OBJECT

    QString m_noNetwork; // why links cannot be made here; empty when they can

    static bool ip(const QString& arguments) {
        return QProcess::execute(QStringLiteral("ip"), arguments.split(u' ')) == 0;
    }

private slots:
    // The test moves to a network of its own, to make and remove links there.
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty())
            m_noNetwork = QStringLiteral("the ip command (iproute2) is not installed");
        else if (::unshare(CLONE_NEWNET) != 0)
            m_noNetwork =
                QStringLiteral("no network namespace can be made here (%1): run as root, as CI does")
                    .arg(qt_error_string(errno));
        else if (::access("/dev/net/tun", R_OK | W_OK) != 0)
            m_noNetwork = QStringLiteral("/dev/net/tun cannot be used: %1").arg(qt_error_string(errno));
    }

    void messagesAreRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QByteArray up = message(NewLink, 0, link(3, Up | Running, Ppp0 + attribute(Carrier, "\1")));
        const QString upText = "new #0 3 'ppp0' up running carrier on";
        QTest::newRow("a link up with its carrier") << up << QStringList{upText};
        QTest::newRow("a link removed, the list's end, an error")
            << message(DelLink, 0, link(3, 0, Ppp0)) + message(Done, 7, bytes(0)) +
                   message(Error, 7, bytes(-16) + QByteArray(16, '\0'))
            << QStringList{"del #0 3 'ppp0' carrier ?", "done #7", "error #7 16"};
        QTest::newRow("other kinds passed over")
            << message(NewAddress, 0, QByteArray(8, '\0')) +
                   message(NewLink, 9, link(4, Up, attribute(Carrier, {})))
            << QStringList{"new #9 4 '' up carrier ?"};
        QTest::newRow("a name without its end")
            << message(NewLink, 0, link(3, 0, attribute(IfName, "abcdefghijklmnopq")))
            << QStringList{"new #0 3 'abcdefghijklmnop' carrier ?"};
        QTest::newRow("cut short") << up.chopped(6) << QStringList{"damaged"};
        QTest::newRow("a length past the end")
            << message(NewLink, 0, link(3, Up, Ppp0), 200) << QStringList{"damaged"};
        QTest::newRow("too short for a link")
            << message(NewLink, 0, QByteArray(8, '\0')) << QStringList{"damaged"};
        QTest::newRow("an attribute past its message")
            << message(NewLink, 0, link(3, Up, bytes(quint16(40)) + bytes(IfName) + "ppp0")) +
                   message(Done, 1, bytes(0))
            << QStringList{"done #1", "damaged"};
        QTest::newRow("index 0") << message(NewLink, 0, link(0, Up, Ppp0)) << QStringList{"damaged"};
        QTest::newRow("an error too short") << message(Error, 7, bytes(0)) << QStringList{"damaged"};
        QTest::newRow("stray bytes at the end") << up + QByteArray(3, '\0') << QStringList{upText, "damaged"};
        QTest::newRow("nothing") << QByteArray() << QStringList{};
    }
    void messagesAreRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QCOMPARE(described(Rtnetlink::parse(bytes)), expected);
    }

    void theListOfLinksIsAskedFor() {
        QCOMPARE(Rtnetlink::linkDumpRequest(5),
                 message(18, 5, QByteArray(16, '\0')).replace(6, 2, bytes(quint16(0x301))));
    }

    // Out of descriptors: the watch says why, and works once it can.
    void linksThatCannotBeWatchedSaySo() {
        rlimit old{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &old), 0);
        rlimit low = old;
        for (low.rlim_cur = 0; ::fcntl(int(low.rlim_cur), F_GETFD) != -1; ++low.rlim_cur) {
        }
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        NetworkLinkWatcher watcher;
        const auto nothing = [](const NetworkLinks::Link&, NetworkLinks::Change) {};
        const bool opened = watcher.open(nothing);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &old), 0);
        QVERIFY(!opened && !watcher.isOpen());
        QCOMPARE(watcher.failure(), "network link events cannot be read: " + qt_error_string(EMFILE));
        QVERIFY(watcher.open(nothing));
        QCOMPARE(watcher.failure(), QString());
    }

    // The real watcher and meter, with a TUN device for pppd's link: a link
    // up at the start is not timed; one brought up and down is timed and logged
    // with its length, also when it goes down under a box, and so is one
    // removed mid-call.
    void aDialUpLinkIsTimedAndLogged() {
        if (!m_noNetwork.isEmpty())
            QSKIP(qPrintable(m_noNetwork));
        QTemporaryDir dir;
        QVERIFY(SettingsFile(ProgramFiles::settingsPath(dir.path()))
                    .WriteSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::AutoCallSensing, 3));
        FakeClock clock;
        FakePrompter prompter;
        NetworkLinkWatcher watcher;
        Services services;
        services.programDirectory = dir.path();
        services.stateDirectory = dir.filePath(QStringLiteral("state"));
        services.clock = &clock;
        services.prompter = &prompter;
        services.links = &watcher;
        CallMeter meter(services, [] { return 0; });
        // A connection already up at the start is not timed.
        QVERIFY(ip("tuntap add dev ppp0 mode tun") && ip("link set ppp0 up"));
        int tun = attachTun("ppp0");
        meter.ReadIniSettings();
        meter.startLineAndSound();
        QVERIFY(ip("link set ppp0 down"));
        ::close(tun);
        QVERIFY(ip("link set ppp0 up"));

        // With no rate file the start shows a box.
        bool timedUnderTheBox = false;
        prompter.whileOpen = [&] {
            timedUnderTheBox = meter.isTiming() && !meter.startedByHand();
            clock.advance(90000);
            ::close(tun);
            QTRY_VERIFY(!meter.isTiming());
        };
        QVERIFY((tun = attachTun("ppp0")) >= 0);
        QTRY_COMPARE(prompter.errors.size(), 1);
        QVERIFY(timedUnderTheBox);

        QVERIFY((tun = attachTun("ppp0")) >= 0);
        QTRY_VERIFY(meter.isTiming());
        clock.advance(30000);
        QVERIFY(ip("link del ppp0"));
        QTRY_VERIFY(!meter.isTiming());
        ::close(tun);

        QList<qint64> lengths;
        for (const CallRecord& call : CallLog(ProgramFiles::callLogPath(dir.path())).readAll())
            lengths << qRound64(call.duration * 86400000.0);
        QCOMPARE(lengths, (QList<qint64>{90000, 30000}));
    }
};

QTEST_GUILESS_MAIN(TestNetworkLinkWatcher)
#include "test_networklinkwatcher.moc"
