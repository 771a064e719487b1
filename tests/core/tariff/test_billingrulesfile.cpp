#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(BillingRules)

namespace {
const QByteArray Example = "[Billing]\n"
                           "FirstBlock=60          ; seconds charged whole at the start of a call\n"
                           "NextBlock=1            ; seconds charged whole after it\n"
                           "RoundUpTo=0.1          ; each call's charge without tax rounded up\n"
                           "CapPerCall=            ; the most a call's charge without tax can be\n"
                           "[Holidays]\n"
                           "Dates=01-01, 12-25, 12-26, Easter-2, Easter+1, 2026-05-04\n"
                           "[Free Minutes]\n"
                           "Minutes=100            ; minutes included in each bill period\n"
                           "Bands=Evening, Weekend ; the bands they cover; absent: every band\n";

BillingRules exampleRules() {
    BillingRules rules;
    rules.firstBlock = 60;
    rules.nextBlock = 1;
    rules.roundUpTo = 0.1;
    rules.holidays = {{Holiday::EveryYear, 0, 1, 1, 0},   {Holiday::EveryYear, 0, 12, 25, 0},
                      {Holiday::EveryYear, 0, 12, 26, 0}, {Holiday::FromEaster, 0, 0, 0, -2},
                      {Holiday::FromEaster, 0, 0, 0, 1},  {Holiday::Once, 2026, 5, 4, 0}};
    rules.freeMinutes = 100;
    rules.freeBands = 0b110;
    return rules;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestBillingRulesFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("the README's example") << Example << QString();
        QTest::newRow("a byte-order mark")
            << QByteArray("\xef\xbb\xbf[Billing]\nFirstBlock=60\n") << QString();
        QTest::newRow("keys in any case")
            << QByteArray("[billing]\r\nfirstblock=60\r\nNEXTBLOCK=1\r\n") << QString();
        const auto notADate = [](const char* text) {
            return QStringLiteral(
                       "[Holidays] Dates: \"%1\" is not a date (MM-DD, YYYY-MM-DD or Easter\u00b1N days)")
                .arg(text);
        };
        const QList<std::pair<QByteArray, QString>> bad = {
            {"[Billing]\nFirstBlock=-5",
             "[Billing] FirstBlock: \"-5\" is not a whole number from 0 to 86400"},
            {"[Billing]\nNextBlock=1.5",
             "[Billing] NextBlock: \"1.5\" is not a whole number from 0 to 86400"},
            {"[Billing]\nNextBlock=99999999999999999999",
             "[Billing] NextBlock: \"99999999999999999999\" is not a whole number from 0 to 86400"},
            {"[Billing]\nRoundUpTo=a penny",
             "[Billing] RoundUpTo: \"a penny\" is not a number from 0 to 10000"},
            {"[Billing]\nRoundUpTo=-0.1", "[Billing] RoundUpTo: \"-0.1\" is not a number from 0 to 10000"},
            {"[Billing]\nCapPerCall=1e999",
             "[Billing] CapPerCall: \"1e999\" is not a number from 0 to 1000000"},
            {"[Holidays]\nDates=12-25, 13-45", notADate("13-45")},
            {"[Holidays]\nDates=2025-02-29", notADate("2025-02-29")},
            {"[Holidays]\nDates=Easter+400", notADate("Easter+400")},
            {"[Free Minutes]\nMinutes=ten",
             "[Free Minutes] Minutes: \"ten\" is not a whole number from 0 to 1000000"},
            {"[Free Minutes]\nMinutes=10\nBands=Evening, Night",
             "[Free Minutes] Bands: \"Night\" is not a time band (Daytime, Evening or Weekend)"},
        };
        for (const auto& [text, error] : bad)
            QTest::newRow(error.left(error.indexOf(':')).toUtf8()) << text << error;
    }
    void parse() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QString said;
        const std::optional<BillingRules> rules = BillingRulesFile::parse(text, &said);
        QCOMPARE(said, error);
        QCOMPARE(rules.has_value(), error.isEmpty());
        if (text == Example)
            QCOMPARE(*rules, exampleRules());
        else if (rules)
            QCOMPARE(rules->firstBlock, 60);
    }

    void readAndWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath("BT.billing");
        QString error;
        // No file: no rules.
        QCOMPARE(BillingRulesFile::read(path, &error), BillingRules{});
        QVERIFY(BillingRulesFile::write(path, exampleRules()));
        QCOMPARE(BillingRulesFile::read(path, &error), exampleRules());
        // A bad value names the file and the key.
        put(path, "[Billing]\nFirstBlock=x\n");
        QVERIFY(!BillingRulesFile::read(path, &error));
        QCOMPARE(error, path + ": [Billing] FirstBlock: \"x\" is not a whole number from 0 to 86400");
        put(path, QByteArray(BillingRulesFile::LargestFile + 1, ';'));
        QVERIFY(!BillingRulesFile::read(path, &error));
        QCOMPARE(error, path + ": The file is larger than 64 KiB");
        // Writing no rules leaves no file.
        QVERIFY(BillingRulesFile::write(path, {}));
        QVERIFY(!QFile::exists(path));
    }

    void onlyARegularFileIsRead_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("a directory") << "a directory";
        QTest::newRow("a named pipe") << "a named pipe";
    }
    void onlyARegularFileIsRead() {
        QFETCH(QString, what);
        QTemporaryDir dir;
        const QString path = dir.filePath("BT.billing");
        if (what == QLatin1String("a directory"))
            QVERIFY(QDir(dir.path()).mkdir("BT.billing"));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QString error;
        QVERIFY(!BillingRulesFile::read(path, &error));
        QCOMPARE(error, path + ": It is " + what + ", not a regular file");
    }

    // A rate file and its rules are saved, renamed and removed together.
    void tariffFilesGoTogether() {
        QTemporaryDir dir;
        const QString bt = dir.filePath("BT.dtr");
        const QString mercury = dir.filePath("Mercury.dtr");
        const BillingRules rules = exampleRules();
        QVERIFY(TariffFiles::save(bt, RateTable{}, &rules));
        QCOMPARE(contents(dir.filePath("BT.billing")), BillingRulesFile::text(rules));

        // Rules that could not be read are left as they are.
        put(dir.filePath("BT.billing"), "[Billing]\nFirstBlock=x\n");
        QVERIFY(TariffFiles::save(bt, RateTable{}, nullptr));
        QCOMPARE(contents(dir.filePath("BT.billing")), QByteArray("[Billing]\nFirstBlock=x\n"));
        QVERIFY(TariffFiles::save(bt, RateTable{}, &rules));

        // Stale rules under the new name give way to the renamed file's.
        put(dir.filePath("Mercury.billing"), "[Billing]\nNextBlock=30\n");
        QVERIFY(TariffFiles::rename(bt, mercury));
        QVERIFY(!QFile::exists(bt) && !QFile::exists(dir.filePath("BT.billing")));
        QCOMPARE(BillingRulesFile::read(dir.filePath("Mercury.billing"), nullptr), rules);

        // A rename refused leaves both under the old name.
        put(bt, QByteArray(96, '\0'));
        TariffFiles::Failure failure;
        QVERIFY(!TariffFiles::rename(mercury, bt, &failure));
        QCOMPARE(failure.path, mercury);
        QVERIFY(QFile::exists(dir.filePath("Mercury.billing")));

        QVERIFY(TariffFiles::remove(mercury));
        QVERIFY(!QFile::exists(mercury) && !QFile::exists(dir.filePath("Mercury.billing")));

        // A failed save says which of the two failed.
        QVERIFY(QDir(dir.path()).mkdir("Mercury.billing"));
        QVERIFY(!TariffFiles::save(mercury, RateTable{}, &rules, &failure));
        QCOMPARE(failure.path, dir.filePath("Mercury.billing"));
    }
};

QTEST_GUILESS_MAIN(TestBillingRulesFile)
#include "test_billingrulesfile.moc"
