#include "core/storage/FixedRecordFile.h"

#include "core/storage/AtomicFile.h"
#include "core/storage/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 BlockBytes = 1 << 20;

bool fail(QString* reason, const QFileDevice& file) {
    if (reason)
        *reason = file.errorString();
    return false;
}

bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

bool failWith(QString* reason, int error) {
    return fail(reason, qt_error_string(error));
}

// Every byte at the offset, or false with errno set.
bool writeAt(int fd, qint64 offset, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}
} // namespace

qint64 FixedRecordFile::recordCount() const {
    return QFileInfo(m_path).size() / m_recordSize;
}

std::optional<qint64> FixedRecordFile::openAtEnd(QFile& file, QIODevice::OpenMode mode,
                                                 QString* reason) const {
    // A device or a FIFO in the file's place could block the open itself, or
    // swallow the records: only a regular file is written. (A directory fails
    // to open with the system's own reason.)
    struct stat status {};
    if (::stat(QFile::encodeName(m_path).constData(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISDIR(status.st_mode)) {
        fail(reason, RegularFile::notRegularReason(status.st_mode));
        return std::nullopt;
    }
    if (!file.open(mode)) {
        fail(reason, file);
        return std::nullopt;
    }
    if (::fstat(file.handle(), &status) != 0) {
        failWith(reason, errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        fail(reason, RegularFile::notRegularReason(status.st_mode));
        return std::nullopt;
    }
    const qint64 whole = status.st_size - status.st_size % m_recordSize;
    if (whole != status.st_size && ::ftruncate(file.handle(), off_t(whole)) != 0) {
        failWith(reason, errno);
        return std::nullopt;
    }
    return whole;
}

bool FixedRecordFile::append(QByteArrayView records, QString* reason) const {
    Q_ASSERT(records.size() % m_recordSize == 0);
    // Written past Qt's buffer, straight to the file: a buffered short write
    // (a full disk in the middle of a record) reports no reason, and the flush
    // before a cut-back writes the same bytes again.
    QFile file(m_path);
    const std::optional<qint64> end = openAtEnd(file, QIODevice::ReadWrite | QIODevice::Unbuffered, reason);
    if (!end)
        return false;
    if (records.isEmpty())
        return true;
    if (!writeAt(file.handle(), *end, records) || ::fsync(file.handle()) != 0) {
        const int error = errno;
        // Take back a partial write so the file ends on a whole record.
        (void)::ftruncate(file.handle(), off_t(*end));
        return failWith(reason, error);
    }
    return true;
}

void FixedRecordFile::repairTail() const {
    const QFileInfo info(m_path);
    if (!info.isFile() || info.size() % m_recordSize == 0)
        return;
    QFile file(m_path);
    openAtEnd(file, QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered, nullptr);
}

bool FixedRecordFile::forEachBlock(const BlockVisitor& visit, QString* reason, bool* missing) const {
    if (missing)
        *missing = false;
    QFile file;
    if (!RegularFile::open(file, m_path, reason, missing))
        return false;
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

std::optional<QByteArray> FixedRecordFile::readAll(QString* reason, bool* missing) const {
    QByteArray all;
    all.reserve(recordCount() * m_recordSize);
    const bool ok =
        forEachBlock([&](const char* records, qsizetype count) { all.append(records, count * m_recordSize); },
                     reason, missing);
    if (!ok)
        return std::nullopt;
    return all;
}

bool FixedRecordFile::replace(QByteArrayView records, QString* reason) const {
    Q_ASSERT(records.size() % m_recordSize == 0);
    return AtomicFile::replace(m_path, records, reason);
}
