#pragma once

#include "core/calllog/CallRecord.h"

#include <QString>

// A call not yet in the log. It holds its rate name rather than a key: the key
// is given when the call reaches the log, so a call kept before the rate-name
// store could be written still shows its tariff.
struct KeptCall {
    CallRecord record; // rateNameKey unused until written
    QString rateName;
    QString number; // dialled, when the line told it; empty otherwise

    bool operator==(const KeptCall&) const = default;
};
