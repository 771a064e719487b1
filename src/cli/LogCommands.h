#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

// The command line's reports, exports and tariff comparison of the call log.
// They need no window, take no lock and only read the files, so they run
// beside the meter. They are the viewer's own period selections, totals,
// export layouts and comparison.
namespace LogCommands {

// Whether the program's arguments (its name first) ask for a command.
bool isCommand(const QStringList& arguments);

// Where the data directory comes from when --dir is not given.
struct Environment {
    QString dialtallyDir; // $DIALTALLY_DIR
    QString xdgDataHome;  // $XDG_DATA_HOME
    QString home;
};

// Runs the command of the arguments (the program's name first). Returns the
// exit status: 0, 1 when a file cannot be read or written, 2 when the command
// line is wrong; what went wrong goes to err with the file's name and the reason.
// An export to a terminal is shown as UTF-8 text; everywhere else it has the
// bytes of the viewer's export.
int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal = false);

// The commands, for the program's --help.
QString usage();

} // namespace LogCommands
