#include "system/ModemManagerLineMonitor.h"
#include "system/ModemManagerNames.h"

#include "core/calllog/DialledNumber.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

#include <optional>

using namespace mm;

namespace {

const QString NotRunning = QStringLiteral("ModemManager is not running");

struct Hook {
    const QString& path; // empty: any object of the service
    const QString& interface;
    const char* name;
    const char* slot;
};

// The digits of a modem's number without leading zeros; nothing for other objects.
std::optional<QString> modemNumber(const QString& path) {
    if (!path.startsWith(ModemPathPrefix))
        return std::nullopt;
    QString digits = path.mid(ModemPathPrefix.size());
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits;
}

// Compared as numbers of any length, so Modem/9 comes before Modem/10.
bool lowerNumber(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::optional<int> intValue(const QVariant& value) {
    bool ok = false;
    const int result = value.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return result;
}

// The new state of a StateChanged(i old, i new, u reason) signal.
std::optional<int> newState(const QDBusMessage& message) {
    if (message.signature() != QLatin1String("iiu"))
        return std::nullopt;
    return message.arguments().at(1).toInt();
}

std::optional<QString> pathArgument(const QDBusMessage& message) {
    if (message.signature() != QLatin1String("o"))
        return std::nullopt;
    return qdbus_cast<QDBusObjectPath>(message.arguments().at(0)).path();
}

} // namespace

ModemManagerLineMonitor::ModemManagerLineMonitor(QObject* parent)
    : QObject(parent), m_bus(QString()), m_useSystemBus(true) {}

ModemManagerLineMonitor::ModemManagerLineMonitor(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus), m_useSystemBus(false) {}

ModemManagerLineMonitor::~ModemManagerLineMonitor() {
    close();
}

bool ModemManagerLineMonitor::open(Callback callback) {
    if (m_open) {
        m_callback = std::move(callback);
        return true;
    }
    if (m_useSystemBus)
        m_bus = QDBusConnection::systemBus();
    m_failure.clear();
    if (!m_bus.isConnected()) {
        m_failure = QStringLiteral("there is no system bus");
        return false;
    }
    // Signals first, then the enumeration: whatever changes in between shows
    // in the enumeration's answer or arrives as a signal after it.
    if (!subscribe(true)) {
        subscribe(false);
        m_failure = QStringLiteral("the system bus refuses to pass on ModemManager's signals");
        return false;
    }
    m_serviceWatcher =
        new QDBusServiceWatcher(Service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &ModemManagerLineMonitor::onServiceOwnerChanged);
    m_callback = std::move(callback);
    m_open = true;
    enumerate();
    return true;
}

void ModemManagerLineMonitor::close() {
    if (!m_open)
        return;
    m_open = false;
    ++m_generation;
    subscribe(false);
    // close() may run inside the watcher's own signal (through the callback).
    m_serviceWatcher->disconnect(this);
    m_serviceWatcher->deleteLater();
    m_serviceWatcher = nullptr;
    m_callback = nullptr;
    m_enumerating = false;
    forgetModem();
    m_tracker = LineStateTracker();
    m_failure.clear();
}

bool ModemManagerLineMonitor::isOpen() const {
    return m_open;
}

void ModemManagerLineMonitor::deallocateCall(quint32 callHandle) {
    m_tracker.forget(callHandle);
}

bool ModemManagerLineMonitor::subscribe(bool on) {
    static const QString Any;
    const Hook hooks[] = {
        {ManagerPath, ObjectManagerInterface, "InterfacesAdded", SLOT(onInterfacesAdded(QDBusMessage))},
        {ManagerPath, ObjectManagerInterface, "InterfacesRemoved", SLOT(onInterfacesRemoved(QDBusMessage))},
        {Any, ModemInterface, "StateChanged", SLOT(onModemStateChanged(QDBusMessage))},
        {Any, VoiceInterface, "CallAdded", SLOT(onCallAdded(QDBusMessage))},
        {Any, VoiceInterface, "CallDeleted", SLOT(onCallDeleted(QDBusMessage))},
        {Any, CallInterface, "StateChanged", SLOT(onCallStateChanged(QDBusMessage))},
    };
    bool all = true;
    for (const Hook& hook : hooks) {
        const QString name = QString::fromLatin1(hook.name);
        all = (on ? m_bus.connect(Service, hook.path, hook.interface, name, this, hook.slot)
                  : m_bus.disconnect(Service, hook.path, hook.interface, name, this, hook.slot)) &&
              all;
    }
    return all;
}

void ModemManagerLineMonitor::callAsync(const QString& path, const QString& interface, const QString& method,
                                        const QVariantList& arguments, ReplyHandler handler) {
    QDBusMessage call = QDBusMessage::createMethodCall(Service, path, interface, method);
    call.setArguments(arguments);
    // Watching must never start ModemManager.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    const quint64 generation = m_generation;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, generation, handler = std::move(handler)] {
                watcher->deleteLater();
                if (m_open && generation == m_generation)
                    handler(watcher->reply());
            });
}

