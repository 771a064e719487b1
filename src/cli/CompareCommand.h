#pragma once

#include <QtGlobal>

#include <optional>

struct CommandContext;
class PeriodCalls;
class QString;

// `dialtally compare`: what the calls would have cost with each rate file of
// the data directory, the table of the viewer's Compare Tariffs.
namespace CompareCommand {

enum class Format { Text, Json, Csv };

// Calls dated from firstDay to lastDay (day numbers, both included), when set.
struct Days {
    std::optional<qint64> firstDay;
    std::optional<qint64> lastDay;
};

// Prices the calls in one pass over the log; each rate file is read once.
// Returns the exit status.
int run(const CommandContext& context, PeriodCalls& calls, const Days& days, Format format,
        const QString& directory, const QString& symbol);

} // namespace CompareCommand
