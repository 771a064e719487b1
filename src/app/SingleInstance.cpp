#include "app/SingleInstance.h"

#include "gui/meter/TLargeForm.h"

#include <QDir>
#include <QFileInfo>

QString SingleInstance::lockPath() {
    QString directory = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        directory = QDir::tempPath();
    return QDir(directory).filePath(QStringLiteral("TLargeForm %1.lock").arg(TLargeForm::Caption.trimmed()));
}

SingleInstance::SingleInstance() : m_lock(lockPath()) {
    // The lock is held for as long as the program runs, however long that is:
    // only a holder that is gone makes it stale.
    m_lock.setStaleLockTime(0);
    m_first = m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError;
}
