#pragma once

#include <QByteArray>
#include <QtGlobal>

// One call of the call log.
struct CallRecord {
    double date = 0;      // start of the call; the viewer shows its date
    double startTime = 0; // start again; the viewer shows its time, the totals test it
    double endTime = 0;
    double duration = 0;     // days
    quint16 dayOfWeek = 0;   // 1 Sunday .. 7 Saturday
    quint16 rateCode = 0;    // 1..12
    quint16 rateNameKey = 0; // key in the rate-name store
    float grossCost = 0;     // main units, tax included
    float netCost = 0;       // main units, tax excluded

    bool operator==(const CallRecord&) const = default;
};

// 48 little-endian bytes; bytes 38..39 are unused and written as zeros.
namespace CallRecordCodec {
constexpr int Size = 48;
void write(const CallRecord& record, char* out);
QByteArray write(const CallRecord& record);
CallRecord read(const char* in);
} // namespace CallRecordCodec
