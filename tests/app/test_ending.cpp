// The program in processes of its own: one copy per user, never blocked by
// someone else, and a call logged however signals end it.
#include "app/SingleInstance.h"
#include "core/calllog/CallLog.h"
#include "core/settings/SettingsFile.h"
#include "fakes/SampleCall.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int Wait = 20000; // a loaded machine, not a timing
const QString Defaults = QStringLiteral("Default Setup Information");
const QString Program = QStringLiteral(DIALTALLY_PROGRAM);

// The files of a directory with their times and sizes.
QStringList snapshot(const QString& directory) {
    QStringList files;
    for (const QFileInfo& info : QDir(directory).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        files << QStringLiteral("%1 %2 %3")
                     .arg(info.fileName(), info.lastModified().toString(Qt::ISODateWithMs))
                     .arg(info.size());
    return files;
}

mode_t modeOf(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool makeFolder(const QString& path, mode_t mode) {
    return ::mkdir(QFile::encodeName(path).constData(), mode) == 0 &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

} // namespace

class TestEnding : public QObject {
    Q_OBJECT

    QTemporaryDir m_data, m_runtime;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("DIALTALLY_DIR"), m_data.path());
        return env;
    }
    void start(QProcess& copy, const QProcessEnvironment& env) const {
        copy.setProcessEnvironment(env);
        copy.start(Program, {});
        QVERIFY(copy.waitForStarted(Wait));
    }
    void end(QProcess& copy) const {
        ::kill(pid_t(copy.processId()), SIGTERM);
        QVERIFY(copy.waitForFinished(Wait));
        QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.exitCode(), 0);
    }
    // The signal child, sent the signal once it says `ready`, ends in order.
    void endChild(const QStringList& arguments, const QByteArray& ready, int signalNumber) const {
        QProcess child;
        child.setProcessEnvironment(environment());
        child.start(QStringLiteral(SIGNAL_CHILD), arguments);
        while (!child.canReadLine())
            QVERIFY(child.waitForReadyRead(Wait));
        QCOMPARE(child.readLine().trimmed(), ready);
        ::kill(pid_t(child.processId()), signalNumber);
        QVERIFY(child.waitForFinished(Wait));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }
    SettingsFile settings() const { return SettingsFile(m_data.filePath(QStringLiteral("Dialtaly.ini"))); }
    int timesUsed() const { return settings().ReadSettingInteger(Defaults, QStringLiteral("Times Used"), 0); }

