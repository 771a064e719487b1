// Calls that could not be logged: kept in the recovery file, added to the log
// at the next start once and in order, whatever step a crash or a full disk
// interrupted.
#include "core/calllog/CallLog.h"
#include "core/calllog/KeptCalls.h"
#include "core/calllog/RateNameStore.h"
#include "core/calllog/RecoveryFile.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
KeptCall call(int i, const QString& rateName = QStringLiteral("Test")) {
    return {sampleCall(46000.5 + i, float(i)), rateName};
}
} // namespace

class TestKeptCalls : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_data, m_state;

    QString logPath(const QString& data) const { return data + QStringLiteral("/Calls.log"); }
    std::vector<CallRecord> logged(const QString& data) const { return CallLog(logPath(data)).readAll(); }
    // A log of n calls before any kept one.
    void fillLog(const QString& data, int n) const {
        std::vector<CallRecord> earlier;
        for (int i = 0; i < n; ++i)
            earlier.push_back(sampleCall(45000.5 + i, 1.0f, 1, 1));
        QVERIFY(CallLog(logPath(data)).append(earlier));
    }
    // The log's last records are the kept calls, with their own rate names.
    void endsWith(const QString& data, const std::vector<KeptCall>& calls) const {
        const std::vector<CallRecord> records = logged(data);
        QVERIFY(records.size() >= calls.size());
        const RateNameStore names(data + QStringLiteral("/CallRate.log"));
        for (size_t i = 0; i < calls.size(); ++i) {
            CallRecord record = records[records.size() - calls.size() + i];
            QCOMPARE(names.RateNameForKey(record.rateNameKey), calls[i].rateName);
            record.rateNameKey = 0;
            QCOMPARE(record, calls[i].record);
        }
    }

