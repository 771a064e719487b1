#include "cli/SpendingCommand.h"

#include "cli/SpendingReports.h"

const QCommandLineOption& SpendingCommand::byOption() {
    static const QCommandLineOption option(QStringLiteral("by"), QString(), QStringLiteral("view"));
    return option;
}

int SpendingCommand::viewOf(const Run& run, SpendView& view) {
    if (!run.parser.isSet(byOption()))
        return run.wrong(
            QStringLiteral("%1 needs --by day|week|month").arg(run.command.name().section(' ', 0, 0)));
    const QString name = run.parser.value(byOption());
    const std::optional<SpendView> named = SpendingReports::viewNamed(name);
    if (!named)
        return run.wrong(QStringLiteral("unknown view \"%1\"").arg(name));
    view = *named;
    return CommandContext::Done;
}

int SpendingCommand::read(const Run& run, SpendingReading& reading, std::optional<qint64> firstDay) {
    reading = SpendingReading::read(run.directory, run.call.now, firstDay);
    if (!reading.figures.logRead())
        return run.failed(QStringLiteral("%1: %2").arg(reading.logPath, reading.figures.readFailure()));
    return CommandContext::Done;
}
