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

QString callNumbersPath(const QString& programDirectory) {
    return path(programDirectory, CallNumbersName);
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

namespace {
// The program's folder under an XDG base directory, or under its default in the home.
QString xdgFolder(const QString& xdgHome, const QString& home, const char* fallback) {
    const QString base = QDir::isAbsolutePath(xdgHome) ? xdgHome : home + QLatin1String(fallback);
    return base + QStringLiteral("/dialtally-pro");
}
} // namespace

QString dataDirectory(const QString& option, const QString& dialtallyDir, const QString& xdgDataHome,
                      const QString& home) {
    QString dir = option;
    if (dir.isEmpty())
        dir = dialtallyDir;
    if (dir.isEmpty())
        dir = xdgFolder(xdgDataHome, home, "/.local/share");
    return QDir::cleanPath(QDir(dir).absolutePath());
}

QString stateDirectory(const QString& xdgStateHome, const QString& home) {
    return QDir::cleanPath(xdgFolder(xdgStateHome, home, "/.local/state"));
}

QString resourceDirectory(const QString& executableDirectory, const QString& shareFromBin) {
    const QString installed = QDir::cleanPath(executableDirectory + QLatin1Char('/') + shareFromBin);
    return QDir(installed).exists() ? installed : executableDirectory;
}

} // namespace ProgramFiles
