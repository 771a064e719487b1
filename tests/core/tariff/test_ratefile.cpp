#include "core/settings/ProgramFiles.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRateFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeBytes(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    static RateTable table(const QString& rate, const QString& tax, const QString& min, const QString& conn,
                           const QString& disc) {
        RateTable t;
        for (int i = 1; i <= 12; ++i)
            t.slot(i) = QStringLiteral("0.00");
        t.slot(1) = rate;
        t.slot(TaxSlot) = tax;
        t.slot(MinimumSlot) = min;
        t.slot(ConnectionSlot) = conn;
        t.slot(DiscountSlot) = disc;
        return t;
    }

private slots:
    void slotBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("blank-led rate") << " 7.50" << QByteArray::fromHex("0520372e3530");
        QTest::newRow("untouched value") << "0.00" << QByteArray::fromHex("04302e303000");
        QTest::newRow("long text cut to five") << "123.456" << QByteArray::fromHex("053132332e34");
        QTest::newRow("empty") << "" << QByteArray::fromHex("000000000000");
        QTest::newRow("pound sign is one byte")
            << QStringLiteral("\u00a31") << QByteArray::fromHex("02a331000000");
    }
    void slotBytes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        RateTable t;
        t.slot(DiscountSlot) = text;
        const QByteArray record = RateFileCodec::write(t);
        QCOMPARE(record.size(), 96);
        QCOMPARE(record.mid(90, 6), bytes);
        QCOMPARE(record.left(90), QByteArray(90, '\0'));
        QCOMPARE(RateFileCodec::read(record).slot(DiscountSlot), text.left(5));
    }

    void damagedLengthByteReadsFive() {
        QByteArray record(96, '\0');
        record[78] = char(0xFF); // minimum charge slot
        record.replace(79, 5, "12.34");
        record[84] = '9'; // next slot's length byte, not part of the text
        QCOMPARE(RateFileCodec::read(record).slot(MinimumSlot), QStringLiteral("12.34"));
    }

    void parseNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("leading blank") << " 7.50" << true << 7.5;
        QTest::newRow("trailing blank") << "7.5 " << true << 7.5;
        QTest::newRow("whole") << "12" << true << 12.0;
        QTest::newRow("negative") << "-1.25" << true << -1.25;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("comma") << "7,50" << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("inner blank") << "7. 5" << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
    }
    void parseNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const auto n = RateFileCodec::parseNumber(text);
        QCOMPARE(n.has_value(), valid);
        if (valid)
            QCOMPARE(*n, value);
    }

    void fileRoundTripAndAtomicFailure() {
        const QString path = ProgramFiles::rateFilePath(m_dir.path(), QStringLiteral("BT Saver"));
        QCOMPARE(path, m_dir.path() + QStringLiteral("/BT Saver.dtr"));
        const RateTable t = table(QStringLiteral(" 7.50"), QStringLiteral("17.50"), QStringLiteral(" 5.00"),
                                  QStringLiteral("10.00"), QStringLiteral("10.00"));
        QVERIFY(writeRateFile(path, t));
        QCOMPARE(QFileInfo(path).size(), 96);
        QCOMPARE(readRateFile(path)->texts, t.texts);

        // A path whose directory is a plain file cannot be written; the reason says why.
        QString reason;
        QVERIFY(!writeRateFile(path + QStringLiteral("/x.dtr"), t, &reason));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readRateFile(path)->texts, t.texts);
    }

    void loadWorkingValues_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QList<double>>("expected"); // rate, tax, min, conn, disc

        const QByteArray good = RateFileCodec::write(table(QStringLiteral(" 7.50"), QStringLiteral("17.50"),
                                                           QStringLiteral(" 5.00"), QStringLiteral("10.00"),
                                                           QStringLiteral("10.00")));
        const QList<double> before{-1, -1, -1, -1, -1};
        QTest::newRow("rate slot 1") << good << 1 << int(LoadResult::Loaded)
                                     << QList<double>{108.0, -1, -1, -1, -1};
        QTest::newRow("charges") << good << 20 << int(LoadResult::Loaded)
                                 << QList<double>{-1, 1.175, 0.05, 0.1, 0.9};
        QTest::newRow("other selector") << good << 13 << int(LoadResult::Loaded) << before;
        QTest::newRow("97 bytes") << good + QByteArray(1, 'x') << 1 << int(LoadResult::Loaded)
                                  << QList<double>{108.0, -1, -1, -1, -1};
        QTest::newRow("95 bytes") << good.left(95) << 1 << int(LoadResult::NotFound) << before;

        const QByteArray badMin =
            RateFileCodec::write(table(QStringLiteral("x"), QStringLiteral("17.50"), QStringLiteral("5,00"),
                                       QStringLiteral("10.00"), QStringLiteral("10.00")));
        QTest::newRow("bad rate") << badMin << 1 << int(LoadResult::BadNumber) << before;
        // The load stops at the bad slot: tax loaded, the rest kept.
        QTest::newRow("bad minimum") << badMin << 20 << int(LoadResult::BadNumber)
                                     << QList<double>{-1, 1.175, -1, -1, -1};

        // Five characters hold at most 99999 in plain digits; a larger number
        // takes an exponent no editor writes, and would overflow every cost.
        const auto withRate = [](const QString& rate) {
            return RateFileCodec::write(table(rate, QStringLiteral("17.50"), QStringLiteral(" 5.00"),
                                              QStringLiteral("10.00"), QStringLiteral("10.00")));
        };
        QTest::newRow("99999") << withRate(QStringLiteral("99999")) << 1 << int(LoadResult::Loaded)
                               << QList<double>{99999 * 14.4, -1, -1, -1, -1};
        for (const char* huge : {"9e99", "-9e99", "1e5", "1e308"})
            QTest::addRow("rate %s", huge)
                << withRate(QLatin1String(huge)) << 1 << int(LoadResult::BadNumber) << before;
    }
    void loadWorkingValues() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, selector);
        QFETCH(int, outcome);
        QFETCH(QList<double>, expected);
        const QString path = writeBytes(QStringLiteral("load.dtr"), bytes);
        WorkingValues v{-1, -1, -1, -1, -1};
        const LoadResult r = ::loadWorkingValues(path, selector, v);
        QCOMPARE(int(r.outcome), outcome);
        if (outcome == LoadResult::BadNumber)
            QVERIFY(!r.badText.isEmpty());
        QCOMPARE(v.CurrentRate, expected[0]);
        QCOMPARE(v.TaxFactor, expected[1]);
        QCOMPARE(v.MinimumCharge, expected[2]);
        QCOMPARE(v.ConnectionCharge, expected[3]);
        QCOMPARE(v.DiscountFactor, expected[4]);
    }
};

QTEST_GUILESS_MAIN(TestRateFile)
#include "test_ratefile.moc"
