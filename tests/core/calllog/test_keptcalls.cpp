// Calls that could not be logged: kept in the recovery file, added to the log
// at the next start once and in order, whatever step a crash or a full disk
// interrupted.
#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
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
    return {sampleCall(46000.5 + i, float(i)), rateName, {}};
}
} // namespace

class TestKeptCalls : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_data, m_other, m_state;

    static QString logPath(const QString& data) { return data + QStringLiteral("/Calls.log"); }
    static std::vector<CallRecord> logged(const QString& data) { return CallLog(logPath(data)).readAll(); }
    // The log: n calls from before, then the kept calls with their own rate names.
    static void logHolds(const QString& data, size_t before, const std::vector<KeptCall>& calls) {
        std::vector<CallRecord> records = logged(data);
        QCOMPARE(records.size(), before + calls.size());
        const RateNameStore names(data + QStringLiteral("/CallRate.log"));
        for (size_t i = 0; i < calls.size(); ++i) {
            CallRecord& record = records[before + i];
            QCOMPARE(names.RateNameForKey(record.rateNameKey), calls[i].rateName);
            record.rateNameKey = 0;
            QCOMPARE(record, calls[i].record);
        }
    }
    static void fillLog(const QString& data, int n) {
        QVERIFY(CallLog(logPath(data)).append(std::vector<CallRecord>(size_t(n), sampleCall(45000.5, 1.0f))));
    }

