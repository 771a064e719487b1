#pragma once

#include "cli/SpendingCommand.h"

// `dialtally chart`: the Spending window's chart of a view, drawn without a
// display, as PNG or SVG.
class ChartCommand final : public SpendingCommand {
public:
    ChartCommand();

private:
    int execute(const Run& run) const override;

    QCommandLineOption m_width{QStringLiteral("width"), QString(), QStringLiteral("pixels"),
                               QStringLiteral("800")};
    QCommandLineOption m_height{QStringLiteral("height"), QString(), QStringLiteral("pixels"),
                                QStringLiteral("500")};
};
