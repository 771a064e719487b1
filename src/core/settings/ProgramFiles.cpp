#include "core/settings/ProgramFiles.h"

#include <QDir>

namespace ProgramFiles {

QString path(const QString& programDirectory, const QString& fileName) {
    return programDirectory + QLatin1Char('/') + fileName;
}

QString settingsPath(const QString& programDirectory) {
    return path(programDirectory, SettingsName);
}

QString callLogPath(const QString& programDirectory) {
    return path(programDirectory, CallLogName);
}

QString rateNameStorePath(const QString& programDirectory) {
    return path(programDirectory, RateNameStoreName);
}

QString rateFilePath(const QString& programDirectory, const QString& rateName) {
    return path(programDirectory, rateName + RateFileExtension);
}

QString resolve(const QString& programDirectory, const QString& named) {
    if (named.isEmpty())
        return named;
    return QDir(programDirectory).filePath(named);
}

QString dataDirectory(const QString& option, const QString& dialtallyDir, const QString& xdgDataHome,
                      const QString& home) {
    QString dir = option;
    if (dir.isEmpty())
        dir = dialtallyDir;
    if (dir.isEmpty()) {
        const QString base =
            QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
        dir = base + QStringLiteral("/dialtally-pro");
    }
    return QDir::cleanPath(QDir(dir).absolutePath());
}

QString resourceDirectory(const QString& executableDirectory, const QString& shareFromBin) {
    const QString installed = QDir::cleanPath(executableDirectory + QLatin1Char('/') + shareFromBin);
    return QDir(installed).exists() ? installed : executableDirectory;
}

} // namespace ProgramFiles
