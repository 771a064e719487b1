#pragma once

#include "cli/Command.h"

// `dialtally export`: the calls of a period as the log viewer exports them,
// in the order of the log, to standard output or a file.
class ExportCommand final : public Command {
public:
    ExportCommand();

private:
    int execute(const Run& run) const override;

    QCommandLineOption m_all{QStringLiteral("all")};
    QCommandLineOption m_period{QStringLiteral("period"), QString(), QStringLiteral("period")};
    QCommandLineOption m_format{QStringLiteral("format"), QString(), QStringLiteral("format"),
                                QStringLiteral("text")};
};