private slots:
    void init() {
        m_data = m_root.filePath(QStringLiteral("data"));
        m_state = m_root.filePath(QStringLiteral("state"));
        QDir(m_data).removeRecursively();
        QFile::remove(m_state);
        QDir(m_state).removeRecursively();
        QDir(m_root.filePath(QStringLiteral("other"))).removeRecursively();
        QVERIFY(QDir().mkpath(m_data));
    }

    // Calls whose write failed wait in the recovery file with the reason and
    // their rate names, and the next start adds them to the log once.
    void keptCallsReachTheLogAtTheNextStart() {
        fillLog(m_data, 10);
        const std::vector<KeptCall> calls = {call(1), call(2, QStringLiteral("Ημερήσιο"))};
        KeptCalls kept(m_data, m_state);
        for (const KeptCall& c : calls) {
            kept.add(c);
            const FileSizeLimit limit(10 * 48 + 20);
            const std::optional<KeptCalls::Failure> failure = kept.write();
            QVERIFY(failure);
            QCOMPARE(failure->file, logPath(m_data));
            QCOMPARE(failure->reason, QStringLiteral("File too large"));
            QCOMPARE(failure->lost, qsizetype(0));
        }
        QCOMPARE(logged(m_data).size(), size_t(10));
        QVERIFY(kept.recoveryFile().path().startsWith(m_state + QLatin1Char('/')));
        QVERIFY(QFile::exists(kept.recoveryFile().path()));

        const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
        QVERIFY(!report.failed);
        QVERIFY(report.text.startsWith(QStringLiteral("2 call(s) kept in ")));
        QVERIFY(report.text.contains(logPath(m_data)));
        QVERIFY(report.text.endsWith(logPath(m_data) + QStringLiteral(": File too large")));
        QCOMPARE(logged(m_data).size(), size_t(12));
        endsWith(m_data, calls);
        QVERIFY(!QFile::exists(kept.recoveryFile().path()));

        QCOMPARE(KeptCalls::recoverAtStart(m_data, m_state).text, QString());
        QCOMPARE(logged(m_data).size(), size_t(12));
    }

    // The program ended at some step of writing the kept calls: before the
    // append, inside it (a torn record), after it, or after an append that
    // carried a newer call too. Each call ends up in the log once, in order.
    void anInterruptedWriteAddsEachCallOnce_data() {
        QTest::addColumn<int>("inLog");
        QTest::addColumn<int>("torn");
        QTest::addColumn<bool>("newerCall");
        QTest::newRow("before the append") << 0 << 0 << false;
        QTest::newRow("inside the append") << 1 << 20 << false;
        QTest::newRow("before the file was removed") << 3 << 0 << false;
        QTest::newRow("after a newer call went out too") << 3 << 0 << true;
    }
    void anInterruptedWriteAddsEachCallOnce() {
        QFETCH(int, inLog);
        QFETCH(int, torn);
        QFETCH(bool, newerCall);
        fillLog(m_data, 2);
        const std::vector<KeptCall> calls = {call(1), call(2), call(3)};
        QVERIFY(RecoveryFile(m_data, m_state).save(calls, QStringLiteral("why")));
        std::vector<CallRecord> written;
        for (int i = 0; i < inLog; ++i) {
            written.push_back(calls[size_t(i)].record);
            written.back().rateNameKey = RateNameStore(m_data + QStringLiteral("/CallRate.log"))
                                             .RateNameKeyFor(calls[size_t(i)].rateName);
        }
        if (newerCall)
            written.push_back(sampleCall(46010.5, 9.0f, 1, 1));
        QVERIFY(CallLog(logPath(m_data)).append(written));
        QFile file(logPath(m_data));
        QVERIFY(file.open(QIODevice::Append));
        file.write(CallRecordCodec::write(calls[size_t(inLog) % 3].record).left(torn));
        file.close();

        const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
        QVERIFY(!report.failed);
        QCOMPARE(report.text.isEmpty(), inLog == 3);
        const std::vector<CallRecord> records = logged(m_data);
        QCOMPARE(QFileInfo(logPath(m_data)).size(), qint64(records.size()) * 48);
        QCOMPARE(records.size(), size_t(5 + (newerCall ? 1 : 0)));
        if (!newerCall)
            endsWith(m_data, calls);
        QVERIFY(!RecoveryFile(m_data, m_state).exists());
    }

    // At the next start the disk is still full: the calls stay in the
    // recovery file, and go out before a newer call once the log takes them.
    void aStillFullDiskKeepsTheCallsWaiting() {
        fillLog(m_data, 10);
        const std::vector<KeptCall> calls = {call(1), call(2)};
        QVERIFY(RecoveryFile(m_data, m_state).save(calls, QStringLiteral("why")));
        {
            const FileSizeLimit limit(10 * 48 + 20);
            const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
            QVERIFY(report.failed);
            QVERIFY(report.text.startsWith(logPath(m_data) +
                                           QStringLiteral(": File too large\n\n2 call(s) kept in ")));
        }
        QCOMPARE(logged(m_data).size(), size_t(10));
        const std::optional<RecoveryFile::Contents> waiting = RecoveryFile(m_data, m_state).load();
        QVERIFY(waiting);
        QCOMPARE(waiting->calls, calls);

        KeptCalls meter(m_data, m_state);
        meter.add(call(3));
        QVERIFY(!meter.write());
        endsWith(m_data, {call(1), call(2), call(3)});
        QCOMPARE(logged(m_data).size(), size_t(13));
        QVERIFY(!RecoveryFile(m_data, m_state).exists());
    }

    // When the state directory cannot be written either, the calls are said
    // to be lost, naming the file and the reason.
    void nowhereToKeepThemIsSaid() {
        QFile plain(m_state);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir().mkdir(logPath(m_data))); // the log cannot be written
        KeptCalls kept(m_data, m_state + QStringLiteral("/dialtally-pro"));
        kept.add(call(1));
        kept.add(call(2));
        const std::optional<KeptCalls::Failure> failure = kept.write();
        QVERIFY(failure);
        QCOMPARE(failure->lost, qsizetype(2));
        QCOMPARE(failure->keepReason, kept.recoveryFile().path() + QStringLiteral(": Not a directory"));
        QCOMPARE(kept.size(), qsizetype(2));
    }

    // Each data directory has its own recovery file, whatever path leads to it.
    void dataDirectoriesDoNotMix() {
        const QString other = m_root.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        QVERIFY(RecoveryFile(m_data, m_state).save({call(1)}, QStringLiteral("why")));
        QVERIFY(RecoveryFile(other, m_state).save({call(2), call(3)}, QStringLiteral("why")));
        const QString link = m_root.filePath(QStringLiteral("link"));
        QFile::remove(link);
        QVERIFY(QFile::link(m_data, link));
        QCOMPARE(RecoveryFile(link + QStringLiteral("/"), m_state).path(),
                 RecoveryFile(m_data, m_state).path());

        QVERIFY(!KeptCalls::recoverAtStart(m_data, m_state).failed);
        QCOMPARE(logged(m_data).size(), size_t(1));
        endsWith(m_data, {call(1)});
        QVERIFY(RecoveryFile(other, m_state).exists());
        QVERIFY(!KeptCalls::recoverAtStart(other, m_state).failed);
        endsWith(other, {call(2), call(3)});
        QFile::remove(link);
    }

    // A recovery file that cannot be read is moved aside for the user, never
    // written over, and the log is left alone.
    void anUnreadableRecoveryFileIsSetAside_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a file of kept calls") << "junk"
                                                  << "Damaged: not a whole file of kept calls";
        QTest::newRow("cut short") << "short"
                                   << "Damaged: not a whole file of kept calls";
        QTest::newRow("another directory's") << "other"
                                             << "Holds the calls of another data directory";
    }
    void anUnreadableRecoveryFileIsSetAside() {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        const RecoveryFile file(m_data, m_state);
        const QString other = m_root.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        QVERIFY(RecoveryFile(damage == QLatin1String("other") ? other : m_data, m_state).save({call(1)}, {}));
        const QString source = RecoveryFile(other, m_state).path();
        if (damage == QLatin1String("other"))
            QVERIFY(QFile::rename(source, file.path()));
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadWrite));
        QByteArray bytes = raw.readAll();
        if (damage == QLatin1String("junk"))
            bytes = "#!/bin/sh\nrm -rf /\n";
        else if (damage == QLatin1String("short"))
            bytes.chop(10);
        QVERIFY(raw.resize(0) && raw.write(bytes) == bytes.size());
        raw.close();
        fillLog(m_data, 1);

        const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
        QVERIFY(report.failed);
        QVERIFY(report.text.startsWith(file.path() + QStringLiteral(": ") + reason));
        QVERIFY(report.text.contains(file.path() + QStringLiteral(".damaged")));
        QCOMPARE(logged(m_data).size(), size_t(1));
        QFile aside(file.path() + QStringLiteral(".damaged"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), bytes);
        QVERIFY(!file.exists());
    }

    // The layout, byte for byte: header, then each call's log record and
    // rate-name record.
    void recoveryFileLayout() {
        const RecoveryFile file(m_data, m_state);
        const KeptCall kept = call(1, QStringLiteral("Day"));
        QVERIFY(file.save({kept}, QStringLiteral("w")));
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray directory = QDir(m_data).canonicalPath().toUtf8();
        QByteArray expected = QByteArray("DTKC") + QByteArray::fromHex("01000000");
        expected += char(directory.size()) + QByteArray(3, '\0') + directory;
        expected += QByteArray::fromHex("01000000") + "w" + QByteArray::fromHex("01000000");
        expected += CallRecordCodec::write(kept.record);
        expected += "\x03"
                    "Day" +
                    QByteArray(30, '\0');
        QCOMPARE(raw.readAll().toHex(), expected.toHex());
        const std::optional<RecoveryFile::Contents> back = file.load();
        QVERIFY(back);
        QCOMPARE(back->calls, std::vector<KeptCall>{kept});
        QCOMPARE(back->why, QStringLiteral("w"));
    }
};

QTEST_GUILESS_MAIN(TestKeptCalls)
#include "test_keptcalls.moc"
