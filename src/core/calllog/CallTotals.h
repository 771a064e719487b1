#pragma once

#include "core/calllog/CallLog.h"

#include <QString>

// "" for 1, "s" for any other count.
QString PluralSuffix(qint64 count);

// 1 Daytime, 2 Evening, 3 Weekend; 0 for a code outside 1..12.
int TimeBandOfRateCode(int rateCode);

struct CallTotals {
    qint64 todayCount = 0;
    double todayTotal = 0;
    qint64 weekCount = 0;
    double weekTotal = 0;
};

// Calls whose start lies strictly after this week's Monday midnight, and
// strictly after today's midnight. A missing log counts nothing; so does one
// that cannot be read, and failure (when given) then says why, with its name.
CallTotals findCallTotals(const CallLog& log, double now, QString* failure = nullptr);

// "1 call today totalling £0.50" or "No calls made today".
QString todayText(const CallTotals& totals, const QString& mainSymbol);
// "2 calls this week totalling £1.00" or "No calls made this Week".
QString weekText(const CallTotals& totals, const QString& mainSymbol);
