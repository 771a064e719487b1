#include "core/settings/OwnFiles.h"

#include "core/calllog/RecoveryFile.h"
#include "core/settings/ProgramFiles.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

#include <sys/stat.h>

namespace OwnFiles {

namespace {

std::vector<Found> ownFiles(const QString& data, const QString& state) {
    std::vector<Found> files = {
        {QStringLiteral("the settings file"), ProgramFiles::settingsPath(data)},
        {QStringLiteral("the call log"), ProgramFiles::callLogPath(data)},
        {QStringLiteral("the rate-name store"), ProgramFiles::rateNameStorePath(data)},
        {QStringLiteral("the log viewer's sorted copy"), ProgramFiles::path(data, ProgramFiles::SortName)},
        {QStringLiteral("the deletion's work file"),
         ProgramFiles::path(data, ProgramFiles::DeletionWorkName)},
    };
    if (const QString kept = RecoveryFile(data, state).path(); !kept.isEmpty())
        files.push_back({QStringLiteral("the file of kept calls"), kept});
    for (const QString& name : rateFileNames(data)) {
        const QString rateFile = ProgramFiles::path(data, name);
        files.push_back({QStringLiteral("a rate file"), rateFile});
        files.push_back({QStringLiteral("a rate file's billing rules"), BillingRulesFile::pathFor(rateFile)});
    }
    return files;
}

using Identity = std::pair<dev_t, ino_t>;

// The file at path, through links, as the system knows it.
std::optional<Identity> identity(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return std::pair(status.st_dev, status.st_ino);
}

std::optional<Found> sameFile(Identity file, const std::vector<Found>& files) {
    for (const Found& own : files) {
        if (identity(own.path) == file)
            return own;
    }
    return std::nullopt;
}

// Where a file made at path would be: the canonical folder and the name, at
// the end of any links (which may point nowhere yet). Empty when the folder
// is not there either.
QString newFileAt(QString path) {
    // As many links as the system follows.
    for (int hop = 0; hop < 40 && QFileInfo(path).isSymLink(); ++hop)
        path = QFileInfo(path).symLinkTarget();
    const QFileInfo file(path);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + file.fileName();
}

} // namespace

std::optional<Found> at(const QString& path, const QString& dataDirectory, const QString& stateDirectory) {
    const std::vector<Found> files = ownFiles(dataDirectory, stateDirectory);
    if (const auto existing = identity(path))
        return sameFile(*existing, files);
    const QString made = newFileAt(path);
    if (made.isEmpty())
        return std::nullopt;
    for (const Found& own : files) {
        if (newFileAt(own.path) == made)
            return own;
    }
    // A new rate file, or the billing rules of one yet to come, in the data directory.
    const QFileInfo file(made);
    if (file.path() != QFileInfo(dataDirectory).canonicalFilePath())
        return std::nullopt;
    if (file.fileName().endsWith(ProgramFiles::RateFileExtension))
        return Found{QStringLiteral("a rate file"), ProgramFiles::path(dataDirectory, file.fileName())};
    if (file.fileName().endsWith(BillingRulesFile::Extension))
        return Found{QStringLiteral("a rate file's billing rules"),
                     ProgramFiles::path(dataDirectory, file.fileName())};
    return std::nullopt;
}

std::optional<Found> ofDescriptor(int descriptor, const QString& dataDirectory,
                                  const QString& stateDirectory) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return sameFile({status.st_dev, status.st_ino}, ownFiles(dataDirectory, stateDirectory));
}

} // namespace OwnFiles
