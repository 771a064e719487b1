// The command line's reports and exports against the viewer's own selection
// and export of the same calls.
#include "CommandRun.h"
#include "cli/LogCommands.h"
#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/calllog/RateNameStore.h"
#include "core/calllog/RecoveryFile.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/SpendingFigures.h"
#include "core/storage/TextCodec.h"
#include "core/tariff/RateFile.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"

#include "fakes/FakePrompter.h"
#include "fakes/PipeWatchdog.h"
#include "fakes/SampleCall.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Wednesday 9 December 2026, mid-afternoon.
const double Now = DayCount::fromDateTime(QDateTime(QDate(2026, 12, 9), QTime(15, 0)));
} // namespace

class TestLogCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_out, m_err;

    // The command on the test's log (or in `dir`), its output in m_out (or on `output`).
    int run(QStringList words, const QString& dir = {}, QIODevice* output = nullptr) {
        return runCommand(std::move(words), dir.isEmpty() ? m_dir.path() : dir, Now, m_out, m_err, output);
    }
    QByteArray exportedFile() {
        const QString file = m_dir.filePath(QStringLiteral("plain.txt"));
        return run({QStringLiteral("export"), QStringLiteral("--output"), file}) == 0 ? readFile(file)
                                                                                      : QByteArray();
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The viewer's window: the log sorted by date, the period selected.
    struct ViewerSelection {
        int first = -1, last = -1;
        QString summary;
    };
    ViewerSelection viewerSelection(CallLogViewer& viewer, SelectionPeriod period) {
        viewer.setMainSymbol(QStringLiteral("\u00a3"));
        viewer.LoadData();
        viewer.SortAscending = true;
        viewer.QuickSort(DateColumn);
        ViewerSelection s;
        if (const auto rows = viewer.periodRows(period, Now)) {
            s.first = rows->first;
            s.last = rows->second;
            s.summary = viewer.selectionSummary(s.first, s.last);
        }
        return s;
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        // Calls in the order they ended: last year, the first of this year, this
        // month, last week, this Monday at midnight, yesterday, today.
        const QDate days[] = {{2025, 12, 31}, {2026, 1, 1},  {2026, 12, 1}, {2026, 12, 6},
                              {2026, 12, 7},  {2026, 12, 8}, {2026, 12, 9}};
        std::vector<CallRecord> calls;
        const QString names[] = {QStringLiteral("BT, \"Saver\""),
                                 QStringLiteral("\u0422\u0430\u0440\u0438\u0444")};
        const RateNameStore store(ProgramFiles::rateNameStorePath(m_dir.path()));
        int i = 0;
        for (const QDate& d : days) {
            const QTime time = d == QDate(2026, 12, 7) ? QTime(0, 0) : QTime(9 + i, 30);
            calls.push_back(sampleCall(QDateTime(d, time), 0.37f + 0.11f * float(i), 1 + i % 12,
                                       store.RateNameKeyFor(names[i % 2])));
            ++i;
        }
        QVERIFY(CallLog(ProgramFiles::callLogPath(m_dir.path())).append(calls));
    }

    // Each period counts and totals what the viewer's selection of it shows.
    void reportsMatchTheViewer_data() {
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("count");
        QTest::newRow("today") << "today" << 1;
        QTest::newRow("week, from Monday midnight") << "week" << 3;
        QTest::newRow("month") << "month" << 5;
        QTest::newRow("year") << "year" << 6;
    }
    void reportsMatchTheViewer() {
        QFETCH(QString, period);
        QFETCH(int, count);
        QCOMPARE(run({QStringLiteral("report"), period, QStringLiteral("--json")}), 0);
        const QJsonObject report = QJsonDocument::fromJson(m_out).object();
        QCOMPARE(report.value(QStringLiteral("period")).toString(), period);
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), count);

        FakePrompter prompter;
        CallLogViewer viewer(m_dir.path(), prompter);
        const SelectionPeriod periods[] = {SelectionPeriod::Today, SelectionPeriod::Week,
                                           SelectionPeriod::Month, SelectionPeriod::Year};
        const int index = int(QStringList{"today", "week", "month", "year"}.indexOf(period));
        const ViewerSelection s = viewerSelection(viewer, periods[index]);
        QCOMPARE(s.last - s.first + 1, count);
        QCOMPARE(s.summary, QStringLiteral("%1 Call%2 selected totalling \u00a3%3")
                                .arg(count)
                                .arg(count == 1 ? "" : "s")
                                .arg(report.value(QStringLiteral("gross")).toDouble(), 0, 'f', 2));

        QCOMPARE(run({QStringLiteral("report"), period}), 0);
        QVERIFY(m_out.startsWith(QStringLiteral("%1 call").arg(count).toUtf8()));
    }

    void jsonShape() {
        QCOMPARE(run({QStringLiteral("report"), QStringLiteral("all"), QStringLiteral("--json")}), 0);
        const QJsonObject report = QJsonDocument::fromJson(m_out).object();
        QCOMPARE(report.keys(), (QStringList{"count", "first", "gross", "last", "net", "period"}));
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), 7);
        const QJsonObject first = report.value(QStringLiteral("first")).toObject();
        QCOMPARE(first.value(QStringLiteral("start")).toString(), QStringLiteral("2025-12-31T09:30:00"));
        QCOMPARE(first.value(QStringLiteral("rate")).toString(), QStringLiteral("BT, \"Saver\""));
        QCOMPARE(report.value(QStringLiteral("last")).toObject().value(QStringLiteral("start")).toString(),
                 QStringLiteral("2026-12-09T15:30:00"));
    }

    // The same bytes as the viewer writes for the same calls and columns.
    void exportsAreTheViewers_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("form");   // 0 ruled, 1 comma, 2 spreadsheet
        QTest::addColumn<int>("period"); // -1: all calls
        QTest::newRow("all, ruled text") << QStringList{"export"} << 0 << -1;
        QTest::newRow("this week, comma file") << QStringList{"export", "--period", "week", "--format", "prn"}
                                               << 1 << int(SelectionPeriod::Week);
        QTest::newRow("this month, spreadsheet")
            << QStringList{"export", "--period", "month", "--format", "CSV"} << 2
            << int(SelectionPeriod::Month);
    }
    void exportsAreTheViewers() {
        QFETCH(QStringList, words);
        QFETCH(int, form);
        QFETCH(int, period);
        const QString file = m_dir.filePath(QStringLiteral("out.txt"));
        QCOMPARE(run(words + QStringList{QStringLiteral("--output"), file}), 0);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray cli = written.readAll();
        QCOMPARE(run(words), 0);
        QCOMPARE(m_out, cli); // standard output carries the same bytes
        // A pipe is read by a program of today: UTF-8 without a byte-order mark, the text layouts' lines
        // ended by line feeds.
        int pipe[2];
        QFile writeEnd;
        QVERIFY(::pipe(pipe) == 0 &&
                writeEnd.open(pipe[1], QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(run(words, {}, &writeEnd), 0);
        writeEnd.close();
        QByteArray piped(cli.size(), '\0');
        piped.resize(::read(pipe[0], piped.data(), piped.size()));
        ::close(pipe[0]);
        QCOMPARE(piped, form == 2 ? cli.mid(3) : cli.mid(3).replace("\r\n", "\n"));

        FakePrompter prompter;
        CallLogViewer viewer(m_dir.path(), prompter);
        int first = 0, last = 0;
        QString summary;
        if (period < 0) {
            viewer.setMainSymbol(QStringLiteral("\u00a3"));
            viewer.LoadData();
            last = viewer.model().callCount() - 1;
            summary = viewer.totalsLine();
        } else {
            const ViewerSelection s = viewerSelection(viewer, SelectionPeriod(period));
            first = s.first;
            last = s.last;
            summary = s.summary;
        }
        const QStringList header = CallExport::headerLines(false, Now, period >= 0, summary);
        QByteArray shown;
        QVERIFY(CallExport::stream(
            CallExport::layoutOf(viewer.model(), CallExport::Form(form)),
            CallExport::tableRows(viewer.model(), first, last), [&header](qint64, double) { return header; },
            [&shown](QByteArrayView bytes, QString*) {
                shown += bytes;
                return true;
            },
            nullptr));
        QCOMPARE(cli, shown);
        QVERIFY(cli.startsWith("\xEF\xBB\xBF")); // a Cyrillic rate name: UTF-8, marked
    }

    // Every total of the program is what the rows show added up, each amount
    // rounded to the penny first, as a spreadsheet adding the exported column
    // gets: never the stored amounts added and rounded once.
    void everyTotalIsTheSumOfTheRows_data() {
        QTest::addColumn<float>("cost");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("total");
        QTest::newRow("3 x 0.3366 shown as \u00a30.34 (stored: 1.01)") << 0.3366f << 3 << "\u00a31.02";
        QTest::newRow("500 x 0.4589 shown as \u00a30.46 (stored: 229.45)")
            << 0.4589f << 500 << "\u00a3230.00";
        QTest::newRow("10 x 0.309 shown as \u00a30.31 (stored: 3.09)") << 0.309f << 10 << "\u00a33.10";
        QTest::newRow("2000 x 0.345 shown as \u00a30.34 (stored: 690.00)")
            << 0.345f << 2000 << "\u00a3680.00";
        QTest::newRow("a damaged cost counts nothing")
            << std::numeric_limits<float>::quiet_NaN() << 3 << "\u00a30.00";
    }
    void everyTotalIsTheSumOfTheRows() {
        QFETCH(float, cost);
        QFETCH(int, count);
        QFETCH(QString, total);
        QTemporaryDir dir;
        std::vector<CallRecord> calls;
        for (int i = 0; i < count; ++i)
            calls.push_back(sampleCall(Now - 0.1 - i * 1e-5, cost));
        const CallLog log(ProgramFiles::callLogPath(dir.path()));
        QVERIFY(log.append(calls));
        const QString pound = QStringLiteral("\u00a3");

        QVERIFY(todayText(findCallTotals(log, Now), pound).endsWith(QStringLiteral(" totalling ") + total));
        FakePrompter prompter;
        CallLogViewer viewer(dir.path(), prompter);
        viewer.setMainSymbol(pound);
        viewer.LoadData();
        QVERIFY(viewer.totalsLine().startsWith(total + QStringLiteral(" spent in")));
        QVERIFY(viewer.selectionSummary(0, count - 1).endsWith(QStringLiteral(" totalling ") + total));

        QCOMPARE(run({QStringLiteral("report"), QStringLiteral("today")}, dir.path()), 0);
        QVERIFY2(m_out.contains((QStringLiteral(" totalling ") + total).toUtf8()), m_out);

        // The export's head, and its column of costs added up by hand.
        QCOMPARE(run({QStringLiteral("export")}, dir.path()), 0);
        const QStringList lines = TextCodec::decode(m_out).split(QStringLiteral("\r\n"));
        QVERIFY(lines.value(3).startsWith(total + QStringLiteral(" spent in")));
        const qsizetype column = lines.value(6)
                                     .split(QLatin1Char('|'))
                                     .indexOf(QRegularExpression(QStringLiteral(" *Cost inc Tax *")));
        qint64 pennies = 0;
        for (const QString& line : lines.mid(8, count))
            pennies += line.section(QLatin1Char('|'), column, column)
                           .remove(QRegularExpression("[^-0-9]"))
                           .toLongLong();
        QCOMPARE(pound + QString::number(pennies / 100.0, 'f', 2), total);

        // The spending figures, of which the charts and the budget are made.
        const SpendingFigures figures = SpendingFigures::compute(log, RateNames(), Now, 1);
        QCOMPARE(viewerMoney(figures.bars(SpendView::Day).back().total.gross.total(), pound), total);
    }

    // A damaged record is a call, but its cost counts nothing, a damaged date
    // falls in no period and is neither first nor last, and what the viewer
    // leaves empty is null in JSON: no "nan" reaches a script.
    void damagedRecordsReportNoNumbers_data() {
        QTest::addColumn<double>("days");
        QTest::addColumn<float>("cost");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("NaN") << std::nan("") << std::nanf("");
        QTest::newRow("infinite") << inf << float(inf);
        QTest::newRow("huge") << 1e300 << 1e30f;
        QTest::newRow("huge negative") << -1e300 << -1e30f;
    }
    void damagedRecordsReportNoNumbers() {
        QFETCH(double, days);
        QFETCH(float, cost);
        QTemporaryDir dir;
        const CallRecord today = sampleCall(Now - 0.1, 0.5f);
        CallRecord damagedTimes = sampleCall(Now - 400, 0.25f); // last year, the earliest date
        damagedTimes.startTime = damagedTimes.endTime = damagedTimes.duration = days;
        damagedTimes.grossCost = damagedTimes.netCost = cost;
        CallRecord damagedDate = sampleCall(Now - 0.2, 0.25f);
        damagedDate.date = days;
        QVERIFY(CallLog(ProgramFiles::callLogPath(dir.path())).append({damagedDate, today, damagedTimes}));
        const auto command = [&dir](QStringList words) {
            QBuffer out, err;
            out.open(QIODevice::WriteOnly);
            err.open(QIODevice::WriteOnly);
            words.prepend(QStringLiteral("dialtally"));
            words << QStringLiteral("--dir") << dir.path();
            const int status = LogCommands::run(words, {}, Now, out, err);
            return status == 0 ? out.data() : err.data();
        };

        const QByteArray json =
            command({QStringLiteral("report"), QStringLiteral("all"), QStringLiteral("--json")});
        QVERIFY2(!json.contains("nan") && !json.contains("inf"), json);
        const QJsonObject report = QJsonDocument::fromJson(json).object();
        QCOMPARE(report.value(QStringLiteral("count")).toInt(), 3);
        QCOMPARE(report.value(QStringLiteral("gross")).toDouble(), 0.75);
        const QJsonObject first = report.value(QStringLiteral("first")).toObject();
        for (const char* empty : {"start", "end", "duration"})
            QVERIFY2(first.value(QLatin1String(empty)).isNull(), empty);
        QCOMPARE(first.value(QStringLiteral("gross")).toDouble(), 0.0);
        QCOMPARE(report.value(QStringLiteral("last")).toObject().value(QStringLiteral("start")).toString(),
                 DayCount::toDateTime(today.startTime).toString(Qt::ISODate));

        QCOMPARE(command({QStringLiteral("report"), QStringLiteral("today")}),
                 QByteArray("1 call today totalling \xc2\xa3"
                            "0.50 (\xc2\xa3"
                            "0.25 exc. tax)\n"));
        const QByteArray csv =
            command({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("csv")});
        QVERIFY2(!csv.contains("nan") && !csv.contains("inf"), csv);
    }

    // Each command reads its own options and no others: an unknown one, a
    // date that is not YYYY-MM-DD or a --from after --to is a wrong command
    // line (2). The toolkit's own options are taken as the window takes them.
    // An --output that is one of the program's files, however the path reaches
    // it, is refused (2), naming it, and nothing is written anywhere.
    void commandLines_data() {
        QTest::addColumn<QStringList>(
            "words"); // <D>: the data directory, <A>: a link to it, <K>: the kept calls
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // what the error output starts with, or the output holds
        const auto row = [](const char* name, const QStringList& words, int status, const QString& said) {
            QTest::newRow(name) << words << status << said;
        };
        const auto notADate = [](const char* text) {
            return QStringLiteral("\"%1\" is not a date (YYYY-MM-DD)").arg(QLatin1String(text));
        };
        row("report, an unknown period", {"report", "fortnight"}, 2, "unknown period \"fortnight\"");
        row("export, --all and --period", {"export", "--all", "--period", "week"}, 2,
            "export takes --all or --period, not both");

        row("report --by, text after a date", {"report", "--by", "day", "--from", "2025-03-01garbage"}, 2,
            notADate("2025-03-01garbage"));
        row("report --by, a month without its zero", {"report", "--by", "week", "--to", "2025-3-01"}, 2,
            notADate("2025-3-01"));
        row("report --by, --from after --to",
            {"report", "--by", "day", "--from", "2025-03-10", "--to", "2025-03-01"}, 2,
            "--from is after --to");
        row("compare, text after a date", {"compare", "--from", "2025-03-01garbage", "--to", "2099-12-31"}, 2,
            notADate("2025-03-01garbage"));
        row("compare, slashes", {"compare", "--from", "2025-03-01", "--to", "2099/12/31"}, 2,
            notADate("2099/12/31"));

        row("report, an export's option", {"report", "today", "--output", "x"}, 2,
            "Unknown option 'output'.");
        row("export, --json", {"export", "--json"}, 2, "Unknown option 'json'.");
        row("report --by, --period", {"report", "--by", "day", "--period", "week"}, 2,
            "Unknown option 'period'.");
        row("report budget, --width", {"report", "budget", "--width", "3"}, 2, "Unknown option 'width'.");
        row("chart, --json", {"chart", "--by", "day", "--output", "<D>/c.png", "--json"}, 2,
            "Unknown option 'json'.");
        row("compare, --all", {"compare", "--all"}, 2, "Unknown option 'all'.");

        row("report after -platform offscreen", {"-platform", "offscreen", "report", "all"}, 0,
            "7 calls in the log totalling");
        row("export --reverse", {"export", "--reverse", "--format", "csv"}, 0, "Date,Day,Start Time,");
        row("report --by -style fusion", {"report", "--by", "week", "-style", "fusion", "--json"}, 0,
            "{\"by\":\"week\"");
        row("report budget -qwindowtitle", {"report", "budget", "-qwindowtitle", "Spend"}, 0,
            "The monthly budget is off");
        row("compare --platform offscreen", {"compare", "--platform", "offscreen", "--period", "week"}, 0,
            "3 calls as logged");
        row("chart -style=fusion", {"chart", "-style=fusion", "--by", "day", "--output", "<D>/c.png"}, 1,
            "charts cannot be drawn here");

        const auto refused = [](const QString& output, const QString& what) {
            return QStringLiteral("--output %1 is %2: a command never writes over the program's own files")
                .arg(output, what);
        };
        row("export over the log", {"export", "--output", "<D>/Calls.log"}, 2,
            refused("<D>/Calls.log", "the call log <D>/Calls.log"));
        row("export over the rate-name store", {"export", "--format", "csv", "--output", "<D>/CallRate.log"},
            2, refused("<D>/CallRate.log", "the rate-name store <D>/CallRate.log"));
        row("chart over the settings", {"chart", "--by", "day", "--output", "<D>/Dialtaly.ini"}, 2,
            refused("<D>/Dialtaly.ini", "the settings file <D>/Dialtaly.ini"));
        row("export over a rate file", {"export", "--output", "<D>/Test.dtr"}, 2,
            refused("<D>/Test.dtr", "a rate file <D>/Test.dtr"));
        row("chart as a new rate file", {"chart", "--by", "month", "--output", "<D>/New.dtr"}, 2,
            refused("<D>/New.dtr", "a rate file <D>/New.dtr"));
        row("export as a rate file's billing rules", {"export", "--output", "<D>/Test.billing"}, 2,
            refused("<D>/Test.billing", "a rate file's billing rules <D>/Test.billing"));
        row("export over the sorted copy", {"export", "--output", "<D>/Sort.log"}, 2,
            refused("<D>/Sort.log", "the log viewer's sorted copy <D>/Sort.log"));
        row("export as the deletion's work file", {"export", "--output", "<D>/Temp.log"}, 2,
            refused("<D>/Temp.log", "the deletion's work file <D>/Temp.log"));
        row("export over the kept calls", {"export", "--period", "week", "--output", "<K>"}, 2,
            refused("<K>", "the file of kept calls <K>"));
        row("export through a symbolic link to the log", {"export", "--output", "<D>/link"}, 2,
            refused("<D>/link", "the call log <D>/Calls.log"));
        row("chart through a hard link to the settings", {"chart", "--by", "week", "--output", "<D>/hard"}, 2,
            refused("<D>/hard", "the settings file <D>/Dialtaly.ini"));
        row("export through a link to a file not made yet", {"export", "--output", "<D>/ahead"}, 2,
            refused("<D>/ahead", "the deletion's work file <D>/Temp.log"));
        row("export through a link to the folder", {"export", "--output", "<A>/Calls.log"}, 2,
            refused("<A>/Calls.log", "the call log <D>/Calls.log"));

        // ">> FILE": standard output appended to the file, as the shell does it.
        const auto redirected = [](const QString& what) {
            return QStringLiteral(
                       "standard output is %1: a command never writes over the program's own files")
                .arg(what);
        };
        row("export >> the call log", {"export", ">>", "<D>/Calls.log"}, 2,
            redirected("the call log <D>/Calls.log"));
        row("report >> a hard link to the settings", {"report", "all", ">>", "<D>/hard"}, 2,
            redirected("the settings file <D>/Dialtaly.ini"));
        row("compare >> a rate file", {"compare", ">>", "<D>/Test.dtr"}, 2,
            redirected("a rate file <D>/Test.dtr"));
        row("a chart, standard output on the log",
            {"chart", "--by", "day", "--output", "<D>/c.png", ">>", "<D>/Calls.log"}, 1,
            "charts cannot be drawn here");
        row("report >> a file of the user's", {"report", "all", ">>", "<D>/../mine.txt"}, 0,
            "7 calls in the log totalling");
    }
    void commandLines() {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, said);
        // The program's files, and links to them, beside the test's log.
        QTemporaryDir top;
        const QString data = top.filePath(QStringLiteral("data"));
        const QString alias = top.filePath(QStringLiteral("alias"));
        QVERIFY(QDir().mkdir(data) && QFile::link(data, alias));
        const QString logFile = ProgramFiles::callLogPath(data);
        QVERIFY(QFile::copy(ProgramFiles::callLogPath(m_dir.path()), logFile));
        QVERIFY(QFile::copy(ProgramFiles::rateNameStorePath(m_dir.path()),
                            ProgramFiles::rateNameStorePath(data)));
        QVERIFY(QFile::copy(logFile, ProgramFiles::path(data, ProgramFiles::SortName)));
        RateTable rates;
        rates.texts.fill(QStringLiteral(" 1.00"));
        QVERIFY(writeRateFile(ProgramFiles::rateFilePath(data, QStringLiteral("Test")), rates));
        const QString settings = ProgramFiles::settingsPath(data);
        QVERIFY(SettingsFile(settings).WriteSettingString(
            SettingsKeys::RateSection, SettingsKeys::ActiveRateFile, QStringLiteral("Test")));
        LogCommands::Environment environment;
        environment.xdgStateHome = top.filePath(QStringLiteral("state"));
        const RecoveryFile kept(data, environment.xdgStateHome + QStringLiteral("/dialtally-pro"));
        QVERIFY(kept.save({KeptCall{sampleCall(Now - 0.1, 0.5f), QStringLiteral("Test"), {}}},
                          QStringLiteral("A test")));
        QVERIFY(QFile::link(logFile, ProgramFiles::path(data, QStringLiteral("link"))));
        QCOMPARE(::link(QFile::encodeName(settings).constData(),
                        QFile::encodeName(ProgramFiles::path(data, QStringLiteral("hard"))).constData()),
                 0);
        QVERIFY(QFile::link(ProgramFiles::path(data, ProgramFiles::DeletionWorkName),
                            ProgramFiles::path(data, QStringLiteral("ahead"))));
        const auto place = [&](QString text) {
            return text.replace(QStringLiteral("<D>"), data)
                .replace(QStringLiteral("<A>"), alias)
                .replace(QStringLiteral("<K>"), kept.path());
        };
        for (QString& word : words)
            word = place(word);
        said = place(said);
        const auto everything = [&top] {
            QMap<QString, QByteArray> files;
            QDirIterator it(top.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo file(it.next());
                files[file.filePath()] =
                    file.isSymLink() ? file.symLinkTarget().toUtf8() : readFile(file.filePath());
            }
            return files;
        };
        const QMap<QString, QByteArray> before = everything();
        QString redirectedTo;
        QFile standardOutput;
        if (const qsizetype to = words.indexOf(QStringLiteral(">>")); to >= 0) {
            redirectedTo = words.takeAt(to + 1);
            words.removeAt(to);
            const int descriptor =
                ::open(QFile::encodeName(redirectedTo).constData(), O_WRONLY | O_APPEND | O_CREAT, 0600);
            QVERIFY(standardOutput.open(descriptor, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                        QFileDevice::AutoCloseHandle));
        }

        QCOMPARE(runCommand(words, data, Now, m_out, m_err,
                            standardOutput.isOpen() ? &standardOutput : nullptr, environment),
                 status);
        if (status == 0) {
            const QByteArray out = redirectedTo.isEmpty() ? m_out : readFile(redirectedTo);
            QVERIFY2(out.contains(said.toUtf8()), out);
            QVERIFY2(m_err.isEmpty(), m_err);
            return;
        }
        QVERIFY2(m_err.startsWith(("dialtally: " + said).toUtf8()), m_err);
        QVERIFY(m_out.isEmpty());
        QCOMPARE(everything(), before);
    }

    // A command wherever it stands among the options; any other word is a
    // wrong command line, never the window.
    void commandWords_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("command");
        QTest::addColumn<int>("status");
        QTest::newRow("--dir D report") << QStringList{"--dir", "D", "report"} << true << 0;
        QTest::newRow("report --dir D") << QStringList{"report", "--dir", "D"} << true << 0;
        QTest::newRow("--dir D, the window") << QStringList{"--dir", "D"} << false << 0;
        QTest::newRow("the toolkit's -style fusion")
            << QStringList{"-style", "fusion", "--dir", "D"} << false << 0;
        QTest::newRow("an unknown word") << QStringList{"--dir", "D", "repot"} << true << 2;
        QTest::newRow("an option without a command") << QStringList{"--json", "--dir", "D"} << true << 2;
    }
    void commandWords() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, command);
        QFETCH(int, status);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^D$")), m_dir.path());
        arguments.prepend(QStringLiteral("dialtally"));
        QCOMPARE(LogCommands::isCommand(arguments), command);
        if (!command)
            return;
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        QCOMPARE(LogCommands::run(arguments, {}, Now, out, err), status);
        if (status == 0)
            QVERIFY2(out.data().startsWith("1 call today totalling "), out.data());
        else
            QVERIFY2(err.data().contains(LogCommands::usage().toUtf8()), err.data());
    }

    // A log that is missing has no calls; one that is not a regular file is
    // an error that names it, and nothing waits on it.
    void logsThatAreNotFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("missing, report")
            << "missing" << QStringList{"report"} << 0 << QByteArray("No calls made today\n");
        QTest::newRow("missing, export") << "missing" << QStringList{"export", "--format", "prn"} << 0
                                         << QByteArray("\xA3"
                                                       "0.00 spent in 0 calls.\r\n\r\nDate,Day,");
        QTest::newRow("named pipe, report")
            << "fifo" << QStringList{"report"} << 1 << QByteArray("It is a named pipe, not a regular file");
        QTest::newRow("named pipe, export") << "fifo" << QStringList{"export", "--output", "x.txt"} << 1
                                            << QByteArray("It is a named pipe, not a regular file");
        QTest::newRow("link to /dev/zero") << "zero" << QStringList{"report", "all"} << 1
                                           << QByteArray("It is a device, not a regular file");
        QTest::newRow("directory") << "directory" << QStringList{"export"} << 1
                                   << QByteArray("It is a directory, not a regular file");
        QTest::newRow("named pipe, compare")
            << "fifo" << QStringList{"compare"} << 1 << QByteArray("It is a named pipe, not a regular file");
    }
    void logsThatAreNotFiles() {
        QFETCH(QString, kind);
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        QTemporaryDir dir;
        const QString log = ProgramFiles::callLogPath(dir.path());
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0600), 0);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), log));
        else if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkdir(log));
        words.replaceInStrings(QRegularExpression(QStringLiteral("^x.txt$")), dir.filePath("x.txt"));

        PipeWatchdog watchdog(log);
        const int result = run(words, dir.path());
        QVERIFY2(!watchdog.release(), "the command waited on the log");
        QCOMPARE(result, status);
        if (status == 0) {
            QVERIFY2(m_out.startsWith(said) || m_out.contains("\r\n" + said), m_out);
            QVERIFY(m_err.isEmpty());
        } else {
            QVERIFY2(m_err.contains(log.toLocal8Bit() + ": " + said), m_err);
            QVERIFY(!QFile::exists(dir.filePath("x.txt")));
        }
    }

    // An output that is not a regular file is written, never replaced: a link
    // to a device stays a link to the device, a pipe stays a pipe and its
    // reader gets the export.
    void outputsThatAreNotFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to /dev/null") << "null";
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("link to a file") << "file";
    }
    void outputsThatAreNotFiles() {
        QFETCH(QString, kind);
        const QByteArray expected = exportedFile();
        QVERIFY(!expected.isEmpty());
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("out"));
        const QString target =
            kind == QLatin1String("null") ? QStringLiteral("/dev/null") : dir.filePath("calls");
        int reader = -1;
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(output).constData(), 0600), 0);
            reader = ::open(QFile::encodeName(output).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
        } else {
            QVERIFY(QFile::link(target, output));
        }
        QCOMPARE(run({QStringLiteral("export"), QStringLiteral("--output"), output}), 0);
        QVERIFY2(m_err.isEmpty(), m_err);

        struct stat status {};
        QCOMPARE(::lstat(QFile::encodeName(output).constData(), &status), 0);
        if (kind == QLatin1String("fifo")) {
            QVERIFY(S_ISFIFO(status.st_mode));
            QByteArray got(expected.size() + 1, '\0');
            QCOMPARE(::read(reader, got.data(), got.size()), qint64(expected.size()));
            ::close(reader);
            QCOMPARE(got.left(expected.size()), expected);
            return;
        }
        QVERIFY(S_ISLNK(status.st_mode));
        QCOMPARE(QFileInfo(output).symLinkTarget(), target);
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
        if (kind == QLatin1String("null")) {
            QVERIFY(S_ISCHR(status.st_mode));
        } else {
            QVERIFY(S_ISREG(status.st_mode));
            QCOMPARE(readFile(target), expected);
        }
    }

    // A write that fails (a full device, here) is a message with the reason
    // and status 1, for a file and for standard output alike.
    void failedWritesEndBadly_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<bool>("toStandardOutput");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("--output /dev/full")
            << QStringList{"export", "--output", "/dev/full"} << false
            << QByteArray("/dev/full cannot be written: No space left on device");
        QTest::newRow("report on a full standard output")
            << QStringList{"report"} << true << QByteArray("standard output: No space left on device");
        QTest::newRow("export on a full standard output")
            << QStringList{"export"} << true << QByteArray("standard output: No space left on device");
        QTest::newRow("compare on a full standard output")
            << QStringList{"compare"} << true << QByteArray("standard output: No space left on device");
        QTest::newRow("a named pipe nobody reads") << QStringList{"export", "--output", "PIPE"} << false
                                                   << QByteArray("No program reads the named pipe");
    }
    void failedWritesEndBadly() {
        QFETCH(QStringList, words);
        QFETCH(bool, toStandardOutput);
        QFETCH(QByteArray, said);
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        words.replaceInStrings(QRegularExpression(QStringLiteral("^PIPE$")), pipe);
        PipeWatchdog watchdog(pipe);
        QCOMPARE(run(words, {}, toStandardOutput ? &full : nullptr), 1);
        QVERIFY2(!watchdog.release(), "the export waited for a reader");
        QVERIFY2(m_err.contains(said), m_err);
    }
};

QTEST_GUILESS_MAIN(TestLogCommands)
#include "test_logcommands.moc"
