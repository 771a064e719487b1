#include "fakes/MockNotificationDaemon.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtCore/qtestsupport_core.h>

#include <csignal>
#include <sys/prctl.h>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

// The system's own Python, which has the python3-dbusmock package, rather
// than another one earlier on the PATH.
QString python() {
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFileInfo::exists(system) ? system : QStringLiteral("python3");
}

QVariant plain(const QVariant& value) {
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return value;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() == QLatin1String("as"))
        return qdbus_cast<QStringList>(argument);
    if (argument.currentSignature() == QLatin1String("a{sv}"))
        return qdbus_cast<QVariantMap>(argument);
    return value;
}
} // namespace

MockNotificationDaemon::MockNotificationDaemon(const QString& busAddress, const QStringList& capabilities)
    : m_address(busAddress),
      m_bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("mock-notifications"))),
      m_capabilities(capabilities) {}

MockNotificationDaemon::~MockNotificationDaemon() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(30000);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("mock-notifications"));
}

bool MockNotificationDaemon::start() {
    if (!m_bus.isConnected()) {
        m_error = QStringLiteral("no bus: ") + m_bus.lastError().message();
        return false;
    }
    QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                          QStringLiteral("notification_daemon")};
    if (!m_capabilities.isEmpty()) {
        const QJsonObject parameters{{QStringLiteral("capabilities"), m_capabilities.join(QLatin1Char(' '))}};
        arguments << QStringLiteral("-p")
                  << QString::fromUtf8(QJsonDocument(parameters).toJson(QJsonDocument::Compact));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // A crashed test must not leave the daemon behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(python(), arguments);
    if (!m_process.waitForStarted(30000)) {
        m_error = m_process.errorString();
        return false;
    }
    // Generous: the machine may be busy; Python normally takes a second.
    const bool appeared = QTest::qWaitFor(
        [this] {
            return m_bus.interface()->isServiceRegistered(Service) || m_process.state() != QProcess::Running;
        },
        60000);
    if (!appeared || !m_bus.interface()->isServiceRegistered(Service)) {
        m_error = QStringLiteral("the mock notification daemon did not appear");
        return false;
    }
    return true;
}

QList<MockNotificationDaemon::Notify> MockNotificationDaemon::notifyCalls() const {
    QDBusMessage ask =
        QDBusMessage::createMethodCall(Service, Path, MockInterface, QStringLiteral("GetMethodCalls"));
    ask << QStringLiteral("Notify");
    const QDBusMessage reply = m_bus.call(ask);
    QList<Notify> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return calls;
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong when = 0;
        QVariantList args;
        list.beginStructure();
        list >> when >> args;
        list.endStructure();
        if (args.size() != 8)
            continue;
        Notify call;
        call.appName = args[0].toString();
        call.replacesId = args[1].toUInt();
        call.appIcon = args[2].toString();
        call.summary = args[3].toString();
        call.body = args[4].toString();
        call.actions = plain(args[5]).toStringList();
        call.hints = plain(args[6]).toMap();
        call.expireTimeout = args[7].toInt();
        calls << call;
    }
    list.endArray();
    return calls;
}
