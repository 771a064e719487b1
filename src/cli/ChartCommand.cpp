#include "cli/ChartCommand.h"

namespace {
// The largest picture drawn, on either side.
constexpr int LargestSide = 10000;
} // namespace

ChartCommand::ChartCommand()
    : SpendingCommand(
          {QStringLiteral("chart")}, QStringLiteral("chart"),
          QStringLiteral("  chart --by day|week|month --output FILE.png|FILE.svg [--width W] [--height H]\n"
                         "      The Spending window's chart (the last 31 days, 26 weeks or 24 bill\n"
                         "      months), drawn without a display.\n"),
          OutputFile, {byOption()}) {
    addOptions({m_width, m_height});
}

int ChartCommand::execute(const Run& run) const {
    SpendView view = SpendView::Day;
    if (const int status = viewOf(run, view))
        return status;
    if (run.output.isEmpty() || run.output == QLatin1String("-"))
        return run.wrong(QStringLiteral("chart needs --output FILE.png or FILE.svg"));
    bool wideOk = false, highOk = false;
    const QSize size(run.parser.value(m_width).toInt(&wideOk), run.parser.value(m_height).toInt(&highOk));
    if (!wideOk || !highOk || size.width() < 1 || size.height() < 1 || size.width() > LargestSide ||
        size.height() > LargestSide)
        return run.wrong(
            QStringLiteral("--width and --height are whole numbers of pixels, 1 to %1").arg(LargestSide));
    if (!run.call.chart)
        return run.failed(QStringLiteral("charts cannot be drawn here"));
    SpendingReading reading;
    if (const int status = read(run, reading))
        return status;
    const QString failure = run.call.chart(reading, view, size, run.output);
    return failure.isEmpty() ? CommandContext::Done : run.failed(failure);
}
