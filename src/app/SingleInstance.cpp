#include "app/SingleInstance.h"

#include "gui/meter/TLargeForm.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int KnockWaitMs = 1000;

QString runtimeFile(const QString& suffix) {
    QString directory = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        directory = QDir::tempPath();
    return QDir(directory).filePath(
        QStringLiteral("TLargeForm %1%2").arg(TLargeForm::Caption.trimmed(), suffix));
}
} // namespace

QString SingleInstance::lockPath() {
    return runtimeFile(QStringLiteral(".lock"));
}

QString SingleInstance::socketPath() {
    return runtimeFile(QStringLiteral(".socket"));
}

SingleInstance::SingleInstance() : m_lock(lockPath()) {
    // The lock is held for as long as the program runs, however long that is:
    // only a holder that is gone makes it stale.
    m_lock.setStaleLockTime(0);
    m_first = m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError;
}

SingleInstance::~SingleInstance() {
    delete m_server;
}

void SingleInstance::whenStartedAgain(std::function<void()> show) {
    m_server = new QLocalServer;
    // A socket left by a copy that crashed: the lock says it is nobody's now.
    QLocalServer::removeServer(socketPath());
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath()))
        return; // the program runs on; a second start then only ends
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, show = std::move(show)] {
        while (QLocalSocket* knocker = m_server->nextPendingConnection())
            knocker->deleteLater();
        show();
    });
}

void SingleInstance::knock() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(KnockWaitMs))
        socket.disconnectFromServer();
}
