#pragma once

#include "core/viewer/CallPeriods.h"
#include "core/viewer/CallTableModel.h"
#include "core/viewer/ViewerColumns.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

class Prompter;
class ViewerProgress;

// The state of one log viewer window and what it does with the files: it
// loads the log (or its sorted copy) into the table, sorts, and deletes calls.
// Every operation returns the message to show, empty when there is none; a
// failed operation leaves the files as they were.
class CallLogViewer {
public:
    static inline const QString NoCallsTotals = QStringLiteral("No Calls.");

    CallLogViewer(QString programDirectory, Prompter& prompter, ViewerProgress* progress = nullptr);

    // The messages of a file that cannot be read or written, with its name and the reason.
    static QString cannotRead(const QString& path, const QString& reason);
    static QString cannotWrite(const QString& path, const QString& reason);

    ColumnLayout& layout() { return m_layout; }
    const ColumnLayout& layout() const { return m_layout; }
    CallTableModel& model() { return m_model; }
    const CallTableModel& model() const { return m_model; }
    void setMainSymbol(const QString& mainSymbol);

    // Sort state. SortKey -1 makes the next toggle ascending.
    int SortKey = DateColumn;
    bool SortAscending = true;
    bool sortedView() const { return m_sortedView; }
    // For each row of the sorted view, the index of its call in the log.
    const std::vector<quint32>& RowRecordMap() const { return m_rowRecordMap; }

    // Fills the table from the log, or from "Sort.log" in a sorted view.
    // A missing log gives the table without calls.
    QString LoadData();
    // Shows these calls, in this order, with these rate names.
    void showCalls(std::vector<CallRecord> calls, RateNames rates);
    // The toggle rule for the column at a grid index: the same column again
    // reverses the order, another starts ascending. Returns the column, or
    // NoColumn (nothing changed) when none stands there.
    int toggleSort(int gridIndex);
    // Copies the log to "Sort.log" in the order of sortKey and the current
    // direction, and shows it.
    QString QuickSort(int sortKey);
    // Deletes the calls of rows top..bottom (0-based) from the log and shows
    // what remains in the same order. Only calls the rows still show in the
    // log are deleted; calls logged since the table was loaded stay. Their
    // numbers dialled are taken out of the numbers file after the log is
    // rewritten. When the sorted copy cannot be written after the log was,
    // the table shows the log in its own order.
    QString deleteRows(int top, int bottom);

    // Whether the table shows its calls by date, oldest first.
    bool inDateOrder() const;
    // The rows top..bottom (0-based) of a table in date order that hold
    // exactly the calls of the period that contains now; nothing when the
    // period has none. Calls with damaged dates can keep the period's calls
    // from being one range of rows: then nothing, and the message says so.
    std::optional<std::pair<int, int>> periodRows(SelectionPeriod period, double now,
                                                  QString* message = nullptr) const;

    // "£12.34 spent in 5 calls."; "No Calls." until a log has been read.
    const QString& totalsLine() const { return m_totalsLine; }
    // "3 Calls selected totalling £1.23", the total only while Cost inc Tax is shown.
    QString selectionSummary(int top, int bottom) const;
    // The two texts for calls that are not in a table (the command line's exports).
    static QString totalsText(qint64 count, double total, const QString& symbol);
    static QString summaryText(qint64 count, std::optional<double> total, const QString& symbol);

private:
    QString filePath(const QString& name) const;
    QString reload();
    // The rate names, and the numbers' names while the Number column shows;
    // failure, when given, tells a file of numbers that cannot be read.
    RateNames loadNames(QString* failure) const;
    // Returns what to tell of the numbers.
    QString showLogged(const QByteArray& bytes);
    // The numbers of the calls deleted taken out of the numbers file; what to tell.
    QString removeNumbers(std::vector<double> gone, const QByteArray& remaining) const;
    static QString joined(const QString& first, const QString& second);
    void show(std::vector<CallRecord> calls, RateNames rates);
    void showTotals();
    QString sortAndShow(const QByteArray& logged, int sortKey);
    QString showRemaining(int top, int bottom, const std::vector<bool>& dropped, QByteArray& room);

    QString m_directory;
    Prompter& m_prompter;
    ViewerProgress* m_progress;
    ColumnLayout m_layout;
    CallTableModel m_model;
    QString m_symbol;
    QString m_totalsLine = NoCallsTotals;
    bool m_sortedView = false;
    std::vector<quint32> m_rowRecordMap;
};
