#include "cli/LogCommands.h"

#include "cli/CommandContext.h"
#include "cli/CompareCommand.h"
#include "cli/PeriodCalls.h"
#include "cli/SpendingReports.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/Money.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"
#include "core/tariff/TariffText.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/CallPeriods.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <optional>

namespace LogCommands {

namespace {

constexpr auto Done = CommandContext::Done;
constexpr auto FileFailed = CommandContext::FileFailed;
constexpr auto WrongCommand = CommandContext::WrongCommand;

const QStringList PeriodPhrases = {QStringLiteral("today"), QStringLiteral("this week"),
                                   QStringLiteral("this month"), QStringLiteral("this year"),
                                   QStringLiteral("in the log")};
const int AllCalls = PeriodCalls::All;

// The toolkit's own options that take a value (-style fusion): their values
// are not words of a command.
const QStringList ToolkitOptions = {QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
                                    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
                                    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
                                    QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
                                    QStringLiteral("display"),         QStringLiteral("geometry"),
                                    QStringLiteral("style"),           QStringLiteral("stylesheet"),
                                    QStringLiteral("qmljsdebugger")};

struct Options {
    QCommandLineOption dir{QStringLiteral("dir"), QString(), QStringLiteral("path")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption all{QStringLiteral("all")};
    QCommandLineOption period{QStringLiteral("period"), QString(), QStringLiteral("period")};
    QCommandLineOption format{QStringLiteral("format"), QString(), QStringLiteral("format"),
                              QStringLiteral("text")};
    QCommandLineOption output{QStringLiteral("output"), QString(), QStringLiteral("file"),
                              QStringLiteral("-")};
    QCommandLineOption by{QStringLiteral("by"), QString(), QStringLiteral("view")};
    QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("date")};
    QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("date")};
    QCommandLineOption csv{QStringLiteral("csv")};
    QCommandLineOption width{QStringLiteral("width"), QString(), QStringLiteral("pixels"),
                             QStringLiteral("800")};
    QCommandLineOption height{QStringLiteral("height"), QString(), QStringLiteral("pixels"),
                              QStringLiteral("500")};

    void addTo(QCommandLineParser& parser) const {
        parser.addOptions({dir, json, all, period, format, output, by, from, to, csv, width, height});
    }
    // Whether the arguments hold an option only a command takes.
    bool commandOnly(const QCommandLineParser& parser) const {
        return parser.isSet(json) || parser.isSet(all) || parser.isSet(period) || parser.isSet(format) ||
               parser.isSet(output) || parser.isSet(by) || parser.isSet(from) || parser.isSet(to) ||
               parser.isSet(csv) || parser.isSet(width) || parser.isSet(height);
    }
    // Whether any of these is given.
    static bool anySet(const QCommandLineParser& parser,
                       std::initializer_list<const QCommandLineOption*> list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const QCommandLineOption* o) { return parser.isSet(*o); });
    }
};

// What the viewer leaves empty (a damaged value) is null.
QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue callObject(const std::optional<CallRecord>& call, const RateNames& rates) {
    if (!call)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("start"), textOrNull(DayCount::toDateTime(call->startTime).toString(Qt::ISODate))},
        {QStringLiteral("end"), textOrNull(DayCount::toDateTime(call->endTime).toString(Qt::ISODate))},
        {QStringLiteral("duration"), textOrNull(DayCount::durationText(call->duration))},
        {QStringLiteral("gross"), roundedMoney(Money::amount(call->grossCost))},
        {QStringLiteral("net"), roundedMoney(Money::amount(call->netCost))},
        {QStringLiteral("band"), timeBandName(TimeBandOfRateCode(call->rateCode))},
        {QStringLiteral("rate"), rates.nameFor(call->rateNameKey)},
    };
}

