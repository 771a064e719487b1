#include "core/calllog/CallLog.h"

#include <QFile>

#include <cstring>

namespace {
constexpr qint64 BlockRecords = 8192;

void setReason(QString* reason, const QFile& file) {
    if (reason)
        *reason = file.errorString();
}
} // namespace

bool CallLog::append(const std::vector<CallRecord>& records, QString* reason) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite)) {
        setReason(reason, file);
        return false;
    }
    // A crash in an earlier write can leave part of a record at the end; cut
    // it off so the new records stay aligned.
    const qint64 size = file.size();
    const qint64 whole = size - size % CallRecordCodec::Size;
    if (whole != size && !file.resize(whole)) {
        setReason(reason, file);
        return false;
    }
    if (records.empty())
        return true;

    QByteArray bytes(qsizetype(records.size()) * CallRecordCodec::Size, '\0');
    char* out = bytes.data();
    for (const CallRecord& r : records) {
        CallRecordCodec::write(r, out);
        out += CallRecordCodec::Size;
    }
    if (!file.seek(whole) || file.write(bytes) != bytes.size() || !file.flush()) {
        setReason(reason, file);
        // Take back a partial write so the log ends on a whole record.
        file.resize(whole);
        return false;
    }
    return true;
}

bool CallLog::forEach(const std::function<void(const CallRecord&)>& visit, QString* reason) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        setReason(reason, file);
        return false;
    }
    QByteArray block(BlockRecords * CallRecordCodec::Size, '\0');
    qint64 filled = 0; // bytes of an unfinished record carried to the next block
    for (;;) {
        const qint64 got = file.read(block.data() + filled, block.size() - filled);
        if (got < 0) {
            setReason(reason, file);
            return false;
        }
        if (got == 0)
            break; // what is left in `filled` is a torn tail
        filled += got;
        const qint64 whole = filled - filled % CallRecordCodec::Size;
        for (qint64 at = 0; at < whole; at += CallRecordCodec::Size)
            visit(CallRecordCodec::read(block.constData() + at));
        std::memmove(block.data(), block.constData() + whole, size_t(filled - whole));
        filled -= whole;
    }
    return true;
}

std::vector<CallRecord> CallLog::readAll(bool* opened) const {
    std::vector<CallRecord> records;
    const qint64 size = QFile(m_path).size();
    if (size > 0)
        records.reserve(size_t(size / CallRecordCodec::Size));
    const bool ok = forEach([&records](const CallRecord& r) { records.push_back(r); });
    if (opened)
        *opened = ok;
    return records;
}
