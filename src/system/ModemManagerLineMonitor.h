#pragma once

#include "core/seams/LineMonitor.h"
#include "core/sensing/LineStateTracker.h"

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <functional>

class QDBusMessage;
class QDBusServiceWatcher;

// Watches ModemManager on the system D-Bus and reports the dialled voice calls
// and the data connection of one modem: the one with the lowest number, kept
// until it goes away. Every bus call is asynchronous and never starts a
// service, so a missing or stuck ModemManager cannot freeze the window; reports
// arrive from the Qt event loop of the thread the monitor lives in.
class ModemManagerLineMonitor : public QObject, public LineMonitor {
    Q_OBJECT
public:
    // Watches the system bus.
    explicit ModemManagerLineMonitor(QObject* parent = nullptr);
    // Watches the given bus connection instead.
    explicit ModemManagerLineMonitor(const QDBusConnection& bus, QObject* parent = nullptr);
    ~ModemManagerLineMonitor() override;

    // True once attached to the bus, whether or not ModemManager or a modem is
    // there yet; false when there is no bus. Either way failure() tells what
    // keeps calls from being sensed.
    bool open(Callback callback) override;
    void close() override;
    bool isOpen() const override;
    void deallocateCall(quint32 callHandle) override;
    QString numberOf(quint32 callHandle) const override { return m_tracker.numberOf(callHandle); }
    QString failure() const override { return m_failure; }

    // The object path of the modem being watched; empty when none.
    QString modemPath() const { return m_modem; }

private Q_SLOTS:
    void onInterfacesAdded(const QDBusMessage& message);
    void onInterfacesRemoved(const QDBusMessage& message);
    void onModemStateChanged(const QDBusMessage& message);
    void onCallAdded(const QDBusMessage& message);
    void onCallDeleted(const QDBusMessage& message);
    void onCallStateChanged(const QDBusMessage& message);
    void onServiceOwnerChanged(const QString& service, const QString& oldOwner, const QString& newOwner);

private:
    using ReplyHandler = std::function<void(const QDBusMessage& reply)>;

    bool subscribe(bool on);
    void callAsync(const QString& path, const QString& interface, const QString& method,
                   const QVariantList& arguments, ReplyHandler handler);
    void enumerate();
    void onManagedObjects(const QDBusMessage& reply);
    void attachModem(const QString& path, const QVariantMap& modem, const QVariantMap* voice);
    void watchCalls(const QVariant& calls);
    void watchCall(const QString& call, LineStateTracker::Seen seen);
    void dropModem();
    void forgetModem();
    void deliver(const LineStateTracker::Reports& reports);

    QDBusConnection m_bus;
    bool m_useSystemBus;
    QString m_failure;
    bool m_open = false;
    Callback m_callback;
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    // Replies to calls made before the last change of modem, service or
    // open state carry an older generation and are dropped.
    quint64 m_generation = 0;
    bool m_enumerating = false;
    QString m_modem;
    QSet<QString> m_calls;        // calls of the watched modem
    QSet<QString> m_pendingCalls; // of those, the ones whose properties are on their way
    LineStateTracker m_tracker;
};
