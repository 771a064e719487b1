#include "core/calllog/CallRecord.h"

#include <QtEndian>

#include <bit>
#include <cstring>

namespace CallRecordCodec {

namespace {
void putDouble(double v, char* out) {
    qToLittleEndian(std::bit_cast<quint64>(v), out);
}
void putFloat(float v, char* out) {
    qToLittleEndian(std::bit_cast<quint32>(v), out);
}
double getDouble(const char* in) {
    return std::bit_cast<double>(qFromLittleEndian<quint64>(in));
}
float getFloat(const char* in) {
    return std::bit_cast<float>(qFromLittleEndian<quint32>(in));
}
} // namespace

void write(const CallRecord& record, char* out) {
    putDouble(record.date, out);
    putDouble(record.startTime, out + 8);
    putDouble(record.endTime, out + 16);
    putDouble(record.duration, out + 24);
    qToLittleEndian(record.dayOfWeek, out + 32);
    qToLittleEndian(record.rateCode, out + 34);
    qToLittleEndian(record.rateNameKey, out + 36);
    std::memset(out + 38, 0, 2);
    putFloat(record.grossCost, out + 40);
    putFloat(record.netCost, out + 44);
}

QByteArray write(const CallRecord& record) {
    QByteArray bytes(Size, '\0');
    write(record, bytes.data());
    return bytes;
}

CallRecord read(const char* in) {
    CallRecord r;
    r.date = getDouble(in);
    r.startTime = getDouble(in + 8);
    r.endTime = getDouble(in + 16);
    r.duration = getDouble(in + 24);
    r.dayOfWeek = qFromLittleEndian<quint16>(in + 32);
    r.rateCode = qFromLittleEndian<quint16>(in + 34);
    r.rateNameKey = qFromLittleEndian<quint16>(in + 36);
    r.grossCost = getFloat(in + 40);
    r.netCost = getFloat(in + 44);
    return r;
}

} // namespace CallRecordCodec
