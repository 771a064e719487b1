#pragma once

#include "core/calllog/CallRecord.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

class CallTableModel;
class ColumnLayout;
struct RateNames;

// The viewer's exports and the head of its printout: the shown columns in
// grid order with the viewer's cell texts. An export is written as it is
// made, a block of rows at a time, so a log of a million calls never stands
// in memory as text.
namespace CallExport {

// Title, "Created On ...", what the output holds, and the summary or totals
// line as the window shows it.
QStringList headerLines(bool printout, double now, bool selectionOnly, const QString& summary);

// The text padded with blanks to the middle of `width` characters; a longer
// text gets one blank on each side and is not cut.
QString CentreInColumn(const QString& text, int width);

// The three layouts: the ruled text, the design's comma layout (a ".prn"
// file: the header lines, every text followed by a comma) and a spreadsheet's
// CSV (a ".csv" file: one row of titles, then the values, UTF-8).
enum class Form { Ruled, Comma, Spreadsheet };

// How the calls are laid out.
struct Layout {
    const ColumnLayout& columns;
    const RateNames& rates;
    QString symbol; // the viewer's currency symbol
    Form form = Form::Ruled;
    bool noCallsRow = false; // with no calls, the grid's "No Calls" row
    // Standard output on a terminal or a pipe: UTF-8 without a byte-order
    // mark, and the text layouts' lines ended by line feeds.
    bool standardStream = false;
};
// The table's columns, names and symbol; its "No Calls" row when it is empty.
Layout layoutOf(const CallTableModel& table, Form form);

// The calls in output order. The export asks for them twice: first to count
// them and to choose the text encoding before its first byte, then to write
// them. False with the reason when they cannot be read.
using CallVisitor = std::function<void(const CallRecord&)>;
using CallSource = std::function<bool(const CallVisitor& visit, QString* reason)>;
// Rows first..last (0-based) of the table.
CallSource tableRows(const CallTableModel& table, int first, int last);
// The four header lines, given how many calls there are and their cost with tax.
using Header = std::function<QStringList(qint64 count, double grossTotal)>;
// Takes the bytes in order; false with the reason when they cannot be written.
using ByteSink = std::function<bool(QByteArrayView bytes, QString* reason)>;
using Progress = std::function<void(int percent)>;

// The header lines, an empty line, then the ruled text layout (a rule, the
// column titles, a rule, one line per call, a rule; each column as wide as
// its field width or its widest text) or the comma layout (the titles, one
// line per call, every text followed by a comma; a text holding a comma, a
// quote or a line break is quoted), in the program's text rule (UTF-8 starts
// with a byte-order mark, so spreadsheets recognise it). The spreadsheet's
// CSV has no header lines: a row of titles and a row per call, their fields
// quoted as the comma layout's, in UTF-8 with a byte-order mark. Lines end in
// CR LF. False with the reason on failure.
bool stream(const Layout& layout, const CallSource& calls, const Header& header, const ByteSink& sink,
            QString* reason, const Progress& progress = {});
// The export streamed to a file through an atomic replace (written directly
// when it is a device or a pipe). Returns the message to show, empty on success.
QString write(const QString& path, const Layout& layout, const CallSource& calls, const Header& header,
              const Progress& progress = {});

// The export dialog's filter entries, in Qt's form; the first one opened is the text file's.
QString fileFilters();
constexpr int TextFilter = 2;
// The name the user chose with the extension its filter entry adds (".csv",
// ".prn", ".txt", none) unless it has a three-letter one already.
QString fileNameFor(const QString& chosen, int filterIndex);
// The layout a file name asks for: ".csv" a spreadsheet's, a name ending in
// "prn" the comma layout, anything else the ruled text; in any case.
Form formFor(const QString& fileName);
// A text as a field of a comma layout: quoted, its quotes doubled, when it
// holds a comma, a quote or a line break.
QString commaField(const QString& text);

} // namespace CallExport
