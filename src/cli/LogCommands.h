#pragma once

#include "core/spending/SpendingReading.h"

#include <QIODevice>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

// The command line's reports, exports and tariff comparison of the call log.
// They need no window, take no lock and only read the files, so they run
// beside the meter. They are the viewer's own period selections, totals,
// export layouts and comparison.
namespace LogCommands {

// Whether the program's arguments (its name first) ask for a command. The
// toolkit's own options (-platform offscreen, -style fusion) belong to no
// command and are passed over, as a window's toolkit takes them.
bool isCommand(const QStringList& arguments);

// Where the data directory comes from when --dir is not given, and the
// state directory that holds the calls kept when the log could not be written.
struct Environment {
    QString dialtallyDir; // $DIALTALLY_DIR
    QString xdgDataHome;  // $XDG_DATA_HOME
    QString home;
    QString xdgStateHome; // $XDG_STATE_HOME
};

// Whether the command draws a chart: it needs the toolkit's widgets then, if
// not a display.
bool drawsChart(const QStringList& arguments);

// Draws a view of the spending at size and writes it to path; returns the
// message to show, with the file's name and the reason, or an empty text.
using ChartMaker =
    std::function<QString(const SpendingReading& reading, SpendView view, QSize size, const QString& path)>;

// Runs the command of the arguments (the program's name first), each command
// with its own options. Returns the exit status: 0, 1 when a file cannot be
// read or written (or is not a regular file), 2 when the command line is
// wrong (an --output that is one of the program's own files included); what
// went wrong goes to err with the file's name and the reason.
// An export to a terminal or a pipe is UTF-8; in a file it has the bytes of
// the viewer's export. Standard output redirected onto one of the program's
// own files is refused as such an --output is.
int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal = false, const ChartMaker& chart = {});

// The commands, for the program's --help.
QString usage();

} // namespace LogCommands
