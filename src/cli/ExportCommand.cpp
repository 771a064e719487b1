#include "cli/ExportCommand.h"

#include "cli/PeriodCalls.h"
#include "core/settings/ProgramFiles.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/CallExport.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/ViewerColumns.h"

#include <algorithm>
#include <iterator>

ExportCommand::ExportCommand()
    : Command(
          {QStringLiteral("export")}, QStringLiteral("export"),
          QStringLiteral(
              "  export [--all|--period today|week|month|year] [--format text|csv|prn] [--output FILE|-]\n"
              "      The calls as the log viewer exports them, in the order of the log: ruled\n"
              "      text, a spreadsheet's CSV (UTF-8) or the comma layout of a .prn file.\n"
              "      On a terminal or a pipe every layout is UTF-8.\n"),
          OutputOrStandard) {
    addOptions({m_all, m_period, m_format});
}

int ExportCommand::execute(const Run& run) const {
    const QCommandLineParser& parser = run.parser;
    if (parser.isSet(m_all) && parser.isSet(m_period))
        return run.wrong(QStringLiteral("export takes --all or --period, not both"));
    const QString periodName =
        parser.isSet(m_period) ? parser.value(m_period) : PeriodCalls::names()[PeriodCalls::All];
    const int period = PeriodCalls::indexOf(periodName);
    if (period < 0)
        return run.wrong(QStringLiteral("unknown period \"%1\"").arg(periodName));
    using CallExport::Form;
    static const std::pair<QLatin1String, Form> formats[] = {{QLatin1String("text"), Form::Ruled},
                                                             {QLatin1String("csv"), Form::Spreadsheet},
                                                             {QLatin1String("prn"), Form::Comma}};
    const QString formatName = parser.value(m_format).toLower();
    const auto format = std::find_if(std::begin(formats), std::end(formats),
                                     [&formatName](const auto& known) { return known.first == formatName; });
    if (format == std::end(formats))
        return run.wrong(QStringLiteral("unknown format \"%1\"").arg(parser.value(m_format)));

    const bool allCalls = period == PeriodCalls::All;
    const QString symbol = run.symbol();
    const double now = run.call.now;
    const RateNames rates = RateNames::load(ProgramFiles::rateNameStorePath(run.directory));
    PeriodCalls calls(ProgramFiles::callLogPath(run.directory), period, now);
    const CommandContext& context = run.context();
    const ColumnLayout columns; // every column, in the design's order
    const bool toOutput = run.output == QLatin1String("-");
    const CallExport::Layout layout{columns, rates, symbol, format->second, false, run.standardStream};
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
        const QString failure = CallExport::write(run.output, layout, source, header);
        if (!calls.failure().isEmpty())
            return run.failed(calls.failure());
        return failure.isEmpty() ? CommandContext::Done : run.failed(failure);
    }
    QString reason;
    const bool written = CallExport::stream(
        layout, source, header,
        [&context](QByteArrayView bytes, QString* why) { return context.send(bytes, why); }, &reason);
    if (!calls.failure().isEmpty())
        return run.failed(calls.failure());
    if (!written)
        return run.failed(QStringLiteral("%1: %2").arg(context.outName, reason));
    return context.finish();
}
