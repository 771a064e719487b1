#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <optional>

// A private D-Bus daemon that lives as long as this object, with
// DBUS_SYSTEM_BUS_ADDRESS pointed at it so QDBusConnection::systemBus() and
// MockModemManager meet there instead of on the machine's system bus.
//
// Qt connects to the system bus once per process and keeps that connection, so
// create the PrivateBus before anything calls QDBusConnection::systemBus(),
// and only one per process. A QCoreApplication must exist. The daemon is
// killed with this object (or with the test process, should it crash).
class PrivateBus {
public:
    // Starts dbus-daemon and waits for it to print its address.
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // False when dbus-daemon could not be started; address() is then empty.
    bool isRunning() const;
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
    std::optional<QByteArray> m_previousAddress;
};
