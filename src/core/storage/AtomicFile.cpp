#include "core/storage/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

// Whether the path (through links) is something other than a regular file or
// a directory: a device, a named pipe, a socket.
bool isSpecial(const QByteArray& path, mode_t* mode) {
    struct stat status {};
    if (::stat(path.constData(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode))
        return false;
    *mode = status.st_mode;
    return true;
}
} // namespace

AtomicFile::AtomicFile(QString path) : m_path(std::move(path)) {}

// A QSaveFile closed without a commit removes its temporary file.
AtomicFile::~AtomicFile() {
    closeDirect();
}

bool AtomicFile::open(QString* reason) {
    closeDirect();
    const QByteArray path = QFile::encodeName(m_path);
    mode_t mode = 0;
    if (isSpecial(path, &mode)) {
        // Without waiting: a named pipe that nobody reads would otherwise hold
        // the program, and the viewer's window with it, for ever.
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            return fail(reason, error == ENXIO && S_ISFIFO(mode)
                                    ? QStringLiteral("No program reads the named pipe")
                                    : qt_error_string(error));
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0 && !S_ISREG(status.st_mode)) {
            m_direct = fd;
            return true;
        }
        ::close(fd); // a regular file took its place meanwhile: it is replaced as one
    }
    // Unbuffered, and every write checked here: QSaveFile's commit does not
    // report a failure of the write of its buffer, and would put a short file
    // (an empty one on a full disk) in place of the old one.
    m_file = std::make_unique<QSaveFile>(m_path);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString why = m_file->errorString();
        m_file.reset();
        return fail(reason, why);
    }
    return true;
}

bool AtomicFile::write(QByteArrayView bytes, QString* reason) {
    if (m_direct >= 0)
        return writeDirect(bytes, reason);
    if (!m_file)
        return fail(reason, QStringLiteral("The file is not open"));
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = m_file->write(bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            const QString why = m_file->errorString();
            m_file.reset(); // a temporary file goes with it
            return fail(reason, why);
        }
        done += written;
    }
    return true;
}

// A reader that takes nothing (or a device that stops) is waited for, but not
// for ever; a signal (the program told to end) cuts the wait short. A reader
// that has gone is an error, "Broken pipe", since SIGPIPE ends nothing.
bool AtomicFile::writeDirect(QByteArrayView bytes, QString* reason) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_direct, bytes.data() + done, size_t(bytes.size() - done));
        if (written > 0) {
            done += written;
            continue;
        }
        int error = written < 0 ? errno : EIO;
        if (error == EINTR)
            continue;
        if (error == EAGAIN) {
            pollfd target{m_direct, POLLOUT, 0};
            const int ready = ::poll(&target, 1, StallLimitMs);
            if (ready > 0) // room again, or the reader gone: the next write says which
                continue;
            if (ready == 0) {
                closeDirect();
                return fail(
                    reason,
                    QStringLiteral("Nothing was taken from it for %1 seconds").arg(StallLimitMs / 1000));
            }
            error = errno;
        }
        closeDirect();
        return fail(reason, qt_error_string(error));
    }
    return true;
}

void AtomicFile::closeDirect() {
    if (m_direct >= 0)
        ::close(std::exchange(m_direct, -1));
}

bool AtomicFile::commit(QString* reason) {
    if (m_direct >= 0) {
        const int closed = ::close(std::exchange(m_direct, -1));
        return closed == 0 || errno == EINTR || fail(reason, qt_error_string(errno));
    }
    if (!m_file)
        return fail(reason, QStringLiteral("The file is not open"));
    const std::unique_ptr<QSaveFile> file = std::move(m_file);
    return file->commit() || fail(reason, file->errorString());
}

bool AtomicFile::replace(const QString& path, QByteArrayView contents, QString* reason) {
    AtomicFile file(path);
    return file.open(reason) && file.write(contents, reason) && file.commit(reason);
}
