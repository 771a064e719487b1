// The export layouts byte for byte, the file name rule, and the printout's arithmetic.
#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/PrintLayout.h"

#include "fakes/FakePrompter.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class TestCallExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakePrompter m_prompter;
    std::unique_ptr<CallLogViewer> m_viewer;

    QByteArray bytes(const QString& name) const {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    // Rate, Date and Cost inc Tax shown, in that order; a rate name with a comma and quotes, and the
    // store's text for a missing name, longer than the column.
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const QString dir = m_dir.path();
        const RateNameStore store(ProgramFiles::rateNameStorePath(dir));
        QCOMPARE(store.RateNameKeyFor(QStringLiteral("Cable, \"Wireless\"")), 1);
        const QDateTime start(QDate(2026, 12, 6), QTime(9, 0));
        QVERIFY(CallLog(ProgramFiles::callLogPath(dir))
                    .append({sampleCall(start, 1.5f, 1, 1), sampleCall(start, 0.25f, 1, 2)}));
        QFile ini(ProgramFiles::settingsPath(dir));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(
            "[Data Viewer Defaults]\nDayOn=0\nStartTimeOn=0\nEndTimeOn=0\nDurationOn=0\nCostExcTaxOn=0\n"
            "TypeOfCallOn=0\nDistanceOn=0\nRatePosition=0\nDatePosition=1\nCostIncTaxPosition=2\n");
        ini.close();
        const SettingsFile settings(ini.fileName());
        m_viewer = std::make_unique<CallLogViewer>(dir, m_prompter);
        m_viewer->layout().read(settings);
        m_viewer->setMainSymbol(QStringLiteral("\u00a3"));
        QCOMPARE(m_viewer->LoadData(), QString());
    }

    // The streamed export of rows first..last, read back with CR LF as "\n".
    QString exported(bool comma, int first, int last) {
        QByteArray bytes;
        QString reason;
        const CallTableModel& table = m_viewer->model();
        const bool ok = CallExport::stream(
            CallExport::layoutOf(table, comma), CallExport::tableRows(table, first, last),
            [](qint64, double) {
                return QStringList{"H1", "H2"};
            },
            [&bytes](QByteArrayView b, QString*) {
                bytes += b;
                return true;
            },
            &reason);
        return ok ? TextCodec::decode(bytes).replace("\r\n", "\n") : reason;
    }

    // The Rate column grows to the store's text for a missing name.
    void layouts() {
        QCOMPARE(exported(false, 0, 1),
                 QStringLiteral("H1\nH2\n\n"
                                "+--------------------------------------+----------+------------+\n"
                                "|                 Rate                 |   Date   |Cost inc Tax|\n"
                                "+--------------------------------------+----------+------------+\n"
                                "|          Cable, \"Wireless\"           |06/12/2026|   \u00a31.50    |\n"
                                "|CallRate.log file corrupted, Rate lost|06/12/2026|   \u00a30.25    |\n"
                                "+--------------------------------------+----------+------------+\n"));
        QCOMPARE(exported(true, 0, 1),
                 QStringLiteral("H1\nH2\n\nRate,Date,Cost inc Tax,\n"
                                "\"Cable, \"\"Wireless\"\"\",06/12/2026,\u00a31.50,\n"
                                "\"CallRate.log file corrupted, Rate lost\",06/12/2026,\u00a30.25,\n"));
        QCOMPARE(exported(true, 1, 1), QStringLiteral("H1\nH2\n\nRate,Date,Cost inc Tax,\n"
                                                      "\"CallRate.log file corrupted, Rate lost\",06/12/2026,"
                                                      "\u00a30.25,\n"));
        QCOMPARE(CallExport::CentreInColumn(QStringLiteral("CallRate.log file not present, Rate lost"), 30),
                 QStringLiteral(" CallRate.log file not present, Rate lost "));
        QCOMPARE(
            CallExport::headerLines(false, m_viewer->model().call(0).date, true, "S").mid(1),
            (QStringList{"Created On 06/12/2026 at 09:00:00.", "Contains A Selection of Calls Only.", "S"}));
    }

    // Date, Day and Cost inc Tax shown; a ruled column is as wide as its widest text.
    void ruledColumnsGrowToTheirWidestText_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("calls"); // day and cost
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("table");
        QTest::newRow("every text fits its field") << "en_GB" << QStringList{"2026-12-06 1.5"} << false
                                                   << "+----------+------------+------------+\n"
                                                      "|   Date   |    Day     |Cost inc Tax|\n"
                                                      "+----------+------------+------------+\n"
                                                      "|06/12/2026|   Sunday   |   \u00a31.50    |\n"
                                                      "+----------+------------+------------+\n";
        const QString longDates = "+------------+------------+------------+\n"
                                  "|    Date    |    Day     |Cost inc Tax|\n"
                                  "+------------+------------+------------+\n"
                                  "|26. 10. 2026|   Monday   |   \u00a31,50    |\n"
                                  "|6. 12. 2026 |   Sunday   |   \u00a30,25    |\n"
                                  "+------------+------------+------------+\n";
        QTest::newRow("dates from the 10th longer")
            << "sk_SK" << QStringList{"2026-10-26 1.5", "2026-12-06 0.25"} << false << longDates;
        QTest::newRow("on a terminal")
            << "sk_SK" << QStringList{"2026-10-26 1.5", "2026-12-06 0.25"} << true << longDates;
        QTest::newRow("a large amount")
            << "en_GB" << QStringList{"2026-12-06 1.5", "2026-12-06 123456789"} << false
            << "+----------+------------+-------------+\n"
               "|   Date   |    Day     |Cost inc Tax |\n"
               "+----------+------------+-------------+\n"
               "|06/12/2026|   Sunday   |    \u00a31.50    |\n"
               "|06/12/2026|   Sunday   |\u00a3123456792.00|\n"
               "+----------+------------+-------------+\n";
    }
    void ruledColumnsGrowToTheirWidestText() {
        QFETCH(QString, locale);
        QFETCH(QStringList, calls);
        QFETCH(bool, terminal);
        QFETCH(QString, table);
        QLocale::setDefault(QLocale(locale));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); });
        ColumnLayout columns;
        for (int c : {StartTimeColumn, EndTimeColumn, DurationColumn, CostExcTaxColumn, TypeOfCallColumn,
                      DistanceColumn, RateColumn})
            columns.toggleColumn(c);
        std::vector<CallRecord> records;
        for (const QString& call : calls) {
            const QStringList parts = call.split(' ');
            records.push_back(sampleCall(QDateTime(QDate::fromString(parts[0], Qt::ISODate), QTime(9, 0)),
                                         parts[1].toFloat()));
        }
        QByteArray bytes;
        QVERIFY(CallExport::stream(
            {columns, RateNames(), QStringLiteral("\u00a3"), false, false, terminal},
            [&records](const CallExport::CallVisitor& visit, QString*) {
                for (const CallRecord& call : records)
                    visit(call);
                return true;
            },
            [](qint64, double) { return QStringList{"H"}; },
            [&bytes](QByteArrayView b, QString*) {
                bytes += b;
                return true;
            },
            nullptr));
        QCOMPARE(bytes.contains("\r\n"), !terminal);
        QCOMPARE(TextCodec::decode(bytes).replace("\r\n", "\n"), "H\n\n" + table);
    }

    void fileNames_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("comma");
        QTest::newRow("no extension, csv entry") << "calls" << 0 << "calls.csv" << true;
        QTest::newRow("no extension, prn entry") << "calls" << 1 << "calls.prn" << true;
        QTest::newRow("no extension, text entry") << "calls" << 2 << "calls.txt" << false;
        QTest::newRow("no extension, any file") << "calls" << 3 << "calls" << false;
        QTest::newRow("upper-case PRN") << "CALLS.PRN" << 2 << "CALLS.PRN" << true;
        QTest::newRow(".csv with the text entry") << "calls.csv" << 2 << "calls.csv" << true;
        QTest::newRow("upper-case CSV, any file") << "Calls.CSV" << 3 << "Calls.CSV" << true;
        QTest::newRow(".txt with the csv entry") << "calls.txt" << 0 << "calls.txt" << false;
        QTest::newRow("csv without its point") << "callscsv" << 3 << "callscsv" << false;
        QTest::newRow("a longer extension") << "calls.data" << 1 << "calls.data.prn" << true;
        QTest::newRow("a longer extension, csv entry") << "calls.data" << 0 << "calls.data.csv" << true;
    }
    void fileNames() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, name);
        QFETCH(bool, comma);
        QCOMPARE(CallExport::fileNameFor(chosen, filter), name);
        QCOMPARE(CallExport::isCommaFile(name), comma);
    }

    // The header lines and the titles (a comma layout without rows), in the program's text rule.
    QString writeHeader(const QString& name, const QString& line) {
        const CallTableModel& table = m_viewer->model();
        return CallExport::write(m_dir.filePath(name), CallExport::layoutOf(table, true),
                                 CallExport::tableRows(table, 1, 0),
                                 [&line](qint64, double) { return QStringList{line}; });
    }

    void writing() {
        const QByteArray titles("\r\n\r\nRate,Date,Cost inc Tax,\r\n");
        QCOMPARE(writeHeader("a.txt", "\u00a31.50"), QString());
        QCOMPARE(bytes("a.txt"), "\xa3" + QByteArray("1.50") + titles);
        QCOMPARE(writeHeader("b.txt", "\u0395\u03bd\u03ad\u03c1\u03b3\u03b5\u03b9\u03b1 \u00a3"), QString());
        QCOMPARE(bytes("b.txt"),
                 QByteArray("\xEF\xBB\xBF") +
                     QStringLiteral("\u0395\u03bd\u03ad\u03c1\u03b3\u03b5\u03b9\u03b1 \u00a3").toUtf8() +
                     titles);
        FileSizeLimit limit(10);
        QVERIFY(writeHeader("a.txt", QString(100, 'x')).contains(m_dir.filePath("a.txt")));
        QCOMPARE(bytes("a.txt"), "\xa3" + QByteArray("1.50") + titles);
    }

    // 600 dpi, the printable area 30 and 40 pixels in from the paper's corner.
    void printArithmetic() {
        PrintLayout layout({"P", QSize(4800, 6600), QPoint(30, 40), 600, 600, 100}, {58, 60});
        QCOMPARE(layout.lineHeight(), 4); // round(100 / 24)
        QCOMPARE(layout.pageHeight(), 275);
        QCOMPARE(layout.columnLeft(1), 15); // round(0.26 * 58)
        QCOMPARE(layout.columnLeft(2), 31); // round(0.26 * 118)
        const std::vector<PrintItem> head = layout.pageHeader({"1", "2", "3", "4"}, {"Date", "Day"});
        QCOMPARE(head[3].rect.topLeft(), QPoint(240 - 30, 24 * 22 - 40)); // line 4 at y = 10 + 3 * 4
        QCOMPARE(head[4].kind, PrintItem::GreyFrame);
        QCOMPARE(head[4].rect, QRect(QPoint(235 - 30, 720 - 40), QPoint(595 - 30 - 1, 816 - 40 - 1)));
        QCOMPARE(head[5].rect.topLeft(), QPoint(240 - 30, 720 - 40)); // the text starts at L + 10
        int rows = 0;
        for (; !layout.pageFull(); ++rows)
            QCOMPARE(layout.row({"a", "b"}).size(), size_t(4));
        QCOMPARE(rows, 58); // y = 34, 38, ... 262: a row at 266 would run into the page number at 269
        const PrintItem footer = layout.pageFooter(2);
        QCOMPARE(footer.text, QStringLiteral("Page 2"));
        QCOMPARE(footer.rect.topLeft(), QPoint(2400 - 30, 269 * 24 - 40));
    }
};

QTEST_GUILESS_MAIN(TestCallExport)
#include "test_callexport.moc"
