#include "fakes/PrivateBus.h"

#include <QDeadlineTimer>

#include <csignal>
#include <sys/prctl.h>

PrivateBus::PrivateBus(Kind kind)
    : m_variable(kind == Kind::System ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS") {
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments(
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    // A crashed test must not leave daemons behind.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(QIODevice::ReadOnly);
    if (!m_daemon.waitForStarted(30000))
        return;
    // Generous: the machine may be busy; the daemon normally answers at once.
    const QDeadlineTimer deadline(60000);
    while (!m_daemon.canReadLine() && !deadline.hasExpired() && m_daemon.state() == QProcess::Running)
        m_daemon.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    if (!m_daemon.canReadLine())
        return;
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    if (m_address.isEmpty())
        return;
    if (qEnvironmentVariableIsSet(m_variable))
        m_previousAddress = qgetenv(m_variable);
    qputenv(m_variable, m_address.toUtf8());
}

PrivateBus::~PrivateBus() {
    if (!m_address.isEmpty()) {
        if (m_previousAddress)
            qputenv(m_variable, *m_previousAddress);
        else
            qunsetenv(m_variable);
    }
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished(30000);
    }
}

bool PrivateBus::isRunning() const {
    return !m_address.isEmpty() && m_daemon.state() == QProcess::Running;
}
