#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Opening a file for reading only when it is a regular file: every reader of
// the program's files (the settings, rate files, the call log, the rate-name
// store, the kept calls, sounds, help) comes through here. A named pipe in a
// file's place would hold a reader for ever, a link to a device such as
// /dev/zero would never end, and a directory is no file: each is refused with
// a reason that says what it is instead.
namespace RegularFile {

// A descriptor open for reading (close-on-exec), or -1 with the reason;
// missing (when given) says whether that is because there is no such file.
int openForReading(const QString& path, QString* reason = nullptr, bool* missing = nullptr);
// The same as a QFile that owns the descriptor.
bool open(QFile& file, const QString& path, QString* reason = nullptr, bool* missing = nullptr);
// Every byte of the file, or nothing with the reason.
std::optional<QByteArray> readAll(const QString& path, QString* reason = nullptr, bool* missing = nullptr);

// What stands at path, through links, when it is there and is not a regular
// file, naming it ("<path>: It is a named pipe, not a regular file"); empty
// otherwise. Nothing is opened to find out.
QString notRegular(const QString& path);
// The same for a file of this mode (st_mode).
QString notRegularReason(unsigned mode);

} // namespace RegularFile
