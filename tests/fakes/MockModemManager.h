#pragma once

#include "core/sensing/ModemManagerEnums.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMap>
#include <QString>
#include <QVariantMap>

// A stand-in for ModemManager on a test bus (see PrivateBus), living in the
// test process. It serves what a line monitor reads (ObjectManager
// GetManagedObjects, Properties Get/GetAll of modems and calls, Voice
// ListCalls) and emits, on demand, the signals a real ModemManager would:
// InterfacesAdded/Removed, Modem StateChanged, Voice CallAdded/CallDeleted and
// Call StateChanged (each StateChanged followed by PropertiesChanged).
//
// It answers from the event loop of the thread it lives in, so a test must let
// that loop run (QTRY_COMPARE, QSignalSpy::wait) to see the monitor react.
// Modems are /org/freedesktop/ModemManager1/Modem/N, calls
// /org/freedesktop/ModemManager1/Call/M with M counting from 1. States and
// directions are the mm:: values of sensing/ModemManagerEnums.h.
//
//     PrivateBus bus;                  // before anything uses the system bus
//     MockModemManager modemManager;   // connects to that bus
//     modemManager.start();            // ModemManager is now running
//     modemManager.addModem(0);
//     const int call = modemManager.addOutgoingCall(0);
//     modemManager.setCallState(call, mm::CallStateActive);
class MockModemManager : public QDBusVirtualObject {
    Q_OBJECT
public:
    // Connects to the bus at busAddress, by default DBUS_SYSTEM_BUS_ADDRESS.
    // The service name is not taken until start().
    explicit MockModemManager(const QString& busAddress = QString(), QObject* parent = nullptr);
    ~MockModemManager() override;

    bool isConnected() const;
    // Takes the name org.freedesktop.ModemManager1: ModemManager appears.
    bool start();
    // Gives the name up: ModemManager vanishes. Modems and calls are kept, so a
    // later start() shows them again.
    void stop();
    bool isRunning() const { return m_running; }

    // A modem appears (InterfacesAdded), with a Voice interface unless voice is false.
    void addModem(int modem, int state = mm::ModemStateRegistered, bool voice = true);
    // The modem and its calls vanish (InterfacesRemoved; no CallDeleted, as when unplugged).
    void removeModem(int modem);
    // Modem StateChanged(old, new, reason): CONNECTING/CONNECTED drive a data call.
    void setModemState(int modem, int state);
    // The Voice interface appears or vanishes (taking its calls with it).
    void setVoice(int modem, bool voice);

    // A call is added to the modem (CallAdded), with its Number property;
    // returns its number M.
    int addCall(int modem, int direction, int state, const QString& number = QStringLiteral("0123456789"));
    int addOutgoingCall(int modem, int state = mm::CallStateDialing,
                        const QString& number = QStringLiteral("0123456789")) {
        return addCall(modem, mm::CallDirectionOutgoing, state, number);
    }
    int addIncomingCall(int modem, int state = mm::CallStateRingingIn) {
        return addCall(modem, mm::CallDirectionIncoming, state);
    }
    // Call StateChanged(old, new, reason).
    void setCallState(int call, int state);
    // The call object is deleted (CallDeleted).
    void deleteCall(int call);

    // How many calls of this D-Bus method (e.g. "GetManagedObjects", "GetAll")
    // the mock has answered. A monitor opened on a running mock has seen the
    // modems once GetManagedObjects was answered; changes made after that
    // reach it one by one, while changes made before it are seen only as
    // their end result.
    int callsServed(const QString& method) const { return m_served.value(method); }

    static QString modemPath(int modem);
    static QString callPath(int call);

    // QDBusVirtualObject
    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    struct Modem {
        int state = mm::ModemStateRegistered;
        bool voice = true;
    };
    struct Call {
        int modem = 0;
        int direction = mm::CallDirectionUnknown;
        int state = mm::CallStateUnknown;
        QString number;
    };
    using InterfaceMap = QMap<QString, QVariantMap>;

    InterfaceMap modemInterfaces(int modem) const;
    QVariantMap voiceProperties(int modem) const;
    QVariantMap callProperties(int call) const;
    void emitSignal(const QString& path, const QString& interface, const QString& name,
                    const QVariantList& arguments);
    void emitPropertyChanged(const QString& path, const QString& interface, const QString& property,
                             const QVariant& value);

    QString m_connectionName;
    QDBusConnection m_bus;
    bool m_running = false;
    QMap<int, Modem> m_modems;
    QMap<int, Call> m_calls;
    int m_nextCall = 1;
    QMap<QString, int> m_served;
};
