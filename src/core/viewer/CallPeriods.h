#pragma once

#include "core/calllog/CallRecord.h"

#include <optional>
#include <vector>

enum class SelectionPeriod { Today, Week, Month, Year };

// The viewer's period selections, for its window and for the command line.
// A period selects, in a table sorted by date ascending, the rows from its
// first call to the bottom of the table.

// The first row of calls (in date order) made in the period that contains
// now: for today, the first call of today; for the week (from Monday), month
// and year, the first call from the period's first day on.
std::optional<size_t> firstCallOfPeriod(const std::vector<CallRecord>& byDate, SelectionPeriod period,
                                        double now);

// The calls of the log (in file order) that the period selects, still in file order.
std::vector<CallRecord> callsOfPeriod(const std::vector<CallRecord>& logged, SelectionPeriod period,
                                      double now);
