#include "system/SerialCarrierSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// How many of this process's descriptors are open on the given file.
int openDescriptors(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target)
            ++count;
    return count;
}

} // namespace

class TestSerialCarrierSource : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString device(int index) const { return m_dir.filePath(QStringLiteral("tty%1").arg(index)); }
    void makeFile(const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void init() {
        for (int i = -2; i <= 5; ++i)
            QFile::remove(device(i));
    }

    void noDeviceReadsNothing() {
        SerialCarrierSource source;
        QCOMPARE(source.readStatus(QString()), quint8(0));
        QCOMPARE(source.readStatus(QString()), quint8(0));
        QCOMPARE(source.takeError(), QString());
    }

    void unreadableDeviceIsReportedOnce_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << false << ENOENT;
        QTest::newRow("not a terminal") << true << ENOTTY;
    }
    void unreadableDeviceIsReportedOnce() {
        QFETCH(bool, exists);
        QFETCH(int, error);
        if (exists)
            makeFile(device(1));
        SerialCarrierSource source;
        QCOMPARE(source.readStatus(device(1)), quint8(0));
        QCOMPARE(source.takeError(), device(1) + QStringLiteral(": ") + qt_error_string(error));
        QCOMPARE(source.takeError(), QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(source.readStatus(device(1)), quint8(0));
        QCOMPARE(source.takeError(), QString());
        QCOMPARE(source.failure(), device(1) + QStringLiteral(": ") + qt_error_string(error)); // still so
        QCOMPARE(openDescriptors(device(1)), 0);
    }

    void newFailuresAreReported() {
        SerialCarrierSource source;
        QCOMPARE(source.readStatus(device(0)), quint8(0));
        QVERIFY(source.takeError().startsWith(device(0) + QStringLiteral(": ")));
        // Another reason on the same device.
        makeFile(device(0));
        QCOMPARE(source.readStatus(device(0)), quint8(0));
        QCOMPARE(source.takeError(), device(0) + QStringLiteral(": ") + qt_error_string(ENOTTY));
        // Another device, then back: both are told again.
        QCOMPARE(source.readStatus(device(2)), quint8(0));
        QVERIFY(source.takeError().startsWith(device(2) + QStringLiteral(": ")));
        QCOMPARE(source.readStatus(device(0)), quint8(0));
        QCOMPARE(source.takeError(), device(0) + QStringLiteral(": ") + qt_error_string(ENOTTY));
        // No device between counts as a change too.
        QCOMPARE(source.readStatus(QString()), quint8(0));
        QCOMPARE(source.readStatus(device(0)), quint8(0));
        QVERIFY(!source.takeError().isEmpty());
    }

    // A pseudo-terminal has no modem lines on Linux; whatever the system does with it, the reading
    // is a plain status byte and a failure is told once.
    void pseudoTerminal() {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(ptsname(master));
        QVERIFY(QFile::link(slave, device(0)));

        SerialCarrierSource source;
        for (int i = 0; i < 3; ++i) {
            const quint8 status = source.readStatus(device(0));
            QVERIFY(status == 0 || status == CarrierSource::CarrierDetectMask);
            const QString error = source.takeError();
            if (i == 0)
                QCOMPARE(source.failure(), error); // failing for as long as reads fail, else nothing
            if (i == 0 && !error.isEmpty()) {
                QVERIFY(error.startsWith(device(0) + QStringLiteral(": ")));
                QCOMPARE(status, quint8(0));
            } else {
                QCOMPARE(error, QString());
            }
        }
        QCOMPARE(openDescriptors(slave), 0); // never held between reads
        ::close(master);
    }

    // Only where the machine has a serial port that answers TIOCMGET.
    void workingPortIsNeverHeld() {
        const QByteArray first = "/dev/ttyS0";
        const int probe = ::open(first.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
        int bits = 0;
        const bool works = probe >= 0 && ::ioctl(probe, TIOCMGET, &bits) == 0;
        if (probe >= 0)
            ::close(probe);
        if (!works)
            QSKIP("no serial port here answers TIOCMGET");

        SerialCarrierSource source;
        for (int i = 0; i < 3; ++i) {
            const quint8 status = source.readStatus(QString::fromLatin1(first));
            QCOMPARE(status, quint8((bits & TIOCM_CD) ? 0x80 : 0));
            QCOMPARE(openDescriptors(QString::fromLatin1(first)), 0);
        }
        QCOMPARE(source.takeError(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSerialCarrierSource)
#include "test_serialcarriersource.moc"
