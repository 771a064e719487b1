#pragma once

#include "core/calllog/CallRecord.h"

#include <vector>

enum class SelectionPeriod { Today, Week, Month, Year };

// The viewer's period selections, for its window and for the command line:
// one rule for which calls a period takes, whatever order they are in.
//
// A period takes every call from its first day on (today; the Monday of this
// week; the 1st of this month; the 1st of January), calls dated after today
// included, for they come after it in date order (a clock set wrong). Today
// takes them only when a call of today is among them.

// Whether a call is made on or after the period's first day.
bool inPeriod(const CallRecord& call, SelectionPeriod period, double now);
// Whether a call is made today: without one, today takes no call at all.
bool isOfToday(const CallRecord& call, double now);

// The indexes in `calls` of the calls the period that contains now takes, in
// ascending order.
std::vector<size_t> callsInPeriod(const std::vector<CallRecord>& calls, SelectionPeriod period, double now);
