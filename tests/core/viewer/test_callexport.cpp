// The export layouts byte for byte, the file name rule, and the printout's arithmetic.
#include "core/calllog/CallLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"

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
        QCOMPARE(CallExport::formFor(name) != CallExport::Form::Ruled, comma);
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

    // Every column in the viewer's order, the first call plain, the second
    // of the row's kind: the bytes a spreadsheet is given, written by hand,
    // and the rows Python's csv module reads from them.
    void spreadsheetCsv_data() {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("second"); // "plain", "damaged" or none
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray titles = "\xEF\xBB\xBF"
                                  "Date,Day,Start Time,End Time,Duration (s),Cost exc Tax (\xC2\xA3),"
                                  "Cost inc Tax (\xC2\xA3),Type Of Call,Distance,Rate\r\n"
                                  "2026-12-06,Sunday,09:00:00,09:14:24,864,0.75,1.50,Daytime,Local,";
        const auto row = [&](const char* name, const QString& symbol, const QString& rate, const char* second,
                             const QByteArray& bytes) {
            QTest::newRow(name) << symbol << rate << second << bytes;
        };
        row("plain rows", "\u00a3", "BT Saver", "plain",
            titles + "BT Saver\r\n2026-12-07,Monday,23:30:00,23:44:24,864,0.25,0.50,Evening,Regional,BT "
                     "Saver\r\n");
        row("a comma and quotes", "\u00a3", "Night, \"Saver\"", "", titles + "\"Night, \"\"Saver\"\"\"\r\n");
        row("a Cyrillic name", "\u00a3", "\u041d\u043e\u0447\u044c", "",
            titles + "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C\r\n");
        row("the rupee", "\u20b9", "Jio", "",
            QByteArray(titles).replace("\xC2\xA3", "\xE2\x82\xB9") + "Jio\r\n");
        row("a damaged record", "\u00a3", "BT", "damaged", titles + "BT\r\n,,,,,,,,,\r\n");
    }
    void spreadsheetCsv() {
        QFETCH(QString, symbol);
        QFETCH(QString, rate);
        QFETCH(QString, second);
        QFETCH(QByteArray, bytes);
        RateNames rates{{{1, rate}}, true};
        std::vector<CallRecord> calls = {sampleCall(QDateTime(QDate(2026, 12, 6), QTime(9, 0)), 1.5f, 1, 1)};
        if (second == "plain")
            calls.push_back(sampleCall(QDateTime(QDate(2026, 12, 7), QTime(23, 30)), 0.5f, 5, 1));
        if (second == "damaged") // nothing in it can be shown; its rate name is not in the store
            calls.push_back(
                {std::nan(""), std::nan(""), HUGE_VAL, -0.01, 9, 13, 7, std::nanf(""), std::nanf("")});
        const ColumnLayout columns;
        QByteArray written;
        QVERIFY(CallExport::stream(
            {columns, rates, symbol, CallExport::Form::Spreadsheet, true},
            [&calls](const CallExport::CallVisitor& visit, QString*) {
                std::for_each(calls.begin(), calls.end(), visit);
                return true;
            },
            [](qint64, double) { return QStringList{"not in a spreadsheet's file"}; },
            [&written](QByteArrayView b, QString*) { return !written.append(b).isEmpty(); }, nullptr));
        QCOMPARE(written, bytes);

        if (QStandardPaths::findExecutable("python3").isEmpty())
            QSKIP("python3 is not installed");
        QProcess python;
        python.start("python3",
                     {"-c", "import csv, io, json, sys; print(json.dumps(list(csv.reader(io.TextIOWrapper("
                            "sys.stdin.buffer, encoding='utf-8-sig', newline='')))))"});
        python.write(written);
        python.closeWriteChannel();
        QVERIFY(python.waitForFinished());
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), qsizetype(1 + calls.size()));
        QCOMPARE(rows[0][6].toString(), "Cost inc Tax (" + symbol + ")");
        QCOMPARE(rows[1].toArray().size(), 10);
        QCOMPARE(rows[1][9].toString(), rate);
    }
};

QTEST_GUILESS_MAIN(TestCallExport)
#include "test_callexport.moc"
