// What watching a dial-up network link costs: the wake-ups it adds while
// nothing changes, and how long a link's carrier coming on takes to start the
// meter. Runs in a network namespace of its own (root, as `make bench` in CI),
// with a TUN device named ppp0 standing in for pppd's link.
//   dialtally_bench_link [SECONDS idle] [CALLS]      (5 and 200 unless told)
#include "SilentPrompter.h"

#include "core/meter/CallMeter.h"
#include "core/seams/Clock.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"
#include "system/NetworkLinkWatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

class TimerEventCounter : public QObject {
public:
    QObject* ignored = nullptr;
    long long count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer && watched != ignored)
            ++count;
        return false;
    }
};

// This thread's voluntary context switches: how often it went to sleep and was woken.
long long wakeUps() {
    QFile status(QStringLiteral("/proc/thread-self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(24).trimmed().toLongLong();
    return -1;
}

int tunAttached(const char* name) {
    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request{};
    std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    if (fd >= 0 && ::ioctl(fd, TUNSETIFF, &request) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// Switches the link on or off, as pppd does when a call is made or ends.
bool switchLink(const char* name, bool up) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    bool done = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = short(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
    done = done && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// Runs the event loop until the meter's timing is as wanted; false after the limit.
bool waitForTiming(CallMeter& meter, bool timing, int limitMs) {
    if (meter.isTiming() == timing)
        return true;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&meter, &CallMeter::timingChanged, &loop, [&](bool now) {
        if (now == timing)
            loop.quit();
    });
    limit.start(limitMs);
    loop.exec();
    return meter.isTiming() == timing;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int calls = argc > 2 ? std::max(1, atoi(argv[2])) : 200;
    QString ip = QStandardPaths::findExecutable(QStringLiteral("ip"));
    if (ip.isEmpty())
        ip = QStandardPaths::findExecutable(QStringLiteral("ip"), {"/usr/sbin", "/sbin"});
    if (ip.isEmpty() || ::unshare(CLONE_NEWNET) != 0) {
        std::printf("link sensing: skipped, %s\n", ip.isEmpty()
                                                       ? "no ip command (iproute2)"
                                                       : "no network namespace of its own (run as root)");
        return 0;
    }
    if (QProcess::execute(ip, {"tuntap", "add", "dev", "ppp0", "mode", "tun"}) != 0 ||
        QProcess::execute(ip, {"link", "set", "ppp0", "up"}) != 0) {
        std::fputs("link sensing: ppp0 cannot be made\n", stderr);
        return 1;
    }

    QTemporaryDir dir;
    RateTable rates;
    for (QString& text : rates.texts)
        text = QStringLiteral(" 1.00");
    const SettingsFile settings(ProgramFiles::settingsPath(dir.path()));
    if (!writeRateFile(ProgramFiles::rateFilePath(dir.path(), QStringLiteral("Bench")), rates) ||
        !settings.WriteSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile,
                                     QStringLiteral("Bench")) ||
        !settings.WriteSettingInteger(SettingsKeys::DefaultsSection, SettingsKeys::AutoCallSensing, 3)) {
        std::fputs("link sensing: the data directory cannot be written\n", stderr);
        return 1;
    }
    SystemClock clock;
    SilentPrompter prompter;
    NetworkLinkWatcher watcher;
    Services services;
    services.programDirectory = dir.path();
    services.stateDirectory = dir.filePath(QStringLiteral("state"));
    services.clock = &clock;
    services.prompter = &prompter;
    services.links = &watcher;
    CallMeter meter(services);
    meter.ReadIniSettings();
    meter.startLineAndSound();
    if (!watcher.isOpen()) {
        std::fprintf(stderr, "link sensing: %s\n", qPrintable(meter.sensingProblem()));
        return 1;
    }

    // Idle: the line watched, nothing changing. The meter's own status tick
    // (start()) is left out: it runs in every mode.
    TimerEventCounter timers;
    QTimer stop;
    timers.ignored = &stop;
    app.installEventFilter(&timers);
    QEventLoop idle;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, &idle, &QEventLoop::quit);
    QCoreApplication::processEvents();
    timers.count = 0;
    const long long before = wakeUps();
    stop.start(idleSeconds * 1000);
    idle.exec();
    const long long woken = wakeUps() - before - 1; // the end of the wait is one
    std::printf("link sensing idle:    %.2f timer wake-ups/s, %.2f wake-ups/s of the thread (%d s)\n",
                double(timers.count) / idleSeconds, double(std::max(0LL, woken)) / idleSeconds, idleSeconds);
    std::fflush(stdout);

    // From the carrier coming on to the meter timing.
    std::vector<double> ms;
    QElapsedTimer elapsed;
    for (int i = 0; i < calls; ++i) {
        elapsed.start();
        const int fd = tunAttached("ppp0");
        if (fd < 0 || !waitForTiming(meter, true, 1000)) {
            std::fputs("link sensing: the meter did not start\n", stderr);
            return 1;
        }
        ms.push_back(double(elapsed.nsecsElapsed()) / 1e6);
        // Switched off to end the call: the kernel tells of a carrier lost up
        // to a second late, of a link switched off at once.
        const bool off = switchLink("ppp0", false);
        ::close(fd);
        if (!off || !waitForTiming(meter, false, 1000) || !switchLink("ppp0", true)) {
            std::fprintf(stderr, "link sensing: the meter did not stop (call %d)\n", i + 1);
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2], p99 = ms[ms.size() * 99 / 100], worst = ms.back();
    std::printf("link sensing start:   median %.3f ms, 99%% %.3f ms, worst %.3f ms over %d calls: %s\n",
                median, p99, worst, calls, p99 <= 10.0 ? "within 10 ms" : "OVER 10 ms");
    return 0;
}
