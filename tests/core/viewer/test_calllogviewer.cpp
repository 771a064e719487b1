// The viewer's work on the files: loading, sorting into "Sort.log", deleting
// from "Calls.log", and finding the first call of a period.
#include "core/calllog/AddressBook.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallNumberLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/NumberPlan.h"
#include "core/viewer/CallLogViewer.h"

#include "fakes/FakePrompter.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {
double day(int y, int m, int d, int h = 12) {
    return DayCount::fromDateTime(QDateTime(QDate(y, m, d), QTime(h, 0)));
}

} // namespace

class TestCallLogViewer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePrompter m_prompter;

    QString path(const QString& name) const { return ProgramFiles::path(m_dir->path(), name); }
    CallLog log() const { return CallLog(path(ProgramFiles::CallLogName)); }
    QByteArray bytes(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Five calls a day apart, costing 0.10, 0.50, 0.20, 0.40, 0.30.
    std::vector<CallRecord> five() const {
        std::vector<CallRecord> calls;
        const float costs[] = {0.1f, 0.5f, 0.2f, 0.4f, 0.3f};
        for (int i = 0; i < 5; ++i)
            calls.push_back(sampleCall(day(2026, 12, 1 + i), costs[i]));
        return calls;
    }
    static std::vector<float> costs(const std::vector<CallRecord>& calls) {
        std::vector<float> result;
        for (const CallRecord& r : calls)
            result.push_back(r.grossCost);
        return result;
    }
    static std::vector<float> costs(const CallLogViewer& viewer) { return costs(viewer.model().calls()); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter.clear();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    void loading_data() {
        QTest::addColumn<QByteArray>("content"); // "dir" for a directory in its place
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("totals");
        QTest::addColumn<bool>("told");
        const QByteArray one = CallRecordCodec::write(sampleCall(46000, 0.4f));
        QTest::newRow("missing") << QByteArray() << 0 << "No Calls." << false;
        QTest::newRow("empty") << QByteArray("") << 0 << "\u00a30.00 spent in 0 calls." << false;
        QTest::newRow("one call") << one << 1 << "\u00a30.40 spent in 1 call." << false;
        QTest::newRow("torn last record")
            << one + one + one.left(20) << 2 << "\u00a30.80 spent in 2 calls." << false;
        // Added up in single precision these would come to 39994.23.
        QTest::newRow("many calls") << one.repeated(100'000) << 100'000
                                    << "\u00a340000.00 spent in 100000 calls." << false;
        QTest::newRow("unreadable") << QByteArray("dir") << 0 << "No Calls." << true;
    }
    void loading() {
        QFETCH(QByteArray, content);
        QFETCH(int, calls);
        QFETCH(QString, totals);
        QFETCH(bool, told);
        if (content == "dir") {
            QVERIFY(QDir(m_dir->path()).mkdir(ProgramFiles::CallLogName));
        } else if (!content.isNull()) {
            QFile f(path(ProgramFiles::CallLogName));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.setMainSymbol(QStringLiteral("\u00a3"));
        const QString message = viewer.LoadData();
        QCOMPARE(viewer.model().callCount(), calls);
        QCOMPARE(viewer.model().isEmptyTable(), calls == 0);
        QCOMPARE(viewer.totalsLine(), totals);
        QCOMPARE(!message.isEmpty(), told);
        if (told)
            QVERIFY(message.contains(QDir::toNativeSeparators(path(ProgramFiles::CallLogName))));
        if (calls == 0)
            QCOMPARE(viewer.model().cellText(0, 0), QStringLiteral("No Calls"));
    }

    void sortingCopiesTheLogInOrder() {
        QVERIFY(log().append(five()));
        const QByteArray logged = bytes(ProgramFiles::CallLogName);
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        viewer.SortAscending = false;
        QCOMPARE(viewer.QuickSort(CostIncTaxColumn), QString());
        QCOMPARE(costs(viewer), (std::vector<float>{0.5f, 0.4f, 0.3f, 0.2f, 0.1f}));
        QCOMPARE(viewer.RowRecordMap(), (std::vector<quint32>{1, 3, 4, 2, 0}));
        QCOMPARE(bytes(ProgramFiles::CallLogName), logged); // the log keeps its order
        QCOMPARE(costs(CallLog(path(ProgramFiles::SortName)).readAll()), costs(viewer));
        QCOMPARE(m_prompter.beeps, 1); // no rate-name store
    }

    // Record numbers past 65,535 still name the right calls.
    void deletingFromALargeSortedLog() {
        std::vector<CallRecord> calls;
        for (int i = 0; i < 70'000; ++i)
            calls.push_back(sampleCall(40000 + i / 100.0, float(i % 7)));
        QVERIFY(log().append(calls));
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        viewer.SortAscending = false;
        viewer.SortKey = DateColumn;
        viewer.QuickSort(DateColumn);
        QCOMPARE(viewer.deleteRows(0, 0), QString());   // the newest: record 69,999
        QCOMPARE(viewer.deleteRows(10, 19), QString()); // the rows left still name their calls
        const std::vector<CallRecord> left = log().readAll();
        QCOMPARE(left.size(), size_t(69'989));
        QCOMPARE(left.back(), calls[69'998]);
        QCOMPARE(left[4463], calls[4463]);
        for (size_t row = 0; row < left.size(); ++row)
            QCOMPARE(left[viewer.RowRecordMap()[row]], viewer.model().call(int(row)));
        QCOMPARE(CallLog(path(ProgramFiles::SortName)).readAll(), viewer.model().calls());
    }

    // Calls deleted, the sorted copy not written: the table shows the log as it now is.
    void aSortedCopyThatCannotBeWrittenAfterADeletion() {
        QVERIFY(log().append(five()));
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        viewer.SortAscending = false;
        viewer.SortKey = CostIncTaxColumn;
        viewer.QuickSort(CostIncTaxColumn);
        QVERIFY(QFile::remove(path(ProgramFiles::SortName)));
        QVERIFY(QDir(m_dir->path()).mkdir(ProgramFiles::SortName));
        const QString message = viewer.deleteRows(0, 0); // the most expensive
        QVERIFY(message.contains(QDir::toNativeSeparators(path(ProgramFiles::SortName))));
        QCOMPARE(costs(log().readAll()), (std::vector<float>{0.1f, 0.2f, 0.4f, 0.3f}));
        QCOMPARE(costs(viewer), costs(log().readAll()));
        QVERIFY(!viewer.sortedView() && viewer.SortKey == DateColumn && viewer.SortAscending);
    }

    // Whatever the order, damaged dates among the calls, the rows of a period
    // hold exactly its calls, or there are none and the message says why.
    void periodRowsHoldExactlyThePeriod() {
        QRandomGenerator random(4);
        std::vector<CallRecord> calls;
        for (int i = 0; i < 400; ++i)
            calls.push_back(
                sampleCall(i % 37 == 5 ? std::nan("") : day(2026, 12, 14) - random.bounded(60), 0.1f));
        QVERIFY(log().append(calls));
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        viewer.SortKey = -1;
        viewer.toggleSort(viewer.layout().position(DateColumn));
        viewer.QuickSort(DateColumn);
        QString message;
        const auto rows = viewer.periodRows(SelectionPeriod::Week, day(2026, 12, 9), &message);
        QVERIFY(rows || !message.isEmpty());
        for (int row = 0; rows && row < viewer.model().callCount(); ++row) {
            const double date = viewer.model().call(row).date;
            const bool inWeek = !std::isnan(date) && DayCount::toDateTime(date).date() >= QDate(2026, 12, 7);
            QCOMPARE(row >= rows->first && row <= rows->second, inWeek);
        }
    }

    // The Number column shows each call's name or number, sorts by it, and a
    // deletion takes the numbers of the deleted calls out of the numbers file
    // (torn tail and all), whatever the order shown.
    void numbersGoWithTheirCalls_data() {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QList<int>>("numbered"); // the calls whose numbers stay
        const QStringList all = {"0123", "Provider", "", "Provider", "0123"};
        QTest::newRow("in file order")
            << false << 1 << 2 << all << QStringList{"0123", "Provider", "0123"} << QList<int>{0, 3, 4};
        QTest::newRow("sorted by number")
            << true << 3 << 4 << QStringList{"", "0123", "0123", "Provider", "Provider"}
            << QStringList{"", "0123", "0123"} << QList<int>{0, 4};
    }
    void numbersGoWithTheirCalls() {
        QFETCH(bool, sorted);
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, left);
        QFETCH(QList<int>, numbered);
        const std::vector<CallRecord> calls = five();
        QVERIFY(log().append(calls));
        const QStringList dialled = {"0123", "0845111", "", "+44845222", "0123"};
        std::vector<CallNumber> entries;
        for (int i = 0; i < 5; ++i) {
            if (!dialled[i].isEmpty())
                entries.push_back({calls[size_t(i)].date, dialled[i]});
        }
        const CallNumberLog numbers(path(ProgramFiles::CallNumbersName));
        QVERIFY(numbers.append(entries));
        QFile torn(numbers.path());
        QVERIFY(torn.open(QIODevice::Append) && torn.write("\x01\x02\x03") == 3);
        torn.close();
        QVERIFY(
            SettingsFile(path(ProgramFiles::SettingsName))
                .WriteSettingString(NumberPlan::Section, NumberPlan::CountryCodeKey, QStringLiteral("44")));
        AddressBook book;
        book.entries = {{QStringLiteral("0845"), QStringLiteral("Provider")}};
        QVERIFY(book.write(AddressBook::pathIn(m_dir->path())));

        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.layout().toggleColumn(NumberColumn);
        QCOMPARE(viewer.LoadData(), QString());
        if (sorted)
            QCOMPARE(viewer.QuickSort(NumberColumn), QString());
        const auto texts = [&viewer] {
            QStringList column;
            for (int row = 0; row < viewer.model().callCount(); ++row)
                column << viewer.model().cellText(row, viewer.layout().position(NumberColumn));
            return column;
        };
        QCOMPARE(texts(), shown);
        QCOMPARE(viewer.deleteRows(top, bottom), QString());
        QCOMPARE(texts(), left);
        std::vector<CallNumber> kept;
        QVERIFY(numbers.forEach([&](const CallNumber& entry) { kept.push_back(entry); }));
        std::vector<CallNumber> expected;
        for (int i : numbered)
            expected.push_back({calls[size_t(i)].date, dialled[i]});
        QCOMPARE(kept, expected);
    }

    void aRewrittenLogIsNotDeletedFrom() {
        QVERIFY(log().append(five()));
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        std::vector<CallRecord> other = five();
        other.erase(other.begin());
        QFile::remove(path(ProgramFiles::CallLogName));
        QVERIFY(log().append(other));
        const QString message = viewer.deleteRows(1, 1);
        QVERIFY(message.contains(QStringLiteral("no call was deleted")));
        QCOMPARE(costs(log().readAll()), costs(other));
        QCOMPARE(costs(viewer), costs(other)); // shown as it now is
    }

    void aFailedWriteLeavesTheLog() {
        QVERIFY(log().append(five()));
        const QByteArray logged = bytes(ProgramFiles::CallLogName);
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        QString message;
        {
            FileSizeLimit limit(100);
            message = viewer.deleteRows(0, 0);
        }
        QVERIFY(message.contains(QDir::toNativeSeparators(path(ProgramFiles::CallLogName))));
        QVERIFY(message.contains(QStringLiteral("No call was deleted.")));
        QCOMPARE(bytes(ProgramFiles::CallLogName), logged);
        QCOMPARE(viewer.model().callCount(), 5);
    }

    void periodStart_data() {
        QTest::addColumn<double>("now");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("startRow"); // -1 for none
        const auto row = [](const char* name, double now, SelectionPeriod p, int start) {
            QTest::newRow(name) << now << int(p) << start;
        };
        // The calls: 2025-12-31, 2026-01-01, 2026-11-30, 2026-12-01, 2026-12-06 (Sunday),
        // 2026-12-07 (Monday), 2026-12-13 (Sunday), 2027-03-01.
        row("today, Monday", day(2026, 12, 7, 23), SelectionPeriod::Today, 5);
        row("today, none", day(2026, 12, 8), SelectionPeriod::Today, -1);
        row("week on a Monday starts that day", day(2026, 12, 7), SelectionPeriod::Week, 5);
        row("week on a Sunday starts six days before", day(2026, 12, 13), SelectionPeriod::Week, 5);
        row("week on a Saturday", day(2026, 12, 12), SelectionPeriod::Week, 5);
        row("month on the 1st", day(2026, 12, 1, 0), SelectionPeriod::Month, 3);
        row("month at its end", day(2026, 11, 30, 23), SelectionPeriod::Month, 2);
        row("year includes the 1st of January", day(2026, 6, 1), SelectionPeriod::Year, 1);
        row("year, later calls count too", day(2027, 1, 5), SelectionPeriod::Year, 7);
        row("year, none", day(2028, 1, 5), SelectionPeriod::Year, -1);
    }
    void periodStart() {
        QFETCH(double, now);
        QFETCH(int, period);
        QFETCH(int, startRow);
        std::vector<CallRecord> calls;
        for (double d : {day(2025, 12, 31, 23), day(2026, 1, 1, 0), day(2026, 11, 30), day(2026, 12, 1, 0),
                         day(2026, 12, 6), day(2026, 12, 7), day(2026, 12, 13), day(2027, 3, 1)})
            calls.push_back(sampleCall(d, 0.1f));
        QVERIFY(log().append(calls));
        CallLogViewer viewer(m_dir->path(), m_prompter);
        viewer.LoadData();
        const auto rows = viewer.periodRows(SelectionPeriod(period), now);
        QCOMPARE(rows ? rows->first : -1, startRow);
        QCOMPARE(rows ? rows->second : -1, startRow < 0 ? -1 : 7); // later calls too
    }
};

QTEST_GUILESS_MAIN(TestCallLogViewer)
#include "test_calllogviewer.moc"
