// `report --by number`: what the calls to each number, or its name, cost,
// costliest first, for a period or between two days.
#include "CommandRun.h"
#include "core/calllog/AddressBook.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/NumberPlan.h"

#include "fakes/SampleCall.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const double Now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
double at(int month, int day, int hour) {
    return DayCount::fromDateTime(QDateTime(QDate(2026, month, day), QTime(hour, 0)));
}
} // namespace

class TestNumberReport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // Each call a quarter of an hour less 36 s (14.4 minutes), its cost without tax half the cost with it.
    void initTestCase() {
        const struct {
            double start;
            float cost;
            const char* number;
        } calls[] = {{at(12, 9, 9), 0.5f, "08454500000"},
                     {at(12, 9, 10), 0.5f, "+448454500001"},
                     {at(12, 8, 10), 0.5f, "08454500000"},
                     {at(12, 9, 11), 5.0f, "01632960000"},
                     {at(12, 9, 12), 0.2f, ""},
                     {at(11, 20, 12), 1.0f, "0049301234"}};
        std::vector<CallRecord> records;
        std::vector<CallNumber> numbers;
        for (const auto& call : calls) {
            records.push_back(sampleCall(call.start, call.cost));
            if (*call.number)
                numbers.push_back({call.start, QLatin1String(call.number)});
        }
        QVERIFY(CallLog(ProgramFiles::callLogPath(m_dir.path())).append(records));
        QVERIFY(CallNumberLog(ProgramFiles::callNumbersPath(m_dir.path())).append(numbers));
        AddressBook book;
        book.entries = {{QStringLiteral("0845"), QStringLiteral("Provider")}};
        QVERIFY(book.write(AddressBook::pathIn(m_dir.path())));
        QVERIFY(
            SettingsFile(ProgramFiles::settingsPath(m_dir.path()))
                .WriteSettingString(NumberPlan::Section, NumberPlan::CountryCodeKey, QStringLiteral("44")));
    }

    void report_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("every call, csv") << QStringList{"--csv"} << 0
                                         << "Number,Calls,Minutes,Cost excluding tax,Cost including tax\n"
                                            "01632960000,1,14.4,2.50,5.00\n"
                                            "Provider,3,43.2,0.75,1.50\n"
                                            "0049301234,1,14.4,0.50,1.00\n"
                                            "No number,1,14.4,0.10,0.20\n";
        QTest::newRow("today, text")
            << QStringList{"--period", "today"} << 0
            << "Number       Calls  Minutes  Cost exc. Tax  Cost inc. Tax\n"
               "01632960000      1     14.4          \u00a32.50          \u00a35.00\n"
               "Provider         2     28.8          \u00a30.50          \u00a31.00\n"
               "No number        1     14.4          \u00a30.10          \u00a30.20\n";
        QTest::newRow("between two days, json")
            << QStringList{"--from", "2026-11-01", "--to", "2026-12-08", "--json"} << 0
            << "{\"numbers\":[{\"calls\":1,\"gross\":1,\"minutes\":14.4,\"net\":0.5,\"number\":"
               "\"0049301234\"},"
               "{\"calls\":1,\"gross\":0.5,\"minutes\":14.4,\"net\":0.25,\"number\":\"Provider\"}]}\n";
        QTest::newRow("no calls") << QStringList{"--from", "2027-01-01"} << 0 << "No calls\n";
        QTest::newRow("unknown period") << QStringList{"--period", "fortnight"} << 2 << "";
    }
    void report() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, output);
        QByteArray out, err;
        QCOMPARE(runCommand(QStringList{"report", "--by", "number"} + options, m_dir.path(), Now, out, err),
                 status);
        QCOMPARE(QString::fromUtf8(out), output);
    }
};

QTEST_GUILESS_MAIN(TestNumberReport)
#include "test_numberreport.moc"
