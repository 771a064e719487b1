#include "cli/LogCommands.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/seams/Prompter.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/Money.h"
#include "core/storage/FixedRecordFile.h"
#include "core/tariff/Costing.h"
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

enum Status { Done = 0, FileFailed = 1, WrongCommand = 2 };

const QStringList Periods = {QStringLiteral("today"), QStringLiteral("week"), QStringLiteral("month"),
                             QStringLiteral("year"), QStringLiteral("all")};
const QStringList PeriodPhrases = {QStringLiteral("today"), QStringLiteral("this week"),
                                   QStringLiteral("this month"), QStringLiteral("this year"),
                                   QStringLiteral("in the log")};

// The viewer only beeps at the user, and there is nobody to beep at here.
class QuietPrompter final : public Prompter {
public:
    void error(const QString&) override {}
    void warning(const QString&) override {}
    void information(const QString&) override {}
    bool askYesNo(const QString&) override { return false; }
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }
    void beep() override {}
};

struct Context {
    QIODevice& out;
    QIODevice& err;

    int fail(Status status, const QString& text) const {
        err.write((QStringLiteral("dialtally: ") + text + QLatin1Char('\n')).toLocal8Bit());
        return status;
    }
    void print(const QString& text) const { out.write(text.toUtf8()); }
};

// An amount as the reports show it: rounded once, to the penny.
double roundedMoney(double amount) {
    return formatFixed(amount, 2).toDouble();
}

// The period's index in Periods, or -1.
int periodIndex(const QString& name) {
    return int(Periods.indexOf(name.toLower()));
}

std::vector<CallRecord> selected(const std::vector<CallRecord>& logged, int period, double now) {
    if (period == int(Periods.size()) - 1)
        return logged;
    return callsOfPeriod(logged, SelectionPeriod(period), now);
}

// What the viewer leaves empty (a damaged value) is null.
QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// The earliest or latest call with a date; a damaged date is neither.
QJsonValue callObject(const std::vector<CallRecord>& calls, bool last, const RateNames& rates) {
    const CallRecord* found = nullptr;
    for (const CallRecord& call : calls) {
        if (DayCount::isDayCount(call.date) &&
            (!found || (last ? call.date > found->date : call.date < found->date)))
            found = &call;
    }
    if (!found)
        return QJsonValue::Null;
    const CallRecord& call = *found;
    return QJsonObject{
        {QStringLiteral("start"), textOrNull(DayCount::toDateTime(call.startTime).toString(Qt::ISODate))},
        {QStringLiteral("end"), textOrNull(DayCount::toDateTime(call.endTime).toString(Qt::ISODate))},
        {QStringLiteral("duration"), textOrNull(DayCount::durationText(call.duration))},
        {QStringLiteral("gross"), roundedMoney(Money::amount(call.grossCost))},
        {QStringLiteral("net"), roundedMoney(Money::amount(call.netCost))},
        {QStringLiteral("band"), timeBandName(TimeBandOfRateCode(call.rateCode))},
        {QStringLiteral("rate"), rates.nameFor(call.rateNameKey)},
    };
}

int report(const Context& context, const std::vector<CallRecord>& calls, int period, bool json,
           const QString& symbol, const RateNames& rates) {
    MoneySum gross;
    MoneySum net;
    for (const CallRecord& call : calls) {
        gross.add(call.grossCost);
        net.add(call.netCost);
    }
    const qint64 count = qint64(calls.size());
    if (json) {
        const QJsonObject object{
            {QStringLiteral("period"), Periods[period]},
            {QStringLiteral("count"), count},
            {QStringLiteral("gross"), roundedMoney(gross.total())},
            {QStringLiteral("net"), roundedMoney(net.total())},
            {QStringLiteral("first"), callObject(calls, false, rates)},
            {QStringLiteral("last"), callObject(calls, true, rates)},
        };
        context.print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                      QLatin1Char('\n'));
        return Done;
    }
    if (count == 0) {
        context.print(QStringLiteral("No calls made %1\n").arg(PeriodPhrases[period]));
        return Done;
    }
    context.print(QStringLiteral("%1 call%2 %3 totalling %4 (%5 exc. tax)\n")
                      .arg(count)
                      .arg(PluralSuffix(count), PeriodPhrases[period], viewerMoney(gross.total(), symbol),
                           viewerMoney(net.total(), symbol)));
    return Done;
}

