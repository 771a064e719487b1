#include "core/calllog/CallLog.h"

CallLog::CallLog(QString path) : m_file(std::move(path), CallRecordCodec::Size) {}

bool CallLog::append(const std::vector<CallRecord>& records, QString* reason) const {
    QByteArray bytes(qsizetype(records.size()) * CallRecordCodec::Size, '\0');
    char* out = bytes.data();
    for (const CallRecord& r : records) {
        CallRecordCodec::write(r, out);
        out += CallRecordCodec::Size;
    }
    return m_file.append(bytes, reason);
}

bool CallLog::forEach(const std::function<void(const CallRecord&)>& visit, QString* reason,
                      bool* missing) const {
    return m_file.forEachBlock(
        [&visit](const char* records, qsizetype count) {
            for (qsizetype i = 0; i < count; ++i)
                visit(CallRecordCodec::read(records + i * CallRecordCodec::Size));
        },
        reason, missing);
}

std::vector<CallRecord> CallLog::readAll(bool* opened) const {
    std::vector<CallRecord> records;
    records.reserve(size_t(m_file.recordCount()));
    const bool ok = forEach([&records](const CallRecord& r) { records.push_back(r); });
    if (opened)
        *opened = ok;
    return records;
}

std::vector<CallRecord> CallLog::decode(QByteArrayView bytes,
                                        const std::function<void(qsizetype done)>& progress) {
    return decodeRecords(bytes, CallRecordCodec::Size, &CallRecordCodec::read, progress);
}
