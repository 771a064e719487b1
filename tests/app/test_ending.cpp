// The program in a process of its own: one copy only, and a call logged when
// a signal ends it.
#include "app/SingleInstance.h"
#include "core/calllog/CallLog.h"
#include "core/settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
constexpr int Wait = 20000; // a loaded machine, not a timing
const QString Defaults = QStringLiteral("Default Setup Information");

// The files of a directory with their times and sizes.
QStringList snapshot(const QString& directory) {
    QStringList files;
    for (const QFileInfo& info : QDir(directory).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        files << QStringLiteral("%1 %2 %3")
                     .arg(info.fileName(), info.lastModified().toString(Qt::ISODateWithMs))
                     .arg(info.size());
    return files;
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
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(DIALTALLY_PROGRAM), {});
        QVERIFY(first.waitForStarted(Wait));
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
        second.setProcessEnvironment(environment());
        second.start(QStringLiteral(DIALTALLY_PROGRAM), {});
        QVERIFY(second.waitForFinished(Wait));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(snapshot(m_data.path()) + snapshot(m_runtime.path()), before);
        QCOMPARE(first.state(), QProcess::Running);

        ::kill(pid_t(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(Wait));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
    }

    // Starting again knocks at the running copy, which comes to view.
    void startingAgainKnocks() {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        SingleInstance running;
        QVERIFY(running.isFirst());
        int shown = 0;
        running.whenStartedAgain([&] { ++shown; });
        QVERIFY(!SingleInstance().isFirst());
        SingleInstance::knock();
        QTRY_COMPARE_WITH_TIMEOUT(shown, 1, Wait);
    }

    void signalLogsTheRunningCall_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void signalLogsTheRunningCall() {
        QFETCH(int, signalNumber);
        QProcess child;
        child.setProcessEnvironment(environment());
        child.start(QStringLiteral(SIGNAL_CHILD), {m_data.path()});
        QVERIFY(child.waitForStarted(Wait));
        while (!child.canReadLine())
            QVERIFY(child.waitForReadyRead(Wait));
        QCOMPARE(child.readLine().trimmed(), QByteArray("timing"));
        ::kill(pid_t(child.processId()), signalNumber);
        QVERIFY(child.waitForFinished(Wait));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const auto calls = CallLog(m_data.filePath(QStringLiteral("Calls.log"))).readAll();
        QCOMPARE(calls.size(), size_t(1));
        QCOMPARE(qRound(calls[0].duration * 86400), 5);
    }
};

QTEST_GUILESS_MAIN(TestEnding)
#include "test_ending.moc"