int exportCalls(const Context& context, const QString& directory, std::vector<CallRecord> calls,
                bool allCalls, bool comma, const QString& output, const QString& mainSymbol, double now,
                RateNames rates, bool toTerminal) {
    QuietPrompter quiet;
    CallLogViewer viewer(directory, quiet);
    viewer.setMainSymbol(mainSymbol);
    const int rows = int(calls.size());
    viewer.showCalls(std::move(calls), std::move(rates));
    const QString summary = allCalls ? viewer.totalsLine() : viewer.selectionSummary(0, rows - 1);
    const QStringList header = CallExport::headerLines(false, now, !allCalls, summary);
    const CallTableModel& table = viewer.model();
    const QStringList lines = comma ? CallExport::commaLayout(table, header, 0, rows - 1, allCalls)
                                    : CallExport::textLayout(table, header, 0, rows - 1);
    if (output != QLatin1String("-")) {
        const QString failure = CallExport::write(output, lines);
        return failure.isEmpty() ? Done : context.fail(FileFailed, failure);
    }
    if (toTerminal) {
        context.print(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return Done;
    }
    const std::optional<QByteArray> bytes = CallExport::bytesOf(lines);
    if (!bytes)
        return context.fail(FileFailed, QStringLiteral("the export cannot be stored as text"));
    context.out.write(*bytes);
    return Done;
}

} // namespace

bool isCommand(const QStringList& arguments) {
    return arguments.size() > 1 &&
           (arguments[1] == QLatin1String("report") || arguments[1] == QLatin1String("export"));
}

QString usage() {
    return QStringLiteral(
        "Commands (they need no window and only read the data files):\n"
        "  report [today|week|month|year|all] [--json]\n"
        "      The number of calls of the period and what they cost.\n"
        "  export [--all|--period today|week|month|year] [--format text|csv] [--output FILE|-]\n"
        "      The calls as the log viewer exports them, in the order of the log.\n"
        "Both take --dir PATH for the data directory.\n");
}

int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal) {
    const Context context{out, err};
    QCommandLineParser parser;
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("path"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption all(QStringLiteral("all"));
    const QCommandLineOption periodOption(QStringLiteral("period"), QString(), QStringLiteral("period"));
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"),
                                    QStringLiteral("text"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("file"),
                                    QStringLiteral("-"));
    parser.addOptions({dir, json, all, periodOption, format, output});
    if (!parser.parse(arguments))
        return context.fail(WrongCommand, parser.errorText());
    const QStringList words = parser.positionalArguments();
    const bool isReport = words.value(0) == QLatin1String("report");
    const auto wrong = [&](const QString& text) {
        return context.fail(WrongCommand, text + QStringLiteral("\n") + usage());
    };

    QString periodName = QStringLiteral("all");
    if (isReport) {
        if (words.size() > 2 || parser.isSet(all) || parser.isSet(periodOption) || parser.isSet(format) ||
            parser.isSet(output))
            return wrong(QStringLiteral("report takes a period and --json only"));
        periodName = words.value(1, QStringLiteral("today"));
    } else {
        if (words.size() > 1 || parser.isSet(json) || (parser.isSet(all) && parser.isSet(periodOption)))
            return wrong(QStringLiteral("export takes --all or --period, --format and --output"));
        if (parser.isSet(periodOption))
            periodName = parser.value(periodOption);
    }
    const int period = periodIndex(periodName);
    if (period < 0)
        return wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    const QString formatName = parser.value(format).toLower();
    if (formatName != QLatin1String("text") && formatName != QLatin1String("csv"))
        return wrong(QStringLiteral("unknown format \"%1\"").arg(parser.value(format)));

    const QString directory = ProgramFiles::dataDirectory(parser.value(dir), environment.dialtallyDir,
                                                          environment.xdgDataHome, environment.home);
    const FixedRecordFile log(ProgramFiles::callLogPath(directory), CallRecordCodec::Size);
    QString reason;
    const std::optional<QByteArray> bytes = log.readAll(&reason);
    if (!bytes)
        return context.fail(FileFailed, QStringLiteral("%1: %2").arg(log.path(), reason));
    const std::vector<CallRecord> logged = CallLog::decode(*bytes);

    const QString mainSymbol = SettingsFile(ProgramFiles::settingsPath(directory))
                                   .ReadSettingString(SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol,
                                                      SettingsKeys::DefaultMainSymbol);
    RateNames rates = RateNames::load(ProgramFiles::rateNameStorePath(directory));
    std::vector<CallRecord> calls = selected(logged, period, now);
    if (isReport)
        return report(context, calls, period, parser.isSet(json), viewerSymbol(mainSymbol), rates);
    return exportCalls(context, directory, std::move(calls), period == int(Periods.size()) - 1,
                       formatName == QLatin1String("csv"), parser.value(output), mainSymbol, now,
                       std::move(rates), outIsTerminal);
}

} // namespace LogCommands
