#include "system/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// ttyS2 before ttyS10.
void sortByNumber(QStringList& names) {
    static const QRegularExpression number(QStringLiteral("^(\\D*)(\\d*)$"));
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const QRegularExpressionMatch left = number.match(a);
        const QRegularExpressionMatch right = number.match(b);
        if (left.captured(1) != right.captured(1))
            return a < b;
        return left.captured(2).toLongLong() < right.captured(2).toLongLong();
    });
}

QStringList devices(const QDir& dev, const QString& pattern) {
    QStringList names = dev.entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    names.removeIf([](const QString& name) { return !name.back().isDigit(); });
    sortByNumber(names);
    return names;
}

// The modem lines can be read: the port is there and a UART answers.
bool answers(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int bits = 0;
    const bool read = ::ioctl(fd, TIOCMGET, &bits) == 0;
    ::close(fd);
    return read;
}

} // namespace

SerialDeviceList::SerialDeviceList(const QString& root)
    : m_dev(QDir(root).filePath(QStringLiteral("dev"))),
      m_ttyClass(QDir(root).filePath(QStringLiteral("sys/class/tty"))) {}

// The kernel makes a ttyS node for every port it might have; one without a
// UART has the type 0 ("unknown"). Where the type cannot be read, asking the
// port is the only way left.
bool SerialDeviceList::hasUart(const QString& name) const {
    QFile type(QDir(m_ttyClass).filePath(name + QStringLiteral("/type")));
    if (type.open(QIODevice::ReadOnly)) {
        bool number = false;
        const int value = type.readAll().trimmed().toInt(&number);
        return number && value != 0;
    }
    return answers(QDir(m_dev).filePath(name));
}

QList<SerialDevice> SerialDeviceList::present() const {
    const QDir dev(m_dev);
    QList<SerialDevice> found;
    for (const QString& name : devices(dev, QStringLiteral("ttyS*")))
        if (hasUart(name))
            found.append({dev.filePath(name), name});

    // A by-id name stays the same whichever socket the adapter is plugged into.
    QStringList named;
    const QDir byId(dev.filePath(QStringLiteral("serial/by-id")));
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System, QDir::Name)) {
        const QString target = link.canonicalFilePath();
        if (target.isEmpty())
            continue; // a link left by a device that is gone
        named << target;
        found.append({link.absoluteFilePath(), link.fileName()});
    }
    for (const QString& pattern : {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}) {
        for (const QString& name : devices(dev, pattern)) {
            const QString path = dev.filePath(name);
            if (!named.contains(QFileInfo(path).canonicalFilePath()))
                found.append({path, name});
        }
    }
    return found;
}
