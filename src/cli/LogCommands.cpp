#include "cli/LogCommands.h"

#include "core/calllog/CallLog.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/CallPeriods.h"

#include <QCommandLineParser>
#include <QFileDevice>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace LogCommands {

namespace {

enum Status { Done = 0, FileFailed = 1, WrongCommand = 2 };

const QStringList Periods = {QStringLiteral("today"), QStringLiteral("week"), QStringLiteral("month"),
                             QStringLiteral("year"), QStringLiteral("all")};
const QStringList PeriodPhrases = {QStringLiteral("today"), QStringLiteral("this week"),
                                   QStringLiteral("this month"), QStringLiteral("this year"),
                                   QStringLiteral("in the log")};
const int AllCalls = 4;

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

    void addTo(QCommandLineParser& parser) const {
        parser.addOptions({dir, json, all, period, format, output});
    }
    // Whether the arguments hold an option only a command takes.
    bool commandOnly(const QCommandLineParser& parser) const {
        return parser.isSet(json) || parser.isSet(all) || parser.isSet(period) || parser.isSet(format) ||
               parser.isSet(output);
    }
};

struct Context {
    QIODevice& out;
    QIODevice& err;
    QString outName = QStringLiteral("standard output");

    int fail(Status status, const QString& text) const {
        err.write((QStringLiteral("dialtally: ") + text + QLatin1Char('\n')).toLocal8Bit());
        return status;
    }
    // Every write is checked: a full disk or a closed output is an error, not a success.
    bool send(QByteArrayView bytes, QString* reason) const {
        if (out.write(bytes.data(), bytes.size()) == bytes.size())
            return true;
        if (reason)
            *reason = out.errorString();
        return false;
    }
    int print(const QString& text) const {
        QString reason;
        if (!send(text.toUtf8(), &reason))
            return fail(FileFailed, QStringLiteral("%1: %2").arg(outName, reason));
        return finish();
    }
    // What a buffered output still holds must reach its file too.
    int finish() const {
        auto* file = qobject_cast<QFileDevice*>(&out);
        if (file && !file->flush())
            return fail(FileFailed, QStringLiteral("%1: %2").arg(outName, file->errorString()));
        return Done;
    }
};

// An amount as the reports show it: rounded once, to the penny.
double roundedMoney(double amount) {
    return formatFixed(amount, 2).toDouble();
}

// The period's index in Periods, or -1.
int periodIndex(const QString& name) {
    return int(Periods.indexOf(name.toLower()));
}

// The calls of the period in the log's order, read a block at a time. A
// missing log has no calls. Only the calls the log held at the first reading
// are visited again, so that a call the meter logs meanwhile cannot make an
// export's rows disagree with its head.
class PeriodCalls {
public:
    PeriodCalls(QString path, int period, double now)
        : m_log(std::move(path)), m_period(period), m_now(now) {}

    bool forEach(const CallExport::CallVisitor& visit) {
        // Today takes calls dated later only beside one of its own.
        if (m_period == int(SelectionPeriod::Today) && !m_todayChecked) {
            m_todayChecked = true;
            bool missing = false;
            if (!m_log.forEach(
                    [&](const CallRecord& call) { m_hasToday = m_hasToday || isOfToday(call, m_now); },
                    &m_failure, &missing) &&
                !missing) {
                m_failure = QStringLiteral("%1: %2").arg(m_log.path(), m_failure);
                return false;
            }
        }
        const bool none = m_period == int(SelectionPeriod::Today) && !m_hasToday;
        qint64 seen = 0;
        const qint64 limit = m_limit;
        bool missing = false;
        const bool read = m_log.forEach(
            [&](const CallRecord& call) {
                if (limit >= 0 && seen >= limit)
                    return;
                ++seen;
                if (m_period == AllCalls || (!none && inPeriod(call, SelectionPeriod(m_period), m_now)))
                    visit(call);
            },
            &m_failure, &missing);
        if (m_limit < 0)
            m_limit = seen;
        if (read || missing) {
            m_failure.clear();
            return true;
        }
        m_failure = QStringLiteral("%1: %2").arg(m_log.path(), m_failure);
        return false;
    }
    // Why the log could not be read; empty when it could.
    const QString& failure() const { return m_failure; }

private:
    CallLog m_log;
    int m_period;
    double m_now;
    qint64 m_limit = -1;
    bool m_todayChecked = false;
    bool m_hasToday = false;
    QString m_failure;
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

int report(const Context& context, PeriodCalls& calls, int period, bool json, const QString& symbol,
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
            {QStringLiteral("period"), Periods[period]},
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

int exportCalls(const Context& context, PeriodCalls& calls, bool allCalls, bool comma, const QString& output,
                const QString& symbol, double now, const RateNames& rates, bool toTerminal) {
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

} // namespace

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
        "Both take --dir PATH for the data directory.\n");
}

int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal) {
    const Context context{out, err};
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
    if (command.isEmpty())
        return wrong(QStringLiteral("no command given"));
    if (!isReport && command != QLatin1String("export"))
        return wrong(QStringLiteral("unknown command \"%1\"").arg(command));

    QString periodName = Periods[AllCalls];
    if (isReport) {
        if (words.size() > 2 || parser.isSet(options.all) || parser.isSet(options.period) ||
            parser.isSet(options.format) || parser.isSet(options.output))
            return wrong(QStringLiteral("report takes a period and --json only"));
        periodName = words.value(1, Periods[0]);
    } else {
        if (words.size() > 1 || parser.isSet(options.json) ||
            (parser.isSet(options.all) && parser.isSet(options.period)))
            return wrong(QStringLiteral("export takes --all or --period, --format and --output"));
        if (parser.isSet(options.period))
            periodName = parser.value(options.period);
    }
    const int period = periodIndex(periodName);
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
    if (isReport)
        return report(context, calls, period, parser.isSet(options.json), viewerSymbol(mainSymbol), rates);
    return exportCalls(context, calls, period == AllCalls, formatName == QLatin1String("csv"),
                       parser.value(options.output), viewerSymbol(mainSymbol), now, rates, outIsTerminal);
}

} // namespace LogCommands
