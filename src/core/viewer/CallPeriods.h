#pragma once

#include "core/calllog/CallRecord.h"

#include <optional>
#include <vector>

enum class SelectionPeriod { Today, Week, Month, Year };

// The viewer's period selections, for its window and for the command line.

// Whether a call is in the period that contains now: made on or after the
// period's first day (today; this week's Monday; the 1st of this month; 1
// January). Calls dated after today (a clock that was set wrong) are in every
// period, as they follow the period's calls in date order.
bool inPeriod(const CallRecord& call, SelectionPeriod period, double now);

// The first row of calls (in date order) that is in the period.
std::optional<size_t> firstCallOfPeriod(const std::vector<CallRecord>& byDate, SelectionPeriod period,
                                        double now);
