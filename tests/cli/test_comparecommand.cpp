// `dialtally compare`: the comparison's table as text, JSON and CSV, over
// the periods and days asked for.
#include "CommandRun.h"
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Wednesday 9 December 2026, mid-afternoon.
const double Now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));

// Ten minutes on `day` at 10:00, logged at 12p a minute and 20 % tax.
CallRecord call(int month, int day, int rateCode) {
    CallRecord r;
    r.date = r.startTime = DayCount::fromDateTime(QDateTime(QDate(2026, month, day), QTime(10, 0)));
    r.duration = 10.0 / 1440.0;
    r.endTime = r.startTime + r.duration;
    r.dayOfWeek = quint16(DayCount::storedDayOfWeek(r.startTime));
    r.rateCode = quint16(rateCode);
    r.grossCost = 1.44f;
    r.netCost = 1.2f;
    return r;
}

RateTable flat(const QString& perMinute, const QString& tax) {
    RateTable table;
    table.texts.fill(QStringLiteral("0.00"));
    for (int slot = 1; slot <= 12; ++slot)
        table.slot(slot) = perMinute;
    table.slot(TaxSlot) = tax;
    return table;
}
} // namespace

class TestCompareCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    int run(QStringList words, QByteArray& out, QByteArray& err) {
        return runCommand(std::move(words), m_dir.path(), Now, out, err);
    }

private slots:
    void initTestCase() {
        const auto rates = [this](const QString& name, const RateTable& table) {
            QVERIFY(writeRateFile(ProgramFiles::rateFilePath(m_dir.path(), name), table));
        };
        rates(QStringLiteral("Cheap"), flat(QStringLiteral(" 1.00"), QStringLiteral(" 0.00")));
        rates(QStringLiteral("Dear"), flat(QStringLiteral("12.00"), QStringLiteral("20.00")));
        rates(QStringLiteral("Νύχτα, Σαββατοκύριακο"),
              flat(QStringLiteral(" 5.00"), QStringLiteral("10.00")));
        QFile shortFile(ProgramFiles::rateFilePath(m_dir.path(), QStringLiteral("Short")));
        QVERIFY(shortFile.open(QIODevice::WriteOnly) && shortFile.write(QByteArray(95, '\0')) == 95);
        QVERIFY(SettingsFile(ProgramFiles::settingsPath(m_dir.path()))
                    .WriteSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile,
                                        QStringLiteral("Dear")));
        CallRecord unknown = call(12, 8, 13); // a code that names no band: never priced
        unknown.grossCost = unknown.netCost = 1.0f;
        QVERIFY(CallLog(ProgramFiles::callLogPath(m_dir.path()))
                    .append({call(12, 9, 1), call(12, 7, 4), call(11, 20, 7), call(1, 5, 12), unknown}));
    }

    void tables_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("shown");
        QTest::newRow("every call, as text")
            << QStringList{"compare"}
            << "Rate file              Calls  Cost exc. Tax  Cost inc. Tax  Difference  Cheaper calls\n"
               "Cheap                      4          £0.40          £0.40      -£5.36              4\n"
               "Νύχτα, Σαββατοκύριακο      4          £2.00          £2.20      -£3.56              4\n"
               "Dear (in use)              4          £4.80          £5.76       £0.00              0\n"
               "Short                  Cannot be read: The file is too short\n"
               "4 calls as logged: £5.76 (£4.80 exc. tax)\n"
               "1 call could not be priced\n";
        QTest::newRow("this week, as JSON")
            << QStringList{"compare", "--period", "week", "--json"}
            << "{\"calls\":2,\"logged\":{\"gross\":2.88,\"net\":2.4},\"tariffs\":["
               "{\"calls\":2,\"cheaper\":2,\"difference\":-2.68,\"gross\":0.2,\"inUse\":false,\"net\":0.2,"
               "\"rate\":\"Cheap\"},"
               "{\"calls\":2,\"cheaper\":2,\"difference\":-1.78,\"gross\":1.1,\"inUse\":false,\"net\":1,"
               "\"rate\":\"Νύχτα, Σαββατοκύριακο\"},"
               "{\"calls\":2,\"cheaper\":0,\"difference\":0,\"gross\":2.88,\"inUse\":true,\"net\":2.4,"
               "\"rate\":\"Dear\"},"
               "{\"error\":\"The file is too short\",\"inUse\":false,\"rate\":\"Short\"}],\"unpriced\":1}\n";
        QTest::newRow("November, as CSV")
            << QStringList{"compare", "--from", "2026-11-01", "--to", "2026-11-30", "--csv"}
            << "Rate file,In use,Calls,Cost exc. Tax,Cost inc. Tax,Difference,Cheaper calls,Error\n"
               "Cheap,no,1,0.10,0.10,-1.34,1,\n"
               "\"Νύχτα, Σαββατοκύριακο\",no,1,0.50,0.55,-0.89,1,\n"
               "Dear,yes,1,1.20,1.44,0.00,0,\n"
               "Short,no,,,,,,The file is too short\n";
        QTest::newRow("this year from 8 December, a period and days together")
            << QStringList{"compare", "--period", "year", "--from", "2026-12-08"}
            << "Rate file              Calls  Cost exc. Tax  Cost inc. Tax  Difference  Cheaper calls\n"
               "Cheap                      1          £0.10          £0.10      -£1.34              1\n"
               "Νύχτα, Σαββατοκύριακο      1          £0.50          £0.55      -£0.89              1\n"
               "Dear (in use)              1          £1.20          £1.44       £0.00              0\n"
               "Short                  Cannot be read: The file is too short\n"
               "1 call as logged: £1.44 (£1.20 exc. tax)\n"
               "1 call could not be priced\n";
    }
    void tables() {
        QFETCH(QStringList, words);
        QFETCH(QString, shown);
        QByteArray out, err;
        QCOMPARE(run(words, out, err), 0);
        QVERIFY2(err.isEmpty(), err);
        QCOMPARE(QString::fromUtf8(out), shown);
    }

    void wrongCommandLines_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("said");
        QTest::newRow("both --json and --csv")
            << QStringList{"compare", "--json", "--csv"} << "compare takes --json or --csv, not both";
        QTest::newRow("an export's option")
            << QStringList{"compare", "--output", "x"} << "Unknown option 'output'.";
        QTest::newRow("no such day") << QStringList{"compare", "--to", "2026-02-30"}
                                     << "\"2026-02-30\" is not a date (YYYY-MM-DD)";
        QTest::newRow("a day the other way round")
            << QStringList{"compare", "--from", "09/12/2026"} << "\"09/12/2026\" is not a date (YYYY-MM-DD)";
        QTest::newRow("--from after --to")
            << QStringList{"compare", "--from", "2026-12-02", "--to", "2026-12-01"} << "--from is after --to";
        QTest::newRow("an unknown period")
            << QStringList{"compare", "--period", "decade"} << "unknown period \"decade\"";
        QTest::newRow("--csv to an export") << QStringList{"export", "--csv"} << "Unknown option 'csv'.";
        QTest::newRow("--by to a comparison")
            << QStringList{"compare", "--by", "day"} << "Unknown option 'by'.";
    }
    void wrongCommandLines() {
        QFETCH(QStringList, words);
        QFETCH(QString, said);
        QByteArray out, err;
        QCOMPARE(run(words, out, err), 2);
        QVERIFY(out.isEmpty());
        QVERIFY2(err.startsWith(("dialtally: " + said + "\n").toUtf8()), err);
    }
};

QTEST_GUILESS_MAIN(TestCompareCommand)
#include "test_comparecommand.moc"
