#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <optional>

// A private D-Bus daemon that lives as long as this object, with
// DBUS_SYSTEM_BUS_ADDRESS (or DBUS_SESSION_BUS_ADDRESS) pointed at it so
// QDBusConnection::systemBus() (sessionBus()) and the mock services meet there
// instead of on the machine's bus.
//
// Qt connects to each bus once per process and keeps that connection, so
// create the PrivateBus before anything calls QDBusConnection::systemBus()
// (sessionBus()), and only one of a kind per process. A QCoreApplication must
// exist. The daemon is killed with this object (or with the test process,
// should it crash).
class PrivateBus {
public:
    enum class Kind { System, Session };
    // Starts dbus-daemon and waits for it to print its address.
    explicit PrivateBus(Kind kind = Kind::System);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // False when dbus-daemon could not be started; address() is then empty.
    bool isRunning() const;
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
    const char* m_variable;
    std::optional<QByteArray> m_previousAddress;
};
