#pragma once

#include <QString>

#include <optional>

// The files the program keeps: in the data directory the settings, the call
// log, the rate-name store, the rate files, the viewer's sorted copy and the
// deletion's work file; in the state directory the calls kept when the log
// could not be written. Nothing that only reads them may write over them.
namespace OwnFiles {

struct Found {
    QString what; // "the call log"
    QString path; // the file as the program names it
};

// Which of them a write to path would reach, whatever the path: a file that
// exists by its device and inode (so through any symbolic or hard link), a
// new one by the canonical path it would take (through a link that points
// nowhere yet). A new name ending in ".dtr" in the data directory would be a
// rate file. Nothing when it is none of them.
std::optional<Found> at(const QString& path, const QString& dataDirectory, const QString& stateDirectory);
// Which of them an open file is (standard output redirected onto one, say).
std::optional<Found> ofDescriptor(int descriptor, const QString& dataDirectory,
                                  const QString& stateDirectory);

} // namespace OwnFiles
