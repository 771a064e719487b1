#pragma once

#include <QString>

// Where the program's files live: every one of them is the program directory,
// "/" and its name. Files named in the settings (the event sounds) may be
// relative, and then count from the program directory too.
namespace ProgramFiles {

inline const QString SettingsName = QStringLiteral("Dialtaly.ini");
inline const QString CallLogName = QStringLiteral("Calls.log");
inline const QString RateNameStoreName = QStringLiteral("CallRate.log");
// The numbers dialled, beside the log (see CallNumberLog).
inline const QString CallNumbersName = QStringLiteral("CallNumbers.log");
inline const QString SortName = QStringLiteral("Sort.log"); // the log viewer's sorted copy of the log
// A deletion's work file by name; the viewer now builds the new log in a temporary file of its own.
inline const QString DeletionWorkName = QStringLiteral("Temp.log");
inline const QString RateFileExtension = QStringLiteral(".dtr");

QString path(const QString& programDirectory, const QString& fileName);
QString settingsPath(const QString& programDirectory);
QString callLogPath(const QString& programDirectory);
QString rateNameStorePath(const QString& programDirectory);
QString callNumbersPath(const QString& programDirectory);
// The rate file of a rate name: <name>.dtr.
QString rateFilePath(const QString& programDirectory, const QString& rateName);
// A file named in the settings: an absolute path as it stands, a relative one
// from the program directory (never from the process's current directory).
QString resolve(const QString& programDirectory, const QString& named);

// The program directory of the user's data: the --dir option, else
// $DIALTALLY_DIR, else $XDG_DATA_HOME/dialtally-pro (an XDG_DATA_HOME that is
// not absolute counts as unset, giving ~/.local/share/dialtally-pro). Made
// absolute and clean; not created here.
QString dataDirectory(const QString& option, const QString& dialtallyDir, const QString& xdgDataHome,
                      const QString& home);

// Where calls that could not be written wait until they can:
// $XDG_STATE_HOME/dialtally-pro, else ~/.local/state/dialtally-pro (a relative
// XDG_STATE_HOME counts as unset). Clean; not created here.
QString stateDirectory(const QString& xdgStateHome, const QString& home);

// Where the program's own files are (default sounds, help): the installed
// share directory when it exists beside the executable's, else the
// executable's own directory (a build tree).
QString resourceDirectory(const QString& executableDirectory, const QString& shareFromBin);

} // namespace ProgramFiles
