#pragma once

#include <QFile>
#include <QString>

#include <sys/types.h>

// Reading a file the user may have replaced with anything: only a regular
// file is opened. A named pipe would block the reader for ever, and a link to
// a device such as /dev/zero would never end.
namespace RegularFile {

// Opens the file for reading if it is a regular file, without blocking, so
// that a named pipe put in its place after any earlier check cannot stop the
// open. False with the system's reason, or with what the file is instead;
// missing (when given) says whether there is no such file.
bool openForReading(const QString& path, QFile& file, QString* reason = nullptr, bool* missing = nullptr);

// Why a file of this mode is not read or written: what it is instead.
QString notRegular(mode_t mode);

} // namespace RegularFile
