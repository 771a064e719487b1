#include "core/calllog/CallLog.h"
#include "core/calllog/CallRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
CallRecord sample() {
    CallRecord r;
    r.date = 1.5;
    r.startTime = 2.25;
    r.endTime = 3.0;
    r.duration = 0.75;
    r.dayOfWeek = 0x0102;
    r.rateCode = 12;
    r.rateNameKey = 0x1234;
    r.grossCost = 1.5f;
    r.netCost = -2.0f;
    return r;
}

const QByteArray SampleBytes = QByteArray::fromHex("000000000000f83f"
                                                   "0000000000000240"
                                                   "0000000000000840"
                                                   "000000000000e83f"
                                                   "0201"
                                                   "0c00"
                                                   "3412"
                                                   "0000"
                                                   "0000c03f"
                                                   "000000c0");

CallRecord numbered(int i) {
    CallRecord r = sample();
    r.startTime = i;
    return r;
}
} // namespace

class TestCallLog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString freshPath(const QString& name) {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        return path;
    }
    static void writeRaw(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray raw(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void recordLayout() {
        QCOMPARE(SampleBytes.size(), CallRecordCodec::Size);
        QCOMPARE(CallRecordCodec::write(sample()).toHex(), SampleBytes.toHex());
        QByteArray withJunk = SampleBytes;
        withJunk[38] = char(0xAA);
        withJunk[39] = char(0x55);
        QCOMPARE(CallRecordCodec::read(withJunk.constData()), sample());
    }

    void appendCreatesAndAdds() {
        const CallLog log(freshPath(QStringLiteral("Calls.log")));
        QVERIFY(log.append({numbered(1)}));
        QVERIFY(log.append({numbered(2), numbered(3)}));
        QCOMPARE(QFileInfo(log.path()).size(), 3 * 48);
        QCOMPARE(raw(log.path()).left(48), CallRecordCodec::write(numbered(1)));
        const auto all = log.readAll();
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(all[2], numbered(3));
    }

    void tornTail_data() {
        QTest::addColumn<int>("whole");
        QTest::addColumn<int>("torn");
        QTest::newRow("empty file, torn") << 0 << 20;
        QTest::newRow("two records and 47 bytes") << 2 << 47;
        // Crosses the reader's block boundary of 8192 records.
        QTest::newRow("past one read block") << 8193 << 1;
    }
    void tornTail() {
        QFETCH(int, whole);
        QFETCH(int, torn);
        const CallLog log(freshPath(QStringLiteral("Torn.log")));
        QByteArray bytes;
        for (int i = 0; i < whole; ++i)
            bytes += CallRecordCodec::write(numbered(i));
        bytes += QByteArray(torn, char(0x7F));
        writeRaw(log.path(), bytes);

        bool opened = false;
        const auto before = log.readAll(&opened);
        QVERIFY(opened);
        QCOMPARE(int(before.size()), whole);
        if (whole > 0)
            QCOMPARE(before.back(), numbered(whole - 1));

        QVERIFY(log.append({numbered(-1)}));
        QCOMPARE(QFileInfo(log.path()).size(), qint64(whole + 1) * 48);
        const auto after = log.readAll();
        QCOMPARE(int(after.size()), whole + 1);
        QCOMPARE(after.back(), numbered(-1));
    }

    void failures() {
        const CallLog missing(m_dir.filePath(QStringLiteral("absent.log")));
        bool opened = true;
        QVERIFY(missing.readAll(&opened).empty());
        QVERIFY(!opened);

        // A log path under a plain file cannot be created.
        writeRaw(m_dir.filePath(QStringLiteral("plain")), "x");
        const CallLog impossible(m_dir.filePath(QStringLiteral("plain/Calls.log")));
        QString reason;
        QVERIFY(!impossible.append({sample()}, &reason));
        QVERIFY(!reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCallLog)
#include "test_calllog.moc"
