#pragma once

#include "cli/Command.h"

// `dialtally tariff show NAME`: a rate file with its billing rules as text.
class TariffCommand final : public Command {
public:
    TariffCommand();

private:
    int execute(const Run& run) const override;
    QStringList inputs(const QString& directory) const override;
};
