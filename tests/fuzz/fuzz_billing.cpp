// The billing rules beside a rate file as their reader takes them, and the
// charge of calls of every length priced by what it read: the rules it writes
// back read as the same rules.
#include "core/tariff/Billing.h"
#include "core/tariff/BillingRulesFile.h"
#include "fuzz/FuzzSupport.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = FuzzSupport::scratchPath(QStringLiteral("Rates.billing"));
    FuzzSupport::writeFile(path, FuzzSupport::bytesOf(data, size));
    QString error;
    const std::optional<BillingRules> rules = BillingRulesFile::read(path, &error);
    if (!rules)
        return 0;
    if (BillingRulesFile::parse(BillingRulesFile::text(*rules), &error) != rules)
        FuzzSupport::fail(QStringLiteral("the rules written back read otherwise: %1").arg(error));

    constexpr double Inf = std::numeric_limits<double>::infinity();
    const WorkingValues values{99999 * 14.4, 2, 0.5, 0.25, 0.5};
    BillingRun run(*rules, 28);
    for (double start : {46000.5, 46000.9999999, -693800.5, 2.9e6, qQNaN()})
        for (double days : {0.0, 1e-12, 0.0006944, 1.5, -0.1, 3e6, Inf, -Inf, qQNaN()})
            run.charge(values, start, run.bandOf(Evening, start), days);
    return 0;
}