int report(const CommandContext& context, PeriodCalls& calls, int period, bool json, const QString& symbol,
           const RateNames& rates) {
    MoneySum gross;
    MoneySum net;
    qint64 count = 0;
    std::optional<CallRecord> first; // the earliest by date, the first of equals
    std::optional<CallRecord> last;  // the latest by date, the first of equals
    if (!calls.forEach([&](const CallRecord& call) {
            ++count;
            gross.add(call.grossCost);
            net.add(call.netCost);
            // The earliest and latest call with a date; a damaged date is neither.
            if (!DayCount::isDayCount(call.date))
                return;
            if (!first || call.date < first->date)
                first = call;
            if (!last || last->date < call.date)
                last = call;
        }))
        return context.fail(FileFailed, calls.failure());
    if (json) {
        const QJsonObject object{
            {QStringLiteral("period"), PeriodCalls::names()[period]},
            {QStringLiteral("count"), count},
            {QStringLiteral("gross"), roundedMoney(gross.total())},
            {QStringLiteral("net"), roundedMoney(net.total())},
            {QStringLiteral("first"), callObject(first, rates)},
            {QStringLiteral("last"), callObject(last, rates)},
        };
        return context.print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                             QLatin1Char('\n'));
    }
    if (count == 0)
        return context.print(QStringLiteral("No calls made %1\n").arg(PeriodPhrases[period]));
    return context.print(QStringLiteral("%1 call%2 %3 totalling %4 (%5 exc. tax)\n")
                             .arg(count)
                             .arg(PluralSuffix(count), PeriodPhrases[period],
                                  viewerMoney(gross.total(), symbol), viewerMoney(net.total(), symbol)));
}

int exportCalls(const CommandContext& context, PeriodCalls& calls, bool allCalls, bool comma,
                const QString& output, const QString& symbol, double now, const RateNames& rates,
                bool toTerminal) {
    const ColumnLayout columns; // every column, in the design's order
    const bool toOutput = output == QLatin1String("-");
    const CallExport::Layout layout{columns, rates, symbol, comma, false, toOutput && toTerminal};
    const CallExport::CallSource source = [&calls](const CallExport::CallVisitor& visit, QString*) {
        return calls.forEach(visit);
    };
    const CallExport::Header header = [&](qint64 count, double total) {
        // The texts the viewer's window shows for the same calls.
        const QString summary =
            allCalls
                ? CallLogViewer::totalsText(count, total, symbol)
                : CallLogViewer::summaryText(count, count > 0 ? std::optional(total) : std::nullopt, symbol);
        return CallExport::headerLines(false, now, !allCalls, summary);
    };
    if (!toOutput) {
        const QString failure = CallExport::write(output, layout, source, header);
        if (!calls.failure().isEmpty())
            return context.fail(FileFailed, calls.failure());
        return failure.isEmpty() ? Done : context.fail(FileFailed, failure);
    }
    QString reason;
    const bool written = CallExport::stream(
        layout, source, header,
        [&context](QByteArrayView bytes, QString* why) { return context.send(bytes, why); }, &reason);
    if (!calls.failure().isEmpty())
        return context.fail(FileFailed, calls.failure());
    if (!written)
        return context.fail(FileFailed, QStringLiteral("%1: %2").arg(context.outName, reason));
    return context.finish();
}

// The largest picture the chart command draws, on either side.
constexpr int LargestSide = 10000;

