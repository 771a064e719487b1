#pragma once

#include <QDBusConnection>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

// python-dbusmock's notification daemon (Debian's python3-dbusmock), in a
// process of its own on the session bus at busAddress (a PrivateBus). It
// records every call it answers, which a test reads back.
//
//     PrivateBus bus(PrivateBus::Kind::Session);
//     MockNotificationDaemon daemon(bus.address());
//     QVERIFY(daemon.start());
class MockNotificationDaemon {
public:
    // capabilities: what GetCapabilities answers; empty for the template's
    // own list, which has "body-markup".
    explicit MockNotificationDaemon(const QString& busAddress, const QStringList& capabilities = {});
    ~MockNotificationDaemon();
    MockNotificationDaemon(const MockNotificationDaemon&) = delete;
    MockNotificationDaemon& operator=(const MockNotificationDaemon&) = delete;

    // Starts it and waits until its name is on the bus; false when it cannot
    // start (the reason is in errorText()).
    bool start();
    QString errorText() const { return m_error; }

    // The arguments of one Notify call.
    struct Notify {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
    };
    QList<Notify> notifyCalls() const;

private:
    QString m_address;
    QDBusConnection m_bus;
    QStringList m_capabilities;
    QProcess m_process;
    QString m_error;
};
