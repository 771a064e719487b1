#include "cli/PeriodReportCommand.h"

#include "cli/PeriodCalls.h"
#include "cli/ReportByCommand.h"
#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QStringList PeriodPhrases = {QStringLiteral("today"), QStringLiteral("this week"),
                                   QStringLiteral("this month"), QStringLiteral("this year"),
                                   QStringLiteral("in the log")};

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

} // namespace

PeriodReportCommand::PeriodReportCommand()
    : Command({QStringLiteral("report")}, QStringLiteral("report"),
              QStringLiteral("  report [today|week|month|year|all] [--json]\n"
                             "      The number of calls of the period and what they cost.\n"),
              Json, {}, 1) {}

bool PeriodReportCommand::claims(const QCommandLineParser& parser) const {
    return Command::claims(parser) && parser.positionalArguments().value(1) != QLatin1String("budget") &&
           !ReportByCommand::asksForRows(parser);
}

int PeriodReportCommand::execute(const Run& run) const {
    const QString periodName = run.words.value(0, PeriodCalls::names()[0]);
    const int period = PeriodCalls::indexOf(periodName);
    if (period < 0)
        return run.wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    const QString symbol = run.symbol();
    const RateNames rates = RateNames::load(ProgramFiles::rateNameStorePath(run.directory));
    PeriodCalls calls(ProgramFiles::callLogPath(run.directory), period, run.call.now);

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
        return run.failed(calls.failure());
    const CommandContext& context = run.context();
    if (run.json) {
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
