#include "core/storage/FixedRecordFile.h"

#include "core/storage/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {
constexpr qint64 BlockBytes = 1 << 20;

bool fail(QString* reason, const QFileDevice& file) {
    if (reason)
        *reason = file.errorString();
    return false;
}
} // namespace

qint64 FixedRecordFile::recordCount() const {
    return QFileInfo(m_path).size() / m_recordSize;
}

bool FixedRecordFile::append(QByteArrayView records, QString* reason) const {
    Q_ASSERT(records.size() % m_recordSize == 0);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite))
        return fail(reason, file);
    const qint64 size = file.size();
    const qint64 whole = size - size % m_recordSize;
    if (whole != size && !file.resize(whole))
        return fail(reason, file);
    if (records.isEmpty())
        return true;
    if (!file.seek(whole) || file.write(records.data(), records.size()) != records.size() || !file.flush()) {
        fail(reason, file);
        // Take back a partial write so the file ends on a whole record.
        file.resize(whole);
        return false;
    }
    return true;
}

bool FixedRecordFile::forEachBlock(const BlockVisitor& visit, QString* reason) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, file);
    const qint64 blockRecords = std::max<qint64>(1, BlockBytes / m_recordSize);
    // Not cleared: every byte used is read first, and a small file would pay for a megabyte of zeros.
    QByteArray block(blockRecords * m_recordSize, Qt::Uninitialized);
    qint64 filled = 0; // bytes of an unfinished record carried to the next block
    for (;;) {
        const qint64 got = file.read(block.data() + filled, block.size() - filled);
        if (got < 0)
            return fail(reason, file);
        if (got == 0)
            return true; // what is left in `filled` is a torn tail
        filled += got;
        const qint64 whole = filled - filled % m_recordSize;
        if (whole > 0)
            visit(block.constData(), whole / m_recordSize);
        std::memmove(block.data(), block.constData() + whole, size_t(filled - whole));
        filled -= whole;
    }
}

std::optional<QByteArray> FixedRecordFile::readAll(QString* reason) const {
    QByteArray all;
    all.reserve(recordCount() * m_recordSize);
    const bool ok = forEachBlock(
        [&](const char* records, qsizetype count) { all.append(records, count * m_recordSize); }, reason);
    if (!ok)
        return std::nullopt;
    return all;
}

bool FixedRecordFile::replace(QByteArrayView records, QString* reason) const {
    Q_ASSERT(records.size() % m_recordSize == 0);
    return AtomicFile::replace(m_path, records, reason);
}
