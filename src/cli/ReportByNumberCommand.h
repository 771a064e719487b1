#pragma once

#include "cli/Command.h"

// `dialtally report --by number`: for each number dialled (or its name in the
// address book), the calls, their minutes and their cost without and with
// tax, costliest first; the calls without a number make one row.
class ReportByNumberCommand final : public Command {
public:
    ReportByNumberCommand();
    bool claims(const QCommandLineParser& parser) const override;

private:
    int execute(const Run& run) const override;
    // The settings, the log, the numbers and the address book.
    QStringList inputs(const QString& directory) const override;

    QCommandLineOption m_by{QStringLiteral("by"), QString(), QStringLiteral("view")};
    QCommandLineOption m_period{QStringLiteral("period"), QString(), QStringLiteral("period")};
};
