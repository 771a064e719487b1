#include "system/SerialCarrierSource.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

quint8 SerialCarrierSource::readStatus(const QString& device) {
    if (device != m_device) {
        m_device = device;
        m_failure.clear();
    }
    if (device.isEmpty())
        return 0;
    // Opened for this one read and closed at once. A dialler hangs up by
    // closing the port, which drops DTR only at the last close: holding the
    // device between polls could keep the modem off-hook. O_NONBLOCK keeps the
    // open from waiting for the carrier, O_NOCTTY keeps a modem line from
    // becoming our controlling terminal.
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        fail(device, errno);
        return 0;
    }
    int bits = 0;
    int result;
    do
        result = ::ioctl(fd, TIOCMGET, &bits);
    while (result < 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    if (result < 0) {
        fail(device, error);
        return 0;
    }
    m_failure.clear();
    return (bits & TIOCM_CD) ? CarrierDetectMask : 0;
}

QString SerialCarrierSource::takeError() {
    return std::exchange(m_unreadError, QString());
}

void SerialCarrierSource::fail(const QString& device, int error) {
    const QString reason = device + QLatin1String(": ") + qt_error_string(error);
    if (reason == m_failure)
        return; // told once already; polling four times a second must not repeat it
    m_failure = reason;
    m_unreadError = reason;
}