private slots:
    void init() {
        m_data = m_root.filePath(QStringLiteral("data"));
        m_other = m_root.filePath(QStringLiteral("other"));
        m_state = m_root.filePath(QStringLiteral("state"));
        for (const QString& dir : {m_data, m_other, m_state})
            QDir(dir).removeRecursively();
        QVERIFY(QDir().mkpath(m_data) && QDir().mkpath(m_other));
    }

    // A start on a disk still full leaves the kept calls in the recovery
    // file; the next write takes them first, ahead of a newer call, each with
    // its own rate name.
    void keptCallsWaitForTheLog() {
        fillLog(m_data, 10);
        const std::vector<KeptCall> calls = {call(1), call(2, QStringLiteral("Ημερήσιο")), call(3)};
        QVERIFY(RecoveryFile(m_data, m_state).save({calls[0], calls[1]}, {}));
        {
            const FileSizeLimit limit(10 * 48 + 20);
            const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
            QVERIFY(report.failed);
            QVERIFY(report.text.startsWith(logPath(m_data) +
                                           QStringLiteral(": File too large\n\n2 call(s) kept in ")));
        }
        QCOMPARE(RecoveryFile(m_data, m_state).load()->calls.size(), size_t(2));
        KeptCalls nextRun(m_data, m_state);
        nextRun.add(calls[2]);
        QVERIFY(!nextRun.write());
        logHolds(m_data, 10, calls);
        QVERIFY(!nextRun.recoveryFile().exists());
    }

    // The program ended at some step of adding the kept calls to the log:
    // before the append, inside it (a torn record), after it, or after an
    // append that carried a newer call too. The next start adds each call
    // once, in order, and says so.
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
        QVERIFY(
            RecoveryFile(m_data, m_state).save(calls, QStringLiteral("Calls.log: No space left on device")));
        std::vector<CallRecord> written;
        for (int i = 0; i < inLog; ++i)
            written.push_back(sampleCall(46001.5 + i, float(i + 1), 1,
                                         RateNameStore(m_data + QStringLiteral("/CallRate.log"))
                                             .RateNameKeyFor(QStringLiteral("Test"))));
        if (newerCall)
            written.push_back(call(9).record);
        QVERIFY(CallLog(logPath(m_data)).append(written));
        QFile file(logPath(m_data));
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray(torn, 'x'));
        file.close();

        const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
        QVERIFY(!report.failed);
        if (inLog < 3)
            QCOMPARE(report.text,
                     QStringLiteral("%1 call(s) kept in %2 have been added to %3.\n\nThey could not be "
                                    "logged before: Calls.log: No space left on device")
                         .arg(3 - inLog)
                         .arg(RecoveryFile(m_data, m_state).path(), logPath(m_data)));
        else
            QCOMPARE(report.text, QString());
        if (!newerCall)
            logHolds(m_data, 2, calls);
        QCOMPARE(QFileInfo(logPath(m_data)).size(), qint64(5 + newerCall) * 48);
        QVERIFY(!RecoveryFile(m_data, m_state).exists());
    }

    // Each data directory has its own recovery file, whatever path leads to it.
    void dataDirectoriesDoNotMix() {
        QVERIFY(RecoveryFile(m_data, m_state).save({call(1)}, {}));
        QVERIFY(RecoveryFile(m_other, m_state).save({call(2), call(3)}, {}));
        const QString link = m_root.filePath(QStringLiteral("link"));
        QFile::remove(link);
        QVERIFY(QFile::link(m_data, link));
        QCOMPARE(RecoveryFile(link + QStringLiteral("/"), m_state).path(),
                 RecoveryFile(m_data, m_state).path());
        QVERIFY(!KeptCalls::recoverAtStart(m_data, m_state).failed);
        logHolds(m_data, 0, {call(1)});
        QVERIFY(!KeptCalls::recoverAtStart(m_other, m_state).failed);
        logHolds(m_other, 0, {call(2), call(3)});
    }

    // A recovery file that cannot be read is moved aside for the user, as it
    // is, and the log is left alone.
    void anUnreadableRecoveryFileIsSetAside_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a file of kept calls") << QByteArray("#!/bin/sh\n") << "Damaged: not a whole file";
        QTest::newRow("another directory's") << QByteArray() << "Holds the calls of another data directory";
    }
    void anUnreadableRecoveryFileIsSetAside() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const RecoveryFile file(m_data, m_state);
        QVERIFY(RecoveryFile(m_other, m_state).save({call(1)}, {}));
        QVERIFY(QFile::rename(RecoveryFile(m_other, m_state).path(), file.path()));
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadWrite));
        if (!bytes.isEmpty())
            QVERIFY(raw.resize(0) && raw.write(bytes) == bytes.size() && raw.seek(0));
        bytes = raw.readAll();
        raw.close();
        const KeptCalls::Report report = KeptCalls::recoverAtStart(m_data, m_state);
        QVERIFY(report.failed);
        QVERIFY(report.text.startsWith(file.path() + QStringLiteral(": ") + reason));
        QVERIFY(report.text.contains(file.path() + QStringLiteral(".damaged")));
        QVERIFY(!QFile::exists(logPath(m_data)));
        QVERIFY(!file.exists());
        QFile aside(file.path() + QStringLiteral(".damaged"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), bytes);
    }

    // A call's number goes to the numbers file after the call goes to the
    // log: a full disk keeps both for later, or costs only the number, and a
    // program that ended between the two writes the number at the next start.
    void numbersFollowTheirCalls_data() {
        QTest::addColumn<int>("room");          // bytes a file may grow to; 0: any
        QTest::addColumn<int>("numbersBefore"); // records in the numbers file already
        QTest::addColumn<bool>("endedBetween"); // the call is in the log, its number is not
        QTest::addColumn<QString>("lost");      // what is told of the number
        QTest::newRow("both written") << 0 << 0 << false << "";
        QTest::newRow("a full disk keeps both") << 10 * 48 + 20 << 0 << false << "";
        QTest::newRow("a full disk after the call")
            << 600 << 20 << false << "CallNumbers.log: File too large";
        QTest::newRow("ended between the two") << 0 << 0 << true << "";
    }
    void numbersFollowTheirCalls() {
        QFETCH(int, room);
        QFETCH(int, numbersBefore);
        QFETCH(bool, endedBetween);
        QFETCH(QString, lost);
        fillLog(m_data, 10);
        const CallNumberLog numbers(m_data + QStringLiteral("/CallNumbers.log"));
        std::vector<CallNumber> before;
        for (int i = 0; i < numbersBefore; ++i)
            before.push_back({45000.5 + i, QStringLiteral("0123")});
        QVERIFY(before.empty() || numbers.append(before));
        KeptCall kept = call(1);
        kept.number = QStringLiteral("+441632960000");
        if (endedBetween) {
            QVERIFY(RecoveryFile(m_data, m_state).save({kept}, QStringLiteral("w")));
            CallRecord record = kept.record;
            record.rateNameKey =
                RateNameStore(m_data + QStringLiteral("/CallRate.log")).RateNameKeyFor(kept.rateName);
            QVERIFY(CallLog(logPath(m_data)).append({record}));
            QVERIFY(!KeptCalls::recoverAtStart(m_data, m_state).failed);
        } else {
            KeptCalls calls(m_data, m_state);
            calls.add(kept);
            QString told;
            std::optional<KeptCalls::Failure> failure;
            {
                const std::optional<FileSizeLimit> limit =
                    room ? std::optional<FileSizeLimit>(std::in_place, rlim_t(room)) : std::nullopt;
                failure = calls.write(nullptr, &told);
            }
            QCOMPARE(told.section(QLatin1Char('/'), -1), lost);
            if (failure) {
                QCOMPARE(RecoveryFile(m_data, m_state).load()->calls, std::vector<KeptCall>{kept});
                QVERIFY(!KeptCalls(m_data, m_state).write());
            }
        }
        logHolds(m_data, 10, {kept});
        std::vector<CallNumber> after;
        QVERIFY(numbers.forEach([&](const CallNumber& entry) { after.push_back(entry); }));
        if (lost.isEmpty())
            before.push_back({kept.record.date, kept.number});
        QCOMPARE(after, before);
    }

    // The layout, byte for byte: header, then each call's log record and
    // rate-name record.
    void recoveryFileLayout() {
        const RecoveryFile file(m_data, m_state);
        const KeptCall kept = call(1, QStringLiteral("Day"));
        QVERIFY(file.save({kept}, QStringLiteral("w")));
        const QByteArray directory = QDir(m_data).canonicalPath().toUtf8();
        const QByteArray expected = "DTKC" + QByteArray::fromHex("01000000") + char(directory.size()) +
                                    QByteArray(3, '\0') + directory + QByteArray::fromHex("01000000") + "w" +
                                    QByteArray::fromHex("01000000") + CallRecordCodec::write(kept.record) +
                                    "\x03"
                                    "Day" +
                                    QByteArray(30, '\0');
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(raw.readAll().toHex(), expected.toHex());
        QCOMPARE(file.load()->calls, std::vector<KeptCall>{kept});
    }
};

QTEST_GUILESS_MAIN(TestKeptCalls)
#include "test_keptcalls.moc"
