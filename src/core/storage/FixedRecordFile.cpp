#include "core/storage/FixedRecordFile.h"

#include "core/storage/AtomicFile.h"

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

QString notRegular(mode_t mode) {
    const char* what = S_ISDIR(mode)                    ? "a directory"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "not a file";
    return QStringLiteral("It is %1, not a regular file").arg(QLatin1String(what));
}

// Opens the file for reading if it is a regular file. Non-blocking, so that a
// named pipe put in its place after any earlier check cannot stop the open.
bool openRegular(const QString& path, QFile& file, QString* reason, bool* missing) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (missing)
            *missing = error == ENOENT;
        return fail(reason, qt_error_string(error));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const QString why = qt_error_string(errno);
        ::close(fd);
        return fail(reason, why);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(reason, notRegular(status.st_mode));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(reason, file);
    }
    return true;
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

bool FixedRecordFile::forEachBlock(const BlockVisitor& visit, QString* reason, bool* missing) const {
    if (missing)
        *missing = false;
    QFile file;
    if (!openRegular(m_path, file, reason, missing))
        return false;
    const qint64 blockRecords = std::max<qint64>(1, BlockBytes / m_recordSize);
    QByteArray block(blockRecords * m_recordSize, '\0');
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
