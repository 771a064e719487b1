#include "fakes/MockModemManager.h"
#include "system/ModemManagerNames.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>

using namespace mm;

namespace {

int nextConnection = 0;

} // namespace

MockModemManager::MockModemManager(const QString& busAddress, QObject* parent)
    : QDBusVirtualObject(parent),
      m_connectionName(QStringLiteral("mock-modemmanager-%1").arg(++nextConnection)),
      m_bus(QDBusConnection::connectToBus(
          busAddress.isEmpty() ? qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS") : busAddress,
          m_connectionName)) {
    qDBusRegisterMetaType<InterfaceMap>();
    qDBusRegisterMetaType<ObjectMap>();
    if (m_bus.isConnected())
        m_bus.registerVirtualObject(ManagerPath, this, QDBusConnection::SubPath);
}

MockModemManager::~MockModemManager() {
    stop();
    m_bus.unregisterObject(ManagerPath, QDBusConnection::UnregisterTree);
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool MockModemManager::isConnected() const {
    return m_bus.isConnected();
}

bool MockModemManager::start() {
    if (!m_running)
        m_running = m_bus.registerService(Service);
    return m_running;
}

void MockModemManager::stop() {
    if (m_running)
        m_bus.unregisterService(Service);
    m_running = false;
}

void MockModemManager::addModem(int modem, int state, bool voice) {
    m_modems.insert(modem, Modem{state, voice});
    emitSignal(ManagerPath, ObjectManagerInterface, QStringLiteral("InterfacesAdded"),
               {QVariant::fromValue(QDBusObjectPath(modemPath(modem))),
                QVariant::fromValue(modemInterfaces(modem))});
}

void MockModemManager::removeModem(int modem) {
    if (!m_modems.contains(modem))
        return;
    const QStringList interfaces = modemInterfaces(modem).keys();
    m_modems.remove(modem);
    m_calls.removeIf([modem](const auto& call) { return call.value().modem == modem; });
    emitSignal(ManagerPath, ObjectManagerInterface, QStringLiteral("InterfacesRemoved"),
               {QVariant::fromValue(QDBusObjectPath(modemPath(modem))), interfaces});
}

void MockModemManager::setModemState(int modem, int state) {
    const auto it = m_modems.find(modem);
    if (it == m_modems.end())
        return;
    const int old = it->state;
    it->state = state;
    emitSignal(modemPath(modem), ModemInterface, QStringLiteral("StateChanged"), {old, state, 0u});
    emitPropertyChanged(modemPath(modem), ModemInterface, QStringLiteral("State"), state);
}

void MockModemManager::setVoice(int modem, bool voice) {
    const auto it = m_modems.find(modem);
    if (it == m_modems.end() || it->voice == voice)
        return;
    it->voice = voice;
    const QVariant path = QVariant::fromValue(QDBusObjectPath(modemPath(modem)));
    if (voice) {
        emitSignal(ManagerPath, ObjectManagerInterface, QStringLiteral("InterfacesAdded"),
                   {path, QVariant::fromValue(InterfaceMap{{VoiceInterface, voiceProperties(modem)}})});
        return;
    }
    m_calls.removeIf([modem](const auto& call) { return call.value().modem == modem; });
    emitSignal(ManagerPath, ObjectManagerInterface, QStringLiteral("InterfacesRemoved"),
               {path, QStringList{VoiceInterface}});
}

int MockModemManager::addCall(int modem, int direction, int state, const QString& number) {
    const int call = m_nextCall++;
    m_calls.insert(call, Call{modem, direction, state, number});
    emitSignal(modemPath(modem), VoiceInterface, QStringLiteral("CallAdded"),
               {QVariant::fromValue(QDBusObjectPath(callPath(call)))});
    emitPropertyChanged(modemPath(modem), VoiceInterface, QStringLiteral("Calls"),
                        voiceProperties(modem).value(QStringLiteral("Calls")));
    return call;
}

void MockModemManager::setCallState(int call, int state) {
    const auto it = m_calls.find(call);
    if (it == m_calls.end())
        return;
    const int old = it->state;
    it->state = state;
    emitSignal(callPath(call), CallInterface, QStringLiteral("StateChanged"), {old, state, 0u});
    emitPropertyChanged(callPath(call), CallInterface, QStringLiteral("State"), state);
}

void MockModemManager::deleteCall(int call) {
    const auto it = m_calls.find(call);
    if (it == m_calls.end())
        return;
    const int modem = it->modem;
    m_calls.erase(it);
    emitSignal(modemPath(modem), VoiceInterface, QStringLiteral("CallDeleted"),
               {QVariant::fromValue(QDBusObjectPath(callPath(call)))});
}

QString MockModemManager::modemPath(int modem) {
    return ManagerPath + QStringLiteral("/Modem/") + QString::number(modem);
}

QString MockModemManager::callPath(int call) {
    return ManagerPath + QStringLiteral("/Call/") + QString::number(call);
}

QString MockModemManager::introspect(const QString& path) const {
    const auto face = [](const QString& name) {
        return QStringLiteral("<interface name=\"%1\"/>").arg(name);
    };
    if (path == ManagerPath)
        return face(ObjectManagerInterface);
    for (auto it = m_modems.cbegin(); it != m_modems.cend(); ++it) {
        if (path == modemPath(it.key()))
            return face(ModemInterface) + (it->voice ? face(VoiceInterface) : QString());
    }
    for (auto it = m_calls.cbegin(); it != m_calls.cend(); ++it) {
        if (path == callPath(it.key()))
            return face(CallInterface);
    }
    return {};
}

bool MockModemManager::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString path = message.path();
    const QString interface = message.interface();
    const QString member = message.member();
    const QVariantList args = message.arguments();
    ++m_served[member];

    // Properties of every object this mock serves, by path and interface.
    InterfaceMap objectInterfaces;
    for (auto it = m_modems.cbegin(); it != m_modems.cend(); ++it) {
        if (path == modemPath(it.key()))
            objectInterfaces = modemInterfaces(it.key());
    }
    for (auto it = m_calls.cbegin(); it != m_calls.cend(); ++it) {
        if (path == callPath(it.key()))
            objectInterfaces.insert(CallInterface, callProperties(it.key()));
    }

    if (path == ManagerPath && interface == ObjectManagerInterface &&
        member == QLatin1String("GetManagedObjects")) {
        ObjectMap objects;
        for (auto it = m_modems.cbegin(); it != m_modems.cend(); ++it)
            objects.insert(QDBusObjectPath(modemPath(it.key())), modemInterfaces(it.key()));
        connection.send(message.createReply(QVariant::fromValue(objects)));
    } else if (interface == PropertiesInterface && member == QLatin1String("GetAll") && !args.isEmpty() &&
               objectInterfaces.contains(args.at(0).toString())) {
        connection.send(message.createReply(objectInterfaces.value(args.at(0).toString())));
    } else if (interface == PropertiesInterface && member == QLatin1String("Get") && args.size() == 2 &&
               objectInterfaces.value(args.at(0).toString()).contains(args.at(1).toString())) {
        const QVariant value = objectInterfaces.value(args.at(0).toString()).value(args.at(1).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
    } else if (interface == VoiceInterface && member == QLatin1String("ListCalls") &&
               objectInterfaces.contains(VoiceInterface)) {
        connection.send(
            message.createReply(objectInterfaces.value(VoiceInterface).value(QStringLiteral("Calls"))));
    } else {
        connection.send(message.createErrorReply(
            QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
            QStringLiteral("Not served by the mock: %1.%2 on %3").arg(interface, member, path)));
    }
    return true;
}

MockModemManager::InterfaceMap MockModemManager::modemInterfaces(int modem) const {
    const Modem m = m_modems.value(modem);
    InterfaceMap interfaces;
    interfaces.insert(ModemInterface, {{QStringLiteral("State"), m.state},
                                       {QStringLiteral("Device"), QStringLiteral("mock%1").arg(modem)}});
    if (m.voice)
        interfaces.insert(VoiceInterface, voiceProperties(modem));
    return interfaces;
}

QVariantMap MockModemManager::voiceProperties(int modem) const {
    QList<QDBusObjectPath> calls;
    for (auto it = m_calls.cbegin(); it != m_calls.cend(); ++it) {
        if (it->modem == modem)
            calls.append(QDBusObjectPath(callPath(it.key())));
    }
    return {{QStringLiteral("Calls"), QVariant::fromValue(calls)}, {QStringLiteral("EmergencyOnly"), false}};
}

QVariantMap MockModemManager::callProperties(int call) const {
    const Call c = m_calls.value(call);
    return {{QStringLiteral("State"), c.state},
            {QStringLiteral("StateReason"), 0},
            {QStringLiteral("Direction"), c.direction},
            {QStringLiteral("Number"), c.number}};
}

void MockModemManager::emitSignal(const QString& path, const QString& interface, const QString& name,
                                  const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message.setArguments(arguments);
    m_bus.send(message);
}

void MockModemManager::emitPropertyChanged(const QString& path, const QString& interface,
                                           const QString& property, const QVariant& value) {
    emitSignal(path, PropertiesInterface, QStringLiteral("PropertiesChanged"),
               {interface, QVariantMap{{property, value}}, QStringList()});
}
