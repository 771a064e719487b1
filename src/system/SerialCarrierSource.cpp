#include "system/SerialCarrierSource.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

SerialCarrierSource::SerialCarrierSource(const QString& devicePattern) : m_pattern(devicePattern) {}

QString SerialCarrierSource::devicePath(int port) const {
    if (port < 1 || port > 4)
        return {};
    return QString(m_pattern).replace(QLatin1String("%1"), QString::number(port - 1));
}

quint8 SerialCarrierSource::readStatus(int port) {
    if (port != m_port) {
        m_port = port;
        m_failure.clear();
    }
    if (port < 1 || port > 4)
        return 0;
    const QString device = devicePath(port);
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
