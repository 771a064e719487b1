#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class CallTableModel;

// The viewer's exports and the head of its printout. Everything comes from
// the table as shown: its columns in grid order, its texts, its row order.
namespace CallExport {

// Title, "Created On ...", what the output holds, and the summary or totals
// line as the window shows it.
QStringList headerLines(bool printout, double now, bool selectionOnly, const QString& summary);

// The text padded with blanks to the middle of `width` characters; a longer
// text gets one blank on each side and is not cut.
QString CentreInColumn(const QString& text, int width);

// The ruled text layout of rows first..last (0-based), after the header lines.
QStringList textLayout(const CallTableModel& table, const QStringList& header, int first, int last);
// The comma layout of rows first..last, with the column titles first when
// asked; a text holding a comma, a quote or a line break is quoted.
QStringList commaLayout(const CallTableModel& table, const QStringList& header, int first, int last,
                        bool withTitles);

// The name the user chose with the extension its filter entry adds (".prn",
// ".txt", none) unless it has a three-letter one already.
QString fileNameFor(const QString& chosen, int filterIndex);
// A name ending in "prn", in any case, gets the comma layout.
bool isCommaFile(const QString& fileName);

// The bytes of the lines ended by CR LF in the program's text rule (UTF-8
// starts with a byte-order mark, so spreadsheets recognise it); nothing when
// the text cannot be stored.
std::optional<QByteArray> bytesOf(const QStringList& lines);
// Writes bytesOf(lines) through an atomic replace. Returns the message to
// show, empty on success.
QString write(const QString& path, const QStringList& lines);

} // namespace CallExport