// report --by, report budget and chart: the Spending window's figures.
int spending(const CommandContext& context, const QCommandLineParser& parser, const Options& o,
             const QStringList& words, const QString& directory, double now,
             const LogCommands::ChartMaker& chart) {
    const auto wrong = [&](const QString& text) {
        return context.fail(WrongCommand, text + QStringLiteral("\n") + usage());
    };
    const bool isChart = words.value(0) == QLatin1String("chart");
    if (words.value(1) == QLatin1String("budget")) {
        if (words.size() > 2 || Options::anySet(parser, {&o.all, &o.period, &o.format, &o.output, &o.by,
                                                         &o.from, &o.to, &o.csv, &o.width, &o.height}))
            return wrong(QStringLiteral("report budget takes --json only"));
        const SpendingReading reading = SpendingReading::read(directory, now);
        if (!reading.figures.logRead())
            return context.fail(FileFailed,
                                QStringLiteral("%1: %2").arg(reading.logPath, reading.figures.readFailure()));
        return context.print(SpendingReports::budget(reading, parser.isSet(o.json)));
    }
    if (words.size() > 1)
        return wrong(QStringLiteral("%1 takes no word after it").arg(words[0]));
    const std::optional<SpendView> view = SpendingReports::viewNamed(parser.value(o.by));
    if (!view)
        return wrong(parser.isSet(o.by) ? QStringLiteral("unknown view \"%1\"").arg(parser.value(o.by))
                                        : QStringLiteral("%1 needs --by day|week|month").arg(words[0]));

    if (isChart) {
        if (Options::anySet(parser, {&o.json, &o.all, &o.period, &o.format, &o.from, &o.to, &o.csv}))
            return wrong(QStringLiteral("chart takes --by, --output, --width and --height"));
        const QString path = parser.value(o.output);
        if (!parser.isSet(o.output) || path == QLatin1String("-"))
            return wrong(QStringLiteral("chart needs --output FILE.png or FILE.svg"));
        bool wideOk = false, highOk = false;
        const QSize size(parser.value(o.width).toInt(&wideOk), parser.value(o.height).toInt(&highOk));
        if (!wideOk || !highOk || size.width() < 1 || size.height() < 1 || size.width() > LargestSide ||
            size.height() > LargestSide)
            return wrong(
                QStringLiteral("--width and --height are whole numbers of pixels, 1 to %1").arg(LargestSide));
        if (!chart)
            return context.fail(FileFailed, QStringLiteral("charts cannot be drawn here"));
        const SpendingReading reading = SpendingReading::read(directory, now);
        if (!reading.figures.logRead())
            return context.fail(FileFailed,
                                QStringLiteral("%1: %2").arg(reading.logPath, reading.figures.readFailure()));
        const QString failure = chart(reading, *view, size, path);
        return failure.isEmpty() ? Done : context.fail(FileFailed, failure);
    }

    if (Options::anySet(parser, {&o.all, &o.period, &o.format, &o.output, &o.width, &o.height}) ||
        (parser.isSet(o.json) && parser.isSet(o.csv)))
        return wrong(QStringLiteral("report --by takes --from, --to, and --json or --csv"));
    std::optional<QDate> bounds[2];
    const QCommandLineOption* boundOptions[2] = {&o.from, &o.to};
    for (int i = 0; i < 2; ++i) {
        if (!parser.isSet(*boundOptions[i]))
            continue;
        const QString text = parser.value(*boundOptions[i]);
        bounds[i] = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!bounds[i]->isValid())
            return wrong(QStringLiteral("\"%1\" is not a date like 2025-03-01").arg(text));
    }
    // Rows from --from on, however far back; without it, the chart's.
    const SpendingReading reading = SpendingReading::read(
        directory, now, bounds[0] ? std::optional(DayCount::dayOfDate(*bounds[0])) : std::nullopt);
    if (!reading.figures.logRead())
        return context.fail(FileFailed,
                            QStringLiteral("%1: %2").arg(reading.logPath, reading.figures.readFailure()));
    const SpendingReports::Format format = parser.isSet(o.json)  ? SpendingReports::Format::Json
                                           : parser.isSet(o.csv) ? SpendingReports::Format::Csv
                                                                 : SpendingReports::Format::Text;
    return context.print(SpendingReports::periodRows(reading, *view, bounds[0], bounds[1], format));
}

