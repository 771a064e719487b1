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
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

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
    QString exported(CallExport::Form form, int first, int last) {
        QByteArray bytes;
        QString reason;
        const CallTableModel& table = m_viewer->model();
        const bool ok = CallExport::stream(
            CallExport::layoutOf(table, form), CallExport::tableRows(table, first, last),
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
        using CallExport::Form;
        QCOMPARE(exported(Form::Ruled, 0, 1),
                 QStringLiteral("H1\nH2\n\n"
                                "+--------------------------------------+----------+------------+\n"
                                "|                 Rate                 |   Date   |Cost inc Tax|\n"
                                "+--------------------------------------+----------+------------+\n"
                                "|          Cable, \"Wireless\"           |06/12/2026|   \u00a31.50    |\n"
                                "|CallRate.log file corrupted, Rate lost|06/12/2026|   \u00a30.25    |\n"
                                "+--------------------------------------+----------+------------+\n"));
        QCOMPARE(exported(Form::Comma, 0, 1),
                 QStringLiteral("H1\nH2\n\nRate,Date,Cost inc Tax,\n"
                                "\"Cable, \"\"Wireless\"\"\",06/12/2026,\u00a31.50,\n"
                                "\"CallRate.log file corrupted, Rate lost\",06/12/2026,\u00a30.25,\n"));
        QCOMPARE(exported(Form::Comma, 1, 1),
                 QStringLiteral("H1\nH2\n\nRate,Date,Cost inc Tax,\n"
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
            {columns, RateNames(), QStringLiteral("\u00a3"), CallExport::Form::Ruled, false, terminal},
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
        QTest::addColumn<int>("form"); // 0 ruled, 1 comma, 2 spreadsheet
        QTest::newRow("no extension, csv entry") << "calls" << 0 << "calls.csv" << 2;
        QTest::newRow("no extension, prn entry") << "calls" << 1 << "calls.prn" << 1;
        QTest::newRow("no extension, text entry") << "calls" << 2 << "calls.txt" << 0;
        QTest::newRow("no extension, any file") << "calls" << 3 << "calls" << 0;
        QTest::newRow("upper-case PRN") << "CALLS.PRN" << 2 << "CALLS.PRN" << 1;
        QTest::newRow(".csv with the text entry") << "calls.csv" << 2 << "calls.csv" << 2;
        QTest::newRow("upper-case CSV, any file") << "Calls.CSV" << 3 << "Calls.CSV" << 2;
        QTest::newRow(".txt with the csv entry") << "calls.txt" << 0 << "calls.txt" << 0;
        QTest::newRow("csv without its point") << "callscsv" << 3 << "callscsv" << 0;
        QTest::newRow("a longer extension") << "calls.data" << 1 << "calls.data.prn" << 1;
        QTest::newRow("a longer extension, csv entry") << "calls.data" << 0 << "calls.data.csv" << 2;
    }
    void fileNames() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, name);
        QFETCH(int, form);
        QCOMPARE(CallExport::fileNameFor(chosen, filter), name);
        QCOMPARE(int(CallExport::formFor(name)), form);
    }

    // The header lines and the titles (a comma layout without rows), in the program's text rule.
    QString writeHeader(const QString& name, const QString& line) {
        const CallTableModel& table = m_viewer->model();
        return CallExport::write(m_dir.filePath(name), CallExport::layoutOf(table, CallExport::Form::Comma),
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

    // Every column in the viewer's order; the first call plain, the second
    // one of the row's kind; the bytes a spreadsheet is given, by hand.
    void spreadsheetCsv_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("second"); // "plain", "damaged" or "none"
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray bom("\xEF\xBB\xBF");
        const QByteArray titles = "Date,Day,Start Time,End Time,Duration (s),Cost exc Tax (\xC2\xA3),"
                                  "Cost inc Tax (\xC2\xA3),Type Of Call,Distance,Rate\r\n";
        const QByteArray first = "2026-12-06,Sunday,09:00:00,09:14:24,864,0.75,1.50,Daytime,Local,";
        const QByteArray second = "2026-12-07,Monday,23:30:00,23:44:24,864,0.25,0.50,Evening,Regional,";
        QTest::newRow("plain rows") << "\u00a3"
                                    << "BT Saver"
                                    << "plain"
                                    << bom + titles + first + "BT Saver\r\n" + second + "BT Saver\r\n";
        QTest::newRow("a comma and quotes")
            << "\u00a3"
            << "Night, \"Saver\""
            << "none" << bom + titles + first + "\"Night, \"\"Saver\"\"\"\r\n";
        QTest::newRow("a line break") << "\u00a3"
                                      << "Night\nSaver"
                                      << "none" << bom + titles + first + "\"Night\nSaver\"\r\n";
        QTest::newRow("a Cyrillic name")
            << "\u00a3"
            << "\u041d\u043e\u0447\u044c"
            << "none" << bom + titles + first + "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C\r\n";
        QTest::newRow("the rupee") << "\u20b9"
                                   << "Jio"
                                   << "none"
                                   << bom + QByteArray(titles).replace("\xC2\xA3", "\xE2\x82\xB9") + first +
                                          "Jio\r\n";
        QTest::newRow("no symbol") << ""
                                   << "Jio"
                                   << "none"
                                   << bom + QByteArray(titles).replace(" (\xC2\xA3)", "") + first + "Jio\r\n";
        QTest::newRow("a damaged record") << "\u00a3"
                                          << "BT"
                                          << "damaged" << bom + titles + first + "BT\r\n" + ",,,,,,,,,\r\n";
    }
    void spreadsheetCsv() {
        QFETCH(QString, symbol);
        QFETCH(QString, rate);
        QFETCH(QString, second);
        QFETCH(QByteArray, bytes);
        RateNames rates;
        rates.storeOpened = true;
        rates.names.insert(1, rate);
        std::vector<CallRecord> calls = {sampleCall(QDateTime(QDate(2026, 12, 6), QTime(9, 0)), 1.5f, 1, 1)};
        if (second == "plain") {
            calls.push_back(sampleCall(QDateTime(QDate(2026, 12, 7), QTime(23, 30)), 0.5f, 5, 1));
        } else if (second == "damaged") {
            CallRecord damaged;
            damaged.date = damaged.startTime = std::nan("");
            damaged.endTime = std::numeric_limits<double>::infinity();
            damaged.duration = -0.01;
            damaged.grossCost = damaged.netCost = std::nanf("");
            damaged.dayOfWeek = 9;
            damaged.rateCode = 13;
            damaged.rateNameKey = 7; // not in the store
            calls.push_back(damaged);
        }
        const ColumnLayout columns;
        QByteArray written;
        QVERIFY(CallExport::stream(
            {columns, rates, symbol, CallExport::Form::Spreadsheet, true},
            [&calls](const CallExport::CallVisitor& visit, QString*) {
                for (const CallRecord& call : calls)
                    visit(call);
                return true;
            },
            [](qint64, double) { return QStringList{"not in a spreadsheet's file"}; },
            [&written](QByteArrayView b, QString*) {
                written += b;
                return true;
            },
            nullptr));
        QCOMPARE(written, bytes);

        // A spreadsheet's reader gets the rows back, the name as it was.
        if (QStandardPaths::findExecutable("python3").isEmpty())
            QSKIP("python3 is not installed");
        QProcess python;
        python.start("python3",
                     {"-c", "import csv, io, json, sys; print(json.dumps(list(csv.reader("
                            "io.TextIOWrapper(sys.stdin.buffer, encoding='utf-8-sig', newline='')))))"});
        python.write(written);
        python.closeWriteChannel();
        QVERIFY(python.waitForFinished());
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), qsizetype(1 + calls.size()));
        QCOMPARE(rows[0].toArray()[6].toString(),
                 symbol.isEmpty() ? QStringLiteral("Cost inc Tax") : "Cost inc Tax (" + symbol + ")");
        QCOMPARE(rows[1].toArray().size(), 10);
        QCOMPARE(rows[1].toArray()[9].toString(), rate);
        QCOMPARE(rows[1].toArray()[4].toString(), QStringLiteral("864"));
    }

    // Type that grows in proportion to its size, or in whole points as hinted
    // type may: the largest size up to 9 points that fits, turned only below 7.
    void printoutFitsItsPage_data() {
        QTest::addColumn<int>("perPoint"); // the printout's width for each point of type
        QTest::addColumn<int>("linesHeight");
        QTest::addColumn<bool>("wholePoints");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("turned");
        // The page is 5000 wide and 8000 high; turned, 8000 by 5000.
        QTest::newRow("fits as it is") << 500 << 100 << false << 9.0 << false;
        QTest::newRow("smaller type") << 600 << 100 << false << 8.3 << false;
        QTest::newRow("down to the least") << 714 << 100 << false << 7.0 << false;
        QTest::newRow("turned") << 800 << 100 << false << 9.0 << true;
        QTest::newRow("turned and smaller") << 1100 << 100 << false << 7.25 << true;
        QTest::newRow("fits neither way") << 1700 << 100 << false << 4.7 << true;
        QTest::newRow("too high") << 100 << 1100 << false << 7.25 << false;
        QTest::newRow("hinted type") << 600 << 100 << true << 7.65 << false;
    }
    void printoutFitsItsPage() {
        QFETCH(int, perPoint);
        QFETCH(int, linesHeight);
        QFETCH(bool, wholePoints);
        QFETCH(double, size);
        QFETCH(bool, turned);
        const PrintMeasure measure = [&](double points) {
            const double type = wholePoints ? std::ceil(points) : points;
            return QSize(int(std::ceil(type * perPoint)), int(std::ceil(type * linesHeight)));
        };
        const QSize page(5000, 8000);
        const PrintFit fit = fitPrintout(measure, page, page.transposed(), 9, 7);
        QCOMPARE(fit.turned, turned);
        QCOMPARE(qRound(fit.pointSize * 100), qRound(size * 100));
        const QSize needs = measure(fit.pointSize);
        const QSize area = turned ? page.transposed() : page;
        QVERIFY(needs.width() <= area.width() && needs.height() <= area.height());
    }

    // Columns as wide as their texts and a blank either side; rows down to
    // half a line above the page number; kept from the paper's edges.
    void printedPage() {
        PrintLayout layout(QRect(100, 200, 4000, 6000), {100, 20, {300, 500}});
        QCOMPARE(layout.columnLeft(1), 440);
        QCOMPARE(layout.columnLeft(2), 980);
        const std::vector<PrintItem> head = layout.pageHeader({"1", "2", "3", "4"}, {"Date", "Day"});
        QCOMPARE(head[3].rect.topLeft(), QPoint(100, 500));
        QCOMPARE(head[4].kind, PrintItem::GreyFrame);
        QCOMPARE(head[4].rect, QRect(QPoint(100, 700), QPoint(440, 800)));
        QCOMPARE(head[5].rect, QRect(QPoint(120, 700), QPoint(420, 800))); // the title inside its blanks
        int rows = 0;
        for (; !layout.pageFull(); ++rows)
            QCOMPARE(layout.row({"a", "b"}).size(), size_t(4));
        QCOMPARE(rows, 52); // y = 800 .. 5900; the page number stands at 6100
        QCOMPARE(layout.pageFooter(2).rect, QRect(100, 6100, 4000, 100));
        QCOMPARE(PrintLayout::needed({100, 20, {300, 500}}, 800), QSize(881, 850));
        QCOMPARE(PrintLayout::needed({100, 20, {300, 500}}, 1000), QSize(1000, 850));

        // A4 at 1200 dpi, margins of 5 mm and of 20 mm: 0.4 inch at least from the edges.
        const QRect paper(0, 0, 9921, 14031);
        QCOMPARE(PrintLayout::area(paper, paper.adjusted(236, 236, -236, -236), 1200, 1200),
                 QRect(QPoint(480 - 236, 480 - 236), QPoint(9920 - 480 - 236, 14030 - 480 - 236)));
        QCOMPARE(PrintLayout::area(paper, paper.adjusted(945, 945, -945, -945), 1200, 1200),
                 QRect(QPoint(0, 0), QPoint(9920 - 2 * 945, 14030 - 2 * 945)));
    }
};

QTEST_GUILESS_MAIN(TestCallExport)
#include "test_callexport.moc"
