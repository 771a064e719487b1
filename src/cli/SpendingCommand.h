#pragma once

#include "cli/Command.h"
#include "core/spending/SpendingReading.h"

// What the commands on the Spending window's figures share (report --by,
// report budget, chart): the figures read as the window reads them, and the
// view of --by.
class SpendingCommand : public Command {
protected:
    using Command::Command;

    static const QCommandLineOption& byOption();
    // The view --by names; otherwise the status of a wrong command line.
    static int viewOf(const Run& run, SpendView& view);
    // The figures, with each view reaching back to firstDay when given;
    // otherwise the status of a log that cannot be read.
    static int read(const Run& run, SpendingReading& reading, std::optional<qint64> firstDay = std::nullopt);
};