void ModemManagerLineMonitor::enumerate() {
    ++m_generation;
    m_enumerating = true;
    callAsync(ManagerPath, ObjectManagerInterface, QStringLiteral("GetManagedObjects"), {},
              [this](const QDBusMessage& reply) { onManagedObjects(reply); });
}

void ModemManagerLineMonitor::onManagedObjects(const QDBusMessage& reply) {
    // No ModemManager, or it failed: say so, and wait for it or a modem to appear.
    m_enumerating = false;
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString name = reply.errorName();
        m_failure = name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
                            name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
                        ? NotRunning
                        : QStringLiteral("ModemManager does not answer (%1)").arg(reply.errorMessage());
        return;
    }
    m_failure.clear();
    if (reply.signature() != QLatin1String("a{oa{sa{sv}}}"))
        return;
    const ObjectMap objects = qdbus_cast<ObjectMap>(reply.arguments().at(0));
    auto lowest = objects.cend();
    QString lowestNumber;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        const auto number = modemNumber(it.key().path());
        if (!number || !it->contains(ModemInterface))
            continue;
        if (lowest == objects.cend() || lowerNumber(*number, lowestNumber)) {
            lowest = it;
            lowestNumber = *number;
        }
    }
    if (lowest == objects.cend())
        return;
    const auto voice = lowest->constFind(VoiceInterface);
    attachModem(lowest.key().path(), lowest->value(ModemInterface),
                voice == lowest->cend() ? nullptr : &*voice);
}

void ModemManagerLineMonitor::attachModem(const QString& path, const QVariantMap& modem,
                                          const QVariantMap* voice) {
    m_modem = path;
    if (voice)
        watchCalls(voice->value(QStringLiteral("Calls")));
    if (const auto state = intValue(modem.value(QStringLiteral("State"))))
        deliver(m_tracker.modemState(*state, LineStateTracker::Seen::AlreadyThere));
}

void ModemManagerLineMonitor::watchCalls(const QVariant& calls) {
    for (const QDBusObjectPath& call : qdbus_cast<QList<QDBusObjectPath>>(calls))
        watchCall(call.path(), LineStateTracker::Seen::AlreadyThere);
}

void ModemManagerLineMonitor::watchCall(const QString& call, LineStateTracker::Seen seen) {
    if (m_calls.contains(call))
        return;
    m_calls.insert(call);
    // Until the properties arrive the call's state signals are skipped: the
    // answer carries a state at least as new as any of them.
    m_pendingCalls.insert(call);
    callAsync(call, PropertiesInterface, QStringLiteral("GetAll"), {CallInterface},
              [this, call, seen](const QDBusMessage& reply) {
                  if (!m_pendingCalls.remove(call))
                      return;
                  if (reply.type() != QDBusMessage::ReplyMessage ||
                      reply.signature() != QLatin1String("a{sv}")) {
                      m_calls.remove(call);
                      return;
                  }
                  const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().at(0));
                  const auto direction = intValue(properties.value(QStringLiteral("Direction")));
                  const auto state = intValue(properties.value(QStringLiteral("State")));
                  // The number is the service's word: only a number in the kept form is taken.
                  const QVariant number = properties.value(QStringLiteral("Number"));
                  const QString dialled = number.metaType().id() == QMetaType::QString
                                              ? DialledNumber::clean(number.toString()).value_or(QString())
                                              : QString();
                  if (direction && state)
                      deliver(m_tracker.callSeen(call, *direction, *state, seen, dialled));
              });
}

