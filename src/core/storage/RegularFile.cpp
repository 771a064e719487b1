#include "core/storage/RegularFile.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {
int fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return -1;
}
} // namespace

QString notRegularReason(unsigned mode) {
    const char* what = S_ISDIR(mode)                    ? "a directory"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "not a file";
    return QStringLiteral("It is %1, not a regular file").arg(QLatin1String(what));
}

QString notRegular(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return {};
    return QStringLiteral("%1: %2").arg(path, notRegularReason(status.st_mode));
}

int openForReading(const QString& path, QString* reason, bool* missing) {
    if (missing)
        *missing = false;
    const QByteArray name = QFile::encodeName(path);
    // Looked at first, so that a device (a modem's serial line, say) is not
    // even opened: opening one can change its state.
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return fail(reason, notRegularReason(status.st_mode));
    // Non-blocking: opening a named pipe for reading otherwise waits until a
    // writer opens it, which may be never. A pipe put in the file's place
    // since the look above is then opened at once and refused by fstat below.
    // A regular file reads the same with the flag as without it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (missing)
            *missing = error == ENOENT;
        return fail(reason, qt_error_string(error));
    }
    const bool statted = ::fstat(fd, &status) == 0;
    const int error = errno;
    if (!statted || !S_ISREG(status.st_mode)) {
        const QString why = statted ? notRegularReason(status.st_mode) : qt_error_string(error);
        ::close(fd);
        return fail(reason, why);
    }
    return fd;
}

bool open(QFile& file, const QString& path, QString* reason, bool* missing) {
    const int fd = openForReading(path, reason, missing);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(reason, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> readAll(const QString& path, QString* reason, bool* missing) {
    QFile file;
    if (!open(file, path, reason, missing))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(reason, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace RegularFile
