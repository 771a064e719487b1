#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// A file of fixed-size records with no header: the call log, the rate-name
// store and the viewer's sorted copy. Opened afresh for every operation.
//
// Only a regular file is read or written (see RegularFile): anything else
// fails with a reason that says what the file is.
//
// A crash in the middle of a write can leave part of a record at the end (a
// torn tail): readers ignore it, and an append cuts it off first so that the
// new records stay aligned. A rewrite of the whole file goes to a temporary
// file that replaces the old one with an atomic rename. Failures return false
// with the system's reason; nothing throws.
class FixedRecordFile {
public:
    FixedRecordFile(QString path, int recordSize) : m_path(std::move(path)), m_recordSize(recordSize) {}
    const QString& path() const { return m_path; }
    int recordSize() const { return m_recordSize; }

    // The number of whole records; 0 when the file is missing.
    qint64 recordCount() const;

    // Writes the records (a multiple of the record size) at the end, unbuffered
    // and synced to the disk, creating the file when needed. On failure (a full
    // disk, a file that is not a regular file) the file is cut back to the
    // records it had, and reason is the system's.
    bool append(QByteArrayView records, QString* reason = nullptr) const;

    // Cuts a torn tail back to the last whole record. A file that is missing,
    // whole, not a regular file or not writable is left as it is; nothing here
    // waits.
    void repairTail() const;

    // Calls visit(records, count) for consecutive blocks of whole records in
    // file order. False when the file cannot be opened or read; missing (when
    // given) then says whether that is because there is no such file.
    using BlockVisitor = std::function<void(const char* records, qsizetype count)>;
    bool forEachBlock(const BlockVisitor& visit, QString* reason = nullptr, bool* missing = nullptr) const;

    // All whole records in one buffer; nothing when the file cannot be read.
    std::optional<QByteArray> readAll(QString* reason = nullptr, bool* missing = nullptr) const;

    // Replaces the file with these records, or leaves it untouched on failure.
    bool replace(QByteArrayView records, QString* reason = nullptr) const;

private:
    // Opens the file for writing at its end, the torn tail cut off; the end's offset.
    std::optional<qint64> openAtEnd(QFile& file, QIODevice::OpenMode mode, QString* reason) const;

    QString m_path;
    int m_recordSize;
};

// Every whole record of bytes decoded with read(const char*), in order; a torn
// tail is left out. progress(done), when given, is told every few thousand
// records.
template <typename Read>
auto decodeRecords(QByteArrayView bytes, qsizetype recordSize, Read read,
                   const std::function<void(qsizetype done)>& progress = {}) {
    using Record = decltype(read(static_cast<const char*>(nullptr)));
    const qsizetype count = bytes.size() / recordSize;
    std::vector<Record> records;
    records.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        records.push_back(read(bytes.data() + i * recordSize));
        if (progress && ((i + 1) % 4096 == 0 || i + 1 == count))
            progress(i + 1);
    }
    return records;
}
