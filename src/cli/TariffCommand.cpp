#include "cli/TariffCommand.h"

#include "core/settings/ProgramFiles.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"
#include "core/tariff/TariffText.h"

TariffCommand::TariffCommand()
    : Command({QStringLiteral("tariff"), QStringLiteral("show")}, QStringLiteral("tariff show"),
              QStringLiteral("  tariff show NAME\n"
                             "      The rate file NAME.dtr with its billing rules (NAME.billing) as text.\n"),
              0, {}, 1) {}

int TariffCommand::execute(const Run& run) const {
    if (run.words.size() != 1)
        return run.wrong(QStringLiteral("tariff show takes the name of a rate file"));
    const QString& name = run.words.first();
    const QString path = ProgramFiles::rateFilePath(run.directory, name);
    QString reason;
    const std::optional<RateTable> table = readRateFile(path, &reason);
    if (!table)
        return run.failed(QStringLiteral("%1: %2").arg(path, reason));
    const std::optional<BillingRules> rules =
        BillingRulesFile::read(BillingRulesFile::pathFor(path), &reason);
    if (!rules)
        return run.failed(reason);
    return run.context().print(tariffText(name, *table, *rules, run.symbol()));
}

// The rate files are read by name; only the settings (for the currency) before that.
QStringList TariffCommand::inputs(const QString& directory) const {
    return {ProgramFiles::settingsPath(directory)};
}