private slots:
    void init() {
        QDir(m_data.path()).removeRecursively();
        QDir().mkpath(m_data.path());
        QVERIFY(settings().WriteSettingInteger(Defaults, QStringLiteral("Times Used"), 5));
        QVERIFY(settings().WriteSettingBool(QStringLiteral("Sound Event Information"),
                                            QStringLiteral("PlaySounds"), false));
    }

    // A second copy ends at once and touches nothing, also when the first has
    // held its lock for long; the first ends in order on SIGTERM.
    void secondCopyTouchesNothing() {
        QProcess first;
        start(first, environment());
        QTRY_COMPARE_WITH_TIMEOUT(timesUsed(), 6, Wait);
        const QStringList lock = QDir(m_runtime.path()).entryList(QDir::Files);
        QCOMPARE(lock, QStringList{QStringLiteral("TLargeForm Dialtally Pro v1.0.lock")});
        QFile lockFile(m_runtime.filePath(lock[0]));
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                     QFileDevice::FileModificationTime));
        lockFile.close();
        const QStringList before = snapshot(m_data.path()) + snapshot(m_runtime.path());

        QProcess second;
        start(second, environment());
        QVERIFY(second.waitForFinished(Wait));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(snapshot(m_data.path()) + snapshot(m_runtime.path()), before);
        QCOMPARE(first.state(), QProcess::Running);
        end(first);
    }

    // Started together, one copy runs and each of the others is answered by
    // it while it starts; killed, it leaves a lock the next start takes over.
    void eightCopiesAtOnceThenAStaleLock() {
        std::vector<std::unique_ptr<QProcess>> copies(8);
        for (auto& copy : copies) {
            copy = std::make_unique<QProcess>();
            start(*copy, environment());
        }
        const auto running = [&] {
            return std::find_if(copies.begin(), copies.end(),
                                [](const auto& c) { return c->state() != QProcess::NotRunning; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(
            std::count_if(copies.begin(), copies.end(),
                          [](const auto& c) { return c->state() == QProcess::NotRunning; }) == 7,
            Wait);
        QVERIFY(running() != copies.end());
        for (const auto& copy : copies) {
            if (copy != *running()) // ended with its knock answered, not given up on
                QVERIFY(copy->exitCode() == 0 && copy->readAllStandardError().isEmpty());
        }
        QTRY_COMPARE_WITH_TIMEOUT(timesUsed(), 6, Wait);
        (*running())->kill();
        QVERIFY((*running())->waitForFinished(Wait));
        QProcess next;
        start(next, environment());
        QTRY_COMPARE_WITH_TIMEOUT(timesUsed(), 7, Wait);
        end(next);
    }

    // The lock goes to the runtime folder when it is the user's own and
    // private, else to a folder of the user's own that the program makes;
    // one that someone else could have made, or swapped for a link, is refused.
    void lockPlace_data() {
        QTest::addColumn<int>("runtime"); // the runtime folder's mode, 0: none
        QTest::addColumn<QString>("own"); // what is already where the user's own folder goes
        QTest::addColumn<int>("user");    // added to our user id
        QTest::addColumn<QString>("outcome");
        QTest::newRow("runtime folder") << 0700 << "" << 0 << "runtime";
        QTest::newRow("no runtime folder") << 0 << "" << 0 << "own";
        QTest::newRow("runtime folder open to others") << 0755 << "" << 0 << "own";
        QTest::newRow("own folder there") << 0 << "0700" << 0 << "own";
        QTest::newRow("own folder is a link") << 0 << "link" << 0 << "it is a symbolic link";
        QTest::newRow("own folder is a file") << 0 << "file" << 0 << "it is not a folder";
        QTest::newRow("own folder open to others")
            << 0 << "0755" << 0 << "its permissions are 0755, not 0700";
        QTest::newRow("own folder made by another") << 0 << "0700" << 1 << "it belongs to another user";
    }
    void lockPlace() {
        QFETCH(int, runtime);
        QFETCH(QString, own);
        QFETCH(int, user);
        QFETCH(QString, outcome);
        QTemporaryDir temp;
        const QString runtimePath = temp.filePath(QStringLiteral("runtime"));
        const QString ownPath = temp.filePath(QStringLiteral("dialtally-pro-%1").arg(::getuid() + user));
        QVERIFY(!runtime || makeFolder(runtimePath, mode_t(runtime)));
        if (own.startsWith(QLatin1Char('0')))
            QVERIFY(makeFolder(ownPath, mode_t(own.toInt(nullptr, 8))));
        else if (own == QLatin1String("link"))
            QVERIFY(QFile::link(temp.path(), ownPath));
        else if (own == QLatin1String("file"))
            QVERIFY(QFile(ownPath).open(QIODevice::WriteOnly));
        QString reason;
        const QString place = SingleInstance::placeFor(runtime ? runtimePath : QString(), temp.path(),
                                                       ::getuid() + uid_t(user), &reason);
        if (outcome == QLatin1String("runtime") || outcome == QLatin1String("own")) {
            QCOMPARE(place, outcome == QLatin1String("runtime") ? runtimePath : ownPath);
            QCOMPARE(modeOf(place), mode_t(0700));
        } else {
            QCOMPARE(place, QString());
            QVERIFY2(reason.contains(ownPath +
                                     QStringLiteral(" for the program's lock cannot be used safely: ") +
                                     outcome),
                     qPrintable(reason));
        }
    }

    // A start refused for any other reason than a running copy says why, and
    // touches nothing.
    void refusedStartSaysWhy() {
        QTemporaryDir temp;
        QVERIFY(
            QFile::link(m_data.path(), temp.filePath(QStringLiteral("dialtally-pro-%1").arg(::getuid()))));
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        const QStringList before = snapshot(m_data.path());
        QProcess refused;
        start(refused, env);
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += refused.readAllStandardError()).contains("link"), Wait);
        QVERIFY(said.startsWith("Dialtally Pro cannot start. The folder "));
        QCOMPARE(refused.state(), QProcess::Running); // the same words in a box, waiting to be read
        refused.kill();
        QVERIFY(refused.waitForFinished(Wait));
        QCOMPARE(snapshot(m_data.path()), before);
    }

    // The running copy listens from the moment it holds the lock; a knock is
    // answered once it has an event loop, and brings it to view with the
    // launcher's token, when it is one.
    void startingAgainKnocks_data() {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("passedOn");
        QTest::newRow("no token") << QString() << QString();
        const QString token = QStringLiteral("sway-activation_1f2e:3d4c/5b6a+=");
        QTest::newRow("token") << token << token;
        QTest::newRow("token with a line break") << QStringLiteral("a\nb") << QString();
        QTest::newRow("longest") << QString(1024, QLatin1Char('x')) << QString(1024, QLatin1Char('x'));
        QTest::newRow("too long") << QString(1025, QLatin1Char('x')) << QString();
    }
    void startingAgainKnocks() {
        QFETCH(QString, token);
        QFETCH(QString, passedOn);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        int shown = 0;
        QStringList tokens;
        {
            SingleInstance running;
            QLocalSocket early;
            early.connectToServer(running.socketPath());
            QVERIFY(early.waitForConnected(Wait));
            const SingleInstance second;
            QVERIFY(!second.isFirst() && second.refusal().isEmpty());
            auto knocked = std::async(std::launch::async, [&] { return second.knock(token, Wait); });
            running.whenStartedAgain([&](const QString& passed) {
                ++shown;
                tokens << passed;
            });
            QTRY_VERIFY_WITH_TIMEOUT(knocked.wait_for(std::chrono::seconds(0)) == std::future_status::ready,
                                     Wait);
            QVERIFY(knocked.get());
            // The early connection said nothing and left: a start, with no token.
            early.disconnectFromServer();
            QTRY_COMPARE_WITH_TIMEOUT(shown, 2, Wait);
            QVERIFY(tokens.contains(passedOn));
            QVERIFY(tokens.contains(QString()));
        }
        QVERIFY(!SingleInstance().knock(QString(), 100)); // nobody there to answer
    }

    void signalLogsTheRunningCall_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("second"); // sent the moment the first is told, 0: none
        QTest::newRow("SIGTERM") << SIGTERM << 0;
        QTest::newRow("SIGHUP") << SIGHUP << 0;
        QTest::newRow("SIGINT") << SIGINT << 0;
        QTest::newRow("SIGTERM, then SIGHUP") << SIGTERM << SIGHUP;
        QTest::newRow("SIGHUP, then SIGTERM") << SIGHUP << SIGTERM;
        QTest::newRow("SIGINT twice") << SIGINT << SIGINT;
    }
    void signalLogsTheRunningCall() {
        QFETCH(int, signalNumber);
        QFETCH(int, second);
        endChild({m_data.path(), QString::number(second)}, "timing", signalNumber);
        const auto calls = CallLog(m_data.filePath(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(calls.size(), size_t(1));
        QCOMPARE(qRound(calls[0].duration * 86400), 5);
    }

    // Told to end while a first-use page is open, or a box over one, the
    // program ends at once. The choices confirmed before are kept; the one
    // taken on the open page, unconfirmed, is not written.
    void signalWhileAFirstQuestionIsOpen_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QByteArray>("settings");
        const QByteArray used("[Default Setup Information]\nTimes Used=1\n");
        const QByteArray sensing = used + "Auto Call Sensing=1\n";
        const QByteArray device = sensing + "Device To Sense=/dev/ttyUSB0\n";
        for (const int number : {SIGTERM, SIGINT, SIGHUP})
            for (const auto& [page, settings] : {std::pair(QStringLiteral("WelcomeForm"), used),
                                                 {QStringLiteral("PortSetupForm"), sensing},
                                                 {QStringLiteral("TariffForm"), device}})
                QTest::addRow("%s, %s", sigabbrev_np(number), qPrintable(page)) << number << page << settings;
        QTest::newRow("TERM, an error over the call charges") << SIGTERM << "TariffForm+box" << device;
    }
    void signalWhileAFirstQuestionIsOpen() {
        QFETCH(int, signalNumber);
        QFETCH(QString, page);
        QFETCH(QByteArray, settings);
        QTemporaryDir fresh;
        endChild({fresh.path(), QStringLiteral("0"), page}, "open", signalNumber);
        QFile written(fresh.filePath(QStringLiteral("Dialtaly.ini")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), settings);
    }

    // A named pipe whose reader goes, or stops reading, during the viewer's
    // export: the write fails, naming the pipe and why; the program lives on,
    // and the call it times is logged when a signal then ends it.
    void brokenPipe_data() {
        QTest::addColumn<bool>("readerCloses");
        QTest::addColumn<QString>("said");
        QTest::newRow("reader gone") << true << "said: PIPE cannot be written: Broken pipe";
        QTest::newRow("reader reading no more")
            << false << "said: PIPE cannot be written: Nothing was taken from it for 5 seconds";
    }
    void brokenPipe() {
        QFETCH(bool, readerCloses);
        QFETCH(QString, said);
        const CallLog log(m_data.filePath(QStringLiteral("Calls.log")));
        QVERIFY(
            log.append(std::vector<CallRecord>(2000, sampleCall(46000.25, 0.5f)))); // more than a pipe holds
        const QString pipe = m_data.filePath(QStringLiteral("calls.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        pollfd reader{::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC), POLLIN,
                      0};
        // The export is under way when the reader goes, or when it stops reading.
        std::thread reading([&reader, readerCloses] {
            if (::poll(&reader, 1, Wait) == 1 && readerCloses)
                ::close(std::exchange(reader.fd, -1));
        });
        endChild({m_data.path(), QStringLiteral("0"), pipe},
                 said.replace(QStringLiteral("PIPE"), pipe).toLocal8Bit(), SIGTERM);
        reading.join();
        ::close(reader.fd);
        QCOMPARE(qRound(log.readAll().at(2000).duration * 86400), 5);
    }
};

QTEST_GUILESS_MAIN(TestEnding)
#include "test_ending.moc"
