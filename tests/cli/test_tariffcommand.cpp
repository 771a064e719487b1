// dialtally tariff show NAME: a rate file with its billing rules as text.
#include "CommandRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A rate record laid out by hand: per slot a length byte and five text bytes.
QByteArray record(const QStringList& texts) {
    QByteArray bytes;
    for (const QString& text : texts)
        bytes += char(text.size()) + text.toUtf8() + QByteArray(5 - text.size(), '\0');
    return bytes;
}

const QByteArray Rates = record({" 7.50", " 3.00", " 1.00", " 8.25", " 4.10", " 2.00", "10.00", " 5.50",
                                 " 2.50", "45.00", "38.00", "30.00", "17.50", " 5.00", " 3.30", " 0.00"});

const QByteArray RateLines = "Rates in pence per minute, excluding tax:\n"
                             "                 Daytime  Evening  Weekend\n"
                             "Local               7.50     3.00     1.00\n"
                             "Regional            8.25     4.10     2.00\n"
                             "National           10.00     5.50     2.50\n"
                             "International      45.00    38.00    30.00\n"
                             "Tax 17.50 %, minimum charge 5.00 pence, connection charge 3.30 pence, "
                             "discount 0.00 %\n\n";
} // namespace

class TestTariffCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_out, m_err;

    void put(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init() {
        for (const char* name : {"BT.dtr", "BT.billing", "Dialtaly.ini"})
            QFile::remove(m_dir.filePath(name));
        put("BT.dtr", Rates);
    }

    void show_data() {
        QTest::addColumn<QByteArray>("billing"); // empty: no file
        QTest::addColumn<QByteArray>("rules");   // what is printed after the rates
        QTest::newRow("no rules") << QByteArray()
                                  << QByteArray("Billing rules: none; a call is priced as it runs, to the "
                                                "millisecond.\n");
        QTest::newRow("every rule")
            << QByteArray("[Billing]\nFirstBlock=60\nNextBlock=1\nRoundUpTo=0.1\nCapPerCall=2.5\n"
                          "[Holidays]\nDates=12-25, Easter-2, 2026-05-04\n"
                          "[Free Minutes]\nMinutes=100\nBands=Evening, Weekend\n")
            << QByteArray("Billing rules:\n"
                          "  Blocks        first minute then per second (the first 60 s charged whole, then "
                          "each started 1 s)\n"
                          "  Rounding      each call up to 0.1 pence\n"
                          "  Cap per call  \xc2\xa3"
                          "2.50\n"
                          "  Holidays      12-25, Easter-2, 2026-05-04 (priced as Weekend)\n"
                          "  Free minutes  100 each bill period, in Evening and Weekend\n");
    }
    void show() {
        QFETCH(QByteArray, billing);
        QFETCH(QByteArray, rules);
        if (!billing.isEmpty())
            put("BT.billing", billing);
        QCOMPARE(runCommand({"tariff", "show", "BT"}, m_dir.path(), 0, m_out, m_err), 0);
        QCOMPARE(m_err, QByteArray());
        QCOMPARE(m_out, "Rate file: BT\n" + RateLines + rules);
    }

    void failures_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QByteArray>("billing");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // the start of what is said
        QTest::newRow("no such rate file") << QStringList{"tariff", "show", "Gone"} << QByteArray() << 1
                                           << "dialtally: " + m_dir.filePath("Gone.dtr") + ": ";
        QTest::newRow("a bad rule")
            << QStringList{"tariff", "show", "BT"} << QByteArray("[Billing]\nNextBlock=x\n") << 1
            << "dialtally: " + m_dir.filePath("BT.billing") +
                   ": [Billing] NextBlock: \"x\" is not a whole number from 0 to 86400";
        QTest::newRow("no name") << QStringList{"tariff", "show"} << QByteArray() << 2
                                 << "dialtally: tariff show takes the name of a rate file";
        QTest::newRow("an option") << QStringList{"tariff", "show", "BT", "--json"} << QByteArray() << 2
                                   << "dialtally: Unknown option 'json'.";
    }
    void failures() {
        QFETCH(QStringList, words);
        QFETCH(QByteArray, billing);
        QFETCH(int, status);
        QFETCH(QString, error);
        if (!billing.isEmpty())
            put("BT.billing", billing);
        QCOMPARE(runCommand(words, m_dir.path(), 0, m_out, m_err), status);
        QVERIFY2(QString::fromUtf8(m_err).startsWith(error), m_err.constData());
        QCOMPARE(m_out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestTariffCommand)
#include "test_tariffcommand.moc"
