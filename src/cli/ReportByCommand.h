#pragma once

#include "cli/SpendingCommand.h"

// `dialtally report --by day|week|month`: one row per bar of the Spending
// window's chart, from the log's first call (or --from) on.
class ReportByCommand final : public SpendingCommand {
public:
    ReportByCommand();
    bool claims(const QCommandLineParser& parser) const override;
    // Whether a report's command line asks for rows: --by, or an option only they take.
    static bool asksForRows(const QCommandLineParser& parser);

private:
    int execute(const Run& run) const override;
};
