#include "cli/ReportByCommand.h"

#include "cli/SpendingReports.h"
#include "core/calllog/CallLog.h"
#include "core/seams/DayCount.h"
#include "core/settings/ProgramFiles.h"

#include <algorithm>

ReportByCommand::ReportByCommand()
    : SpendingCommand(
          {QStringLiteral("report")}, QStringLiteral("report --by"),
          QStringLiteral("  report --by day|week|month [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--json|--csv]\n"
                         "      One row per day, week or bill month, from the first call of the log\n"
                         "      (or from --from) on: the calls, the cost without and with tax, and with\n"
                         "      tax per time band.\n"),
          Json | Csv | Dates, {byOption()}) {}

bool ReportByCommand::asksForRows(const QCommandLineParser& parser) {
    return parser.isSet(byOption()) || parser.isSet(QStringLiteral("from")) ||
           parser.isSet(QStringLiteral("to")) || parser.isSet(QStringLiteral("csv"));
}

bool ReportByCommand::claims(const QCommandLineParser& parser) const {
    return Command::claims(parser) && parser.positionalArguments().value(1) != QLatin1String("budget") &&
           asksForRows(parser);
}

int ReportByCommand::execute(const Run& run) const {
    SpendView view = SpendView::Day;
    if (const int status = viewOf(run, view))
        return status;
    // A report by period is of every period the user has: from the day of the
    // first call (by date, as the log need not be in date order) unless told.
    const qint64 today = DayCount::dayNumber(run.call.now);
    qint64 firstDay = today;
    if (run.from) {
        firstDay = DayCount::dayOfDate(*run.from);
    } else {
        const CallLog log(ProgramFiles::callLogPath(run.directory));
        QString reason;
        bool missing = false;
        const bool read = log.forEach(
            [&](const CallRecord& call) {
                if (DayCount::isDayCount(call.date))
                    firstDay = std::min(firstDay, DayCount::dayNumber(call.date));
            },
            &reason, &missing);
        if (!read && !missing)
            return run.failed(QStringLiteral("%1: %2").arg(log.path(), reason));
    }
    SpendingReading reading;
    if (const int status = read(run, reading, firstDay))
        return status;
    const SpendingReports::Format format = run.json  ? SpendingReports::Format::Json
                                           : run.csv ? SpendingReports::Format::Csv
                                                     : SpendingReports::Format::Text;
    return run.context().print(
        SpendingReports::periodRows(reading, view, DayCount::dateOfDay(firstDay), run.to, format));
}
