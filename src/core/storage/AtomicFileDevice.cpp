#include "core/storage/AtomicFileDevice.h"

namespace {
constexpr qsizetype BlockSize = 1 << 16;
} // namespace

AtomicFileDevice::AtomicFileDevice(const QString& path) : m_file(path) {
    m_block.reserve(BlockSize);
}

bool AtomicFileDevice::open(OpenMode mode) {
    if ((mode & ReadOnly) || !(mode & WriteOnly) || (mode & Append))
        return fail(QStringLiteral("The file can only be written"));
    QString reason;
    if (!m_file.open(&reason))
        return fail(reason);
    return QIODevice::open(mode);
}

bool AtomicFileDevice::seek(qint64 pos) {
    // The bytes go out in order: only the place already reached can be sought.
    return pos == this->pos() && QIODevice::seek(pos);
}

qint64 AtomicFileDevice::readData(char*, qint64) {
    return -1;
}

qint64 AtomicFileDevice::writeData(const char* data, qint64 size) {
    if (m_failed)
        return -1;
    m_block.append(data, size);
    if (m_block.size() >= BlockSize && !writeBlock())
        return -1;
    return size;
}

bool AtomicFileDevice::writeBlock() {
    QString reason;
    if (!m_file.write(m_block, &reason))
        return fail(reason);
    m_block.clear();
    return true;
}

bool AtomicFileDevice::commit() {
    if (m_failed || !isOpen() || !writeBlock())
        return false;
    QString reason;
    if (!m_file.commit(&reason))
        return fail(reason);
    close();
    return true;
}

bool AtomicFileDevice::fail(const QString& reason) {
    if (!m_failed)
        setErrorString(reason);
    m_failed = true;
    return false;
}
