#include "core/storage/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {
bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}
} // namespace

QString notRegular(mode_t mode) {
    const char* what = S_ISDIR(mode)                    ? "a directory"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "not a file";
    return QStringLiteral("It is %1, not a regular file").arg(QLatin1String(what));
}

bool openForReading(const QString& path, QFile& file, QString* reason, bool* missing) {
    if (missing)
        *missing = false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (missing)
            *missing = error == ENOENT;
        return fail(reason, qt_error_string(error));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(reason, qt_error_string(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(reason, notRegular(status.st_mode));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(reason, file.errorString());
    }
    return true;
}

} // namespace RegularFile
