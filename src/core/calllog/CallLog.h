#pragma once

#include "core/calllog/CallRecord.h"
#include "core/storage/FixedRecordFile.h"

#include <QByteArrayView>

#include <QString>

#include <functional>
#include <vector>

// The call log file: 48-byte records, no header, in the order the calls ended.
// Opened afresh for every operation.
class CallLog {
public:
    explicit CallLog(QString path);
    const QString& path() const { return m_file.path(); }
    const FixedRecordFile& file() const { return m_file; }

    // Appends the records with one write at the end, creating the file when
    // needed. A torn tail (size not a multiple of 48) is cut back to the last
    // whole record first. On failure returns false with the system's reason.
    bool append(const std::vector<CallRecord>& records, QString* reason = nullptr) const;

    // Calls visit for every whole record in file order, reading in large
    // blocks; a torn tail is ignored. False when the file cannot be read,
    // missing (when given) saying whether there is no such file.
    bool forEach(const std::function<void(const CallRecord&)>& visit, QString* reason = nullptr,
                 bool* missing = nullptr) const;

    std::vector<CallRecord> readAll(bool* opened = nullptr) const;

    // The whole records of a log's bytes, in order.
    static std::vector<CallRecord> decode(QByteArrayView bytes,
                                          const std::function<void(qsizetype done)>& progress = {});

private:
    FixedRecordFile m_file;
};
