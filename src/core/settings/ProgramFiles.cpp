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

} // namespace ProgramFiles