// tariff show NAME: a rate file and its billing rules as text.
int showTariff(const CommandContext& context, const QCommandLineParser& parser, const Options& o,
               const QStringList& words, const QString& directory) {
    if (words.value(1) != QLatin1String("show") || words.size() != 3 || o.commandOnly(parser))
        return context.fail(WrongCommand,
                            QStringLiteral("tariff takes show NAME and --dir only\n") + usage());
    const QString path = ProgramFiles::rateFilePath(directory, words[2]);
    QString reason;
    const std::optional<RateTable> table = readRateFile(path, &reason);
    if (!table)
        return context.fail(FileFailed, QStringLiteral("%1: %2").arg(path, reason));
    const std::optional<BillingRules> rules =
        BillingRulesFile::read(BillingRulesFile::pathFor(path), &reason);
    if (!rules)
        return context.fail(FileFailed, reason);
    const QString mainSymbol = SettingsFile(ProgramFiles::settingsPath(directory))
                                   .ReadSettingString(SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol,
                                                      SettingsKeys::DefaultMainSymbol);
    return context.print(tariffText(words[2], *table, *rules, viewerSymbol(mainSymbol)));
}

} // namespace

bool drawsChart(const QStringList& arguments) {
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    parser.parse(arguments);
    return parser.positionalArguments().value(0) == QLatin1String("chart");
}

bool isCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    for (const QString& name : ToolkitOptions)
        parser.addOption({name, QString(), QStringLiteral("value")});
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.parse(arguments); // what is wrong is the command's to say
    return !parser.positionalArguments().isEmpty() || options.commandOnly(parser);
}

QString usage() {
    return QStringLiteral(
        "Commands (they need no window and only read the data files):\n"
        "  report [today|week|month|year|all] [--json]\n"
        "      The number of calls of the period and what they cost.\n"
        "  export [--all|--period today|week|month|year] [--format text|csv] [--output FILE|-]\n"
        "      The calls as the log viewer exports them, in the order of the log.\n"
        "  report --by day|week|month [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--json|--csv]\n"
        "      One row per day (the last 31), week (26) or bill month (24), or from --from\n"
        "      on: the calls, the cost without and with tax, and with tax per time band.\n"
        "  report budget [--json]\n"
        "      The monthly budget's line and projection, as the main window shows it.\n"
        "  chart --by day|week|month --output FILE.png|FILE.svg [--width W] [--height H]\n"
        "      The Spending window's chart, drawn without a display.\n"
        "  compare [--period today|week|month|year|all] [--from DATE] [--to DATE] [--json|--csv]\n"
        "      What the calls would have cost with each rate file, cheapest first\n"
        "      (dates as YYYY-MM-DD, both included).\n"
        "  tariff show NAME\n"
        "      The rate file NAME.dtr with its billing rules (NAME.billing) as text.\n"
        "All take --dir PATH for the data directory.\n");
}

