#include "system/SerialCarrierSource.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

SerialCarrierSource::SerialCarrierSource(const QString& devicePattern) : m_pattern(devicePattern) {}

SerialCarrierSource::~SerialCarrierSource() {
    closeDevice();
}

QString SerialCarrierSource::devicePath(int port) const {
    if (port < 1 || port > 4)
        return {};
    return QString(m_pattern).replace(QLatin1String("%1"), QString::number(port - 1));
}

quint8 SerialCarrierSource::readStatus(int port) {
    if (port < 1 || port > 4) {
        release();
        m_port = 0;
        m_failure.clear();
        return 0;
    }
    if (port != m_port) {
        closeDevice();
        m_port = port;
        m_failure.clear();
    }
    const QString device = devicePath(port);
    if (m_fd < 0) {
        // Kept open between polls: with O_NONBLOCK the open does not wait for the carrier, and
        // O_NOCTTY keeps a modem line from becoming our controlling terminal.
        m_fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) {
            fail(device, errno);
            return 0;
        }
    }
    int bits = 0;
    int result;
    do
        result = ::ioctl(m_fd, TIOCMGET, &bits);
    while (result < 0 && errno == EINTR);
    if (result < 0) {
        const int error = errno;
        // Reopened at the next poll: a USB modem that was pulled out may come back.
        closeDevice();
        fail(device, error);
        return 0;
    }
    m_failure.clear();
    return (bits & TIOCM_CD) ? CarrierDetectMask : 0;
}

void SerialCarrierSource::release() {
    closeDevice();
}

QString SerialCarrierSource::takeError() {
    return std::exchange(m_unreadError, QString());
}

void SerialCarrierSource::closeDevice() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void SerialCarrierSource::fail(const QString& device, int error) {
    const QString reason = device + QLatin1String(": ") + qt_error_string(error);
    if (reason == m_failure)
        return; // told once already; polling four times a second must not repeat it
    m_failure = reason;
    m_unreadError = reason;
}
