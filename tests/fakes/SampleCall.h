#pragma once

#include "core/calllog/CallRecord.h"
#include "core/seams/DayCount.h"

// A call of about a quarter of an hour from `start`, costing `cost` with tax.
inline CallRecord sampleCall(double start, float cost, int rateCode = 1, quint16 rateNameKey = 0) {
    CallRecord r;
    r.date = r.startTime = start;
    r.duration = 0.01;
    r.endTime = start + r.duration;
    r.dayOfWeek = quint16(DayCount::storedDayOfWeek(start));
    r.rateCode = quint16(rateCode);
    r.rateNameKey = rateNameKey;
    r.grossCost = cost;
    r.netCost = cost / 2;
    return r;
}

inline CallRecord sampleCall(const QDateTime& start, float cost, int rateCode = 1, quint16 rateNameKey = 0) {
    return sampleCall(DayCount::fromDateTime(start), cost, rateCode, rateNameKey);
}
