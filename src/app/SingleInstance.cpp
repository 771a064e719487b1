#include "app/SingleInstance.h"

#include "gui/meter/TLargeForm.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr int KnockRetryMs = 50;

// Why a folder is no place for the lock; empty when it is a private folder of the user's own.
QString unsafeBecause(const QByteArray& path, uid_t user) {
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0)
        return qt_error_string(errno);
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != user)
        return QStringLiteral("it belongs to another user (user id %1)").arg(info.st_uid);
    if ((info.st_mode & 07777) != 0700)
        return QStringLiteral("its permissions are %1, not 0700")
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

QString fileIn(const QString& directory, const QString& suffix) {
    return QDir(directory).filePath(
        QStringLiteral("TLargeForm %1%2").arg(TLargeForm::Caption.trimmed(), suffix));
}
} // namespace

QString SingleInstance::placeFor(const QString& runtimeDirectory, const QString& tempDirectory, uid_t user,
                                 QString* reason) {
    if (QDir::isAbsolutePath(runtimeDirectory) &&
        unsafeBecause(QFile::encodeName(runtimeDirectory), user).isEmpty())
        return runtimeDirectory;
    const QString own = QDir(tempDirectory).filePath(QStringLiteral("dialtally-pro-%1").arg(user));
    const QByteArray native = QFile::encodeName(own);
    if (::mkdir(native.constData(), 0700) == 0) {
        // Ours since a moment ago, in a folder where nobody else may rename it:
        // a narrow umask must not leave it unusable.
        ::chmod(native.constData(), 0700);
    } else if (errno != EEXIST) {
        *reason = QStringLiteral("The folder %1 for the program's lock cannot be made: %2")
                      .arg(own, qt_error_string(errno));
        return {};
    }
    if (const QString why = unsafeBecause(native, user); !why.isEmpty()) {
        *reason = QStringLiteral("The folder %1 for the program's lock cannot be used safely: %2. "
                                 "Remove it, or set XDG_RUNTIME_DIR to a private folder of your own.")
                      .arg(own, why);
        return {};
    }
    return own;
}

SingleInstance::SingleInstance() {
    m_directory = placeFor(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), ::getuid(), &m_refusal);
    if (m_directory.isEmpty())
        return;
    m_lock = std::make_unique<QLockFile>(lockPath());
    // The lock is held for as long as the program runs, however long that is:
    // only a holder that is gone makes it stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_first = true;
        listenBesideTheLock();
        return;
    }
    // QLockFile tells no reason of its own; errno is still that of its failed open.
    const int error = errno;
    if (m_lock->error() != QLockFile::LockFailedError)
        m_refusal = QStringLiteral("The program's lock file %1 cannot be made: %2")
                        .arg(lockPath(), qt_error_string(error));
}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock: once the lock is free a new copy may make its own.
    m_server.reset();
    if (m_listening >= 0) {
        ::close(m_listening);
        QFile::remove(socketPath());
    }
}

QString SingleInstance::lockPath() const {
    return fileIn(m_directory, QStringLiteral(".lock"));
}

QString SingleInstance::socketPath() const {
    return fileIn(m_directory, QStringLiteral(".socket"));
}

// Listened on before the application object exists: a copy that knocks while
// this one starts finds the socket there, and its knock waits in it.
void SingleInstance::listenBesideTheLock() {
    const QByteArray path = QFile::encodeName(socketPath());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return; // the program runs on; a second start then only ends
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return;
    // A socket left by a copy that crashed: the lock says it is nobody's now.
    ::unlink(path.constData());
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(socket, SOMAXCONN) != 0) {
        ::close(socket);
        return;
    }
    m_listening = socket;
}

QString SingleInstance::tokenIn(const QByteArray& line) {
    const QByteArray token = line.endsWith('\n') ? line.chopped(1) : line;
    if (token.size() > TokenLength ||
        !std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; }))
        return QString();
    return QString::fromLatin1(token);
}

void SingleInstance::whenStartedAgain(std::function<void(const QString& token)> show) {
    if (m_listening < 0)
        return;
    m_server = std::make_unique<QLocalServer>();
    if (!m_server->listen(qintptr(m_listening)))
        return;
    m_listening = -1;
    QLocalServer* server = m_server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, show = std::move(show)] {
        while (QLocalSocket* knocker = server->nextPendingConnection()) {
            QObject::connect(knocker, &QLocalSocket::disconnected, knocker, &QObject::deleteLater);
            // Heard once its line is whole, or it stopped short of one.
            const auto heard = [knocker, show] {
                if (knocker->property("heard").toBool())
                    return;
                const bool whole = knocker->canReadLine();
                if (!whole && knocker->bytesAvailable() <= TokenLength &&
                    knocker->state() == QLocalSocket::ConnectedState)
                    return;
                knocker->setProperty("heard", true);
                const QString token = whole ? tokenIn(knocker->readLine(TokenLength + 2)) : QString();
                // The answer tells the knocking copy that it was heard.
                knocker->write("1");
                knocker->disconnectFromServer();
                show(token);
            };
            QObject::connect(knocker, &QLocalSocket::readyRead, knocker, heard);
            QObject::connect(knocker, &QLocalSocket::disconnected, knocker, heard);
            heard();
        }
    });
}

bool SingleInstance::knock(const QString& token, int forMs) const {
    const QDeadlineTimer deadline(forMs);
    const QByteArray line = tokenIn(token.toLatin1()).toLatin1() + '\n';
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(deadline.remainingTime())) && socket.write(line) == line.size() &&
            (socket.bytesAvailable() > 0 || socket.waitForReadyRead(int(deadline.remainingTime()))))
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(KnockRetryMs);
    }
}
