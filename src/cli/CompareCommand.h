#pragma once

#include "cli/Command.h"

// `dialtally compare`: what the calls would have cost with each rate file of
// the data directory, the table of the viewer's Compare Tariffs. It prices the
// calls in one pass over the log and reads each rate file once.
class CompareCommand final : public Command {
public:
    CompareCommand();

private:
    int execute(const Run& run) const override;
    // The settings, the log and the rate files: the active one and every other.
    QStringList inputs(const QString& directory) const override;

    QCommandLineOption m_period{QStringLiteral("period"), QString(), QStringLiteral("period")};
};