void ModemManagerLineMonitor::onInterfacesAdded(const QDBusMessage& message) {
    if (m_enumerating || message.signature() != QLatin1String("oa{sa{sv}}"))
        return;
    const QString path = qdbus_cast<QDBusObjectPath>(message.arguments().at(0)).path();
    const InterfaceMap interfaces = qdbus_cast<InterfaceMap>(message.arguments().at(1));
    const auto voice = interfaces.constFind(VoiceInterface);
    const QVariantMap* voiceProperties = voice == interfaces.cend() ? nullptr : &*voice;
    if (m_modem.isEmpty()) {
        if (modemNumber(path) && interfaces.contains(ModemInterface))
            attachModem(path, interfaces.value(ModemInterface), voiceProperties);
        return;
    }
    if (path != m_modem)
        return;
    if (voiceProperties)
        watchCalls(voiceProperties->value(QStringLiteral("Calls")));
    if (interfaces.contains(ModemInterface)) {
        if (const auto state = intValue(interfaces.value(ModemInterface).value(QStringLiteral("State"))))
            deliver(m_tracker.modemState(*state, LineStateTracker::Seen::AlreadyThere));
    }
}

void ModemManagerLineMonitor::onInterfacesRemoved(const QDBusMessage& message) {
    if (m_modem.isEmpty() || message.signature() != QLatin1String("oas"))
        return;
    if (qdbus_cast<QDBusObjectPath>(message.arguments().at(0)).path() != m_modem)
        return;
    const QStringList interfaces = qdbus_cast<QStringList>(message.arguments().at(1));
    if (interfaces.contains(ModemInterface)) {
        dropModem();
    } else if (interfaces.contains(VoiceInterface)) {
        m_calls.clear();
        m_pendingCalls.clear();
        deliver(m_tracker.voiceGone());
    }
}

void ModemManagerLineMonitor::onModemStateChanged(const QDBusMessage& message) {
    if (message.path() != m_modem || m_modem.isEmpty())
        return;
    if (const auto state = newState(message))
        deliver(m_tracker.modemState(*state, LineStateTracker::Seen::JustAdded));
}

void ModemManagerLineMonitor::onCallAdded(const QDBusMessage& message) {
    if (message.path() != m_modem || m_modem.isEmpty())
        return;
    if (const auto call = pathArgument(message))
        watchCall(*call, LineStateTracker::Seen::JustAdded);
}

void ModemManagerLineMonitor::onCallDeleted(const QDBusMessage& message) {
    if (message.path() != m_modem || m_modem.isEmpty())
        return;
    if (const auto call = pathArgument(message)) {
        m_calls.remove(*call);
        m_pendingCalls.remove(*call);
        deliver(m_tracker.callGone(*call));
    }
}

void ModemManagerLineMonitor::onCallStateChanged(const QDBusMessage& message) {
    const QString call = message.path();
    if (!m_calls.contains(call) || m_pendingCalls.contains(call))
        return;
    if (const auto state = newState(message))
        deliver(m_tracker.callStateChanged(call, *state));
}

void ModemManagerLineMonitor::onServiceOwnerChanged(const QString&, const QString& oldOwner,
                                                    const QString& newOwner) {
    if (!m_open)
        return;
    LineStateTracker::Reports reports;
    if (!oldOwner.isEmpty()) {
        reports = m_tracker.lineGone();
        ++m_generation;
        m_enumerating = false;
        forgetModem();
        m_failure = NotRunning;
    }
    if (!newOwner.isEmpty())
        enumerate();
    deliver(reports);
}

void ModemManagerLineMonitor::dropModem() {
    const LineStateTracker::Reports reports = m_tracker.lineGone();
    forgetModem();
    // The next lowest modem, if any, takes its place.
    enumerate();
    deliver(reports);
}

void ModemManagerLineMonitor::forgetModem() {
    m_modem.clear();
    m_calls.clear();
    m_pendingCalls.clear();
}

void ModemManagerLineMonitor::deliver(const LineStateTracker::Reports& reports) {
    // The callback may close the monitor; nothing is reported after that.
    const quint64 generation = m_generation;
    for (const LineStateTracker::Report& report : reports) {
        if (!m_open || generation != m_generation)
            return;
        const Callback callback = m_callback;
        if (callback)
            callback(report.callHandle, report.state);
    }
}