int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal, const ChartMaker& chart) {
    const CommandContext context{out, err};
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    if (!parser.parse(arguments))
        return context.fail(WrongCommand, parser.errorText() + QStringLiteral("\n") + usage());
    const QStringList words = parser.positionalArguments();
    const auto wrong = [&](const QString& text) {
        return context.fail(WrongCommand, text + QStringLiteral("\n") + usage());
    };
    const QString command = words.value(0);
    const bool isReport = command == QLatin1String("report");
    const bool isCompare = command == QLatin1String("compare");
    if (command.isEmpty())
        return wrong(QStringLiteral("no command given"));
    const bool isChart = command == QLatin1String("chart");
    if (command == QLatin1String("tariff"))
        return showTariff(context, parser, options, words,
                          ProgramFiles::dataDirectory(parser.value(options.dir), environment.dialtallyDir,
                                                      environment.xdgDataHome, environment.home));
    if (!isReport && !isCompare && !isChart && command != QLatin1String("export"))
        return wrong(QStringLiteral("unknown command \"%1\"").arg(command));
    if (isChart || (isReport && (words.value(1) == QLatin1String("budget") ||
                                 Options::anySet(parser, {&options.by, &options.from, &options.to,
                                                          &options.csv, &options.width, &options.height}))))
        return spending(context, parser, options, words,
                        ProgramFiles::dataDirectory(parser.value(options.dir), environment.dialtallyDir,
                                                    environment.xdgDataHome, environment.home),
                        now, chart);
    if (Options::anySet(parser, {&options.by, &options.width, &options.height}))
        return wrong(QStringLiteral("only report and chart take --by, --width and --height"));
    if (!isCompare && (parser.isSet(options.from) || parser.isSet(options.to) || parser.isSet(options.csv)))
        return wrong(QStringLiteral("only compare and report --by take --from, --to and --csv"));

    QString periodName = PeriodCalls::names()[AllCalls];
    CompareCommand::Days days;
    if (isCompare) {
        if (words.size() > 1 || parser.isSet(options.all) || parser.isSet(options.format) ||
            parser.isSet(options.output) || (parser.isSet(options.json) && parser.isSet(options.csv)))
            return wrong(QStringLiteral("compare takes --period, --from, --to, and --json or --csv"));
        if (parser.isSet(options.period))
            periodName = parser.value(options.period);
        for (auto [option, day] :
             {std::pair{&options.from, &days.firstDay}, std::pair{&options.to, &days.lastDay}}) {
            if (!parser.isSet(*option))
                continue;
            const QDate date = QDate::fromString(parser.value(*option), Qt::ISODate);
            if (!date.isValid())
                return wrong(QStringLiteral("\"%1\" is not a date (YYYY-MM-DD)").arg(parser.value(*option)));
            *day = DayCount::dayOfDate(date);
        }
        if (days.firstDay && days.lastDay && *days.firstDay > *days.lastDay)
            return wrong(QStringLiteral("--from is after --to"));
    } else if (isReport) {
        if (words.size() > 2 || parser.isSet(options.all) || parser.isSet(options.period) ||
            parser.isSet(options.format) || parser.isSet(options.output))
            return wrong(QStringLiteral("report takes a period and --json only"));
        periodName = words.value(1, PeriodCalls::names()[0]);
    } else {
        if (words.size() > 1 || parser.isSet(options.json) ||
            (parser.isSet(options.all) && parser.isSet(options.period)))
            return wrong(QStringLiteral("export takes --all or --period, --format and --output"));
        if (parser.isSet(options.period))
            periodName = parser.value(options.period);
    }
    const int period = PeriodCalls::indexOf(periodName);
    if (period < 0)
        return wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    const QString formatName = parser.value(options.format).toLower();
    if (formatName != QLatin1String("text") && formatName != QLatin1String("csv"))
        return wrong(QStringLiteral("unknown format \"%1\"").arg(parser.value(options.format)));

    const QString directory = ProgramFiles::dataDirectory(parser.value(options.dir), environment.dialtallyDir,
                                                          environment.xdgDataHome, environment.home);
    PeriodCalls calls(ProgramFiles::callLogPath(directory), period, now);
    const QString mainSymbol = SettingsFile(ProgramFiles::settingsPath(directory))
                                   .ReadSettingString(SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol,
                                                      SettingsKeys::DefaultMainSymbol);
    const RateNames rates = RateNames::load(ProgramFiles::rateNameStorePath(directory));
    if (isCompare) {
        const auto format = parser.isSet(options.json)  ? CompareCommand::Format::Json
                            : parser.isSet(options.csv) ? CompareCommand::Format::Csv
                                                        : CompareCommand::Format::Text;
        return CompareCommand::run(context, calls, days, format, directory, viewerSymbol(mainSymbol));
    }
    if (isReport)
        return report(context, calls, period, parser.isSet(options.json), viewerSymbol(mainSymbol), rates);
    return exportCalls(context, calls, period == AllCalls, formatName == QLatin1String("csv"),
                       parser.value(options.output), viewerSymbol(mainSymbol), now, rates, outIsTerminal);
}

} // namespace LogCommands
