#pragma once

#include "core/calllog/CallRecord.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/ViewerColumns.h"

#include <QAbstractTableModel>

#include <vector>

// The log viewer's table: one row per call, one column per shown column in
// grid order. Texts are made when a cell is shown, so a log of a million calls
// costs no more than its records. A table without calls has one row with
// "No Calls" in its first cell.
class CallTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static inline const QString NoCallsText = QStringLiteral("No Calls");

    explicit CallTableModel(const ColumnLayout& layout, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row, and the columns with the layout's; an empty list
    // gives the table without calls.
    void setCalls(std::vector<CallRecord> calls, RateNames rates, QString symbol);
    // Takes out rows top..bottom; the others keep their order and rate names.
    void removeCalls(int top, int bottom);
    // The layout's columns changed place, but not their number; the rows stay.
    void columnsMoved();

    bool isEmptyTable() const { return m_calls.empty(); }
    int callCount() const { return int(m_calls.size()); }
    const CallRecord& call(int row) const { return m_calls[size_t(row)]; }
    const std::vector<CallRecord>& calls() const { return m_calls; }
    const QString& symbol() const { return m_symbol; }
    const RateNames& rates() const { return m_rates; }
    const ColumnLayout& layout() const { return m_layout; }

    // What the grid shows at a row and grid column (-1 for the header row).
    QString cellText(int row, int gridColumn) const;
    QString headerText(int gridColumn) const;
    // The costs with tax of rows top..bottom added up (see MoneySum).
    double grossTotal(int top, int bottom) const;
    // Texts at least as wide as any a grid column shows, where every digit is
    // as wide as the widest: the locale's dates of a whole year, every name,
    // the longest times, the extreme amounts and the rate names in use. They
    // are found from the calls' extremes, not by making every row's text.
    QStringList widestTexts(int gridColumn) const;

private:
    void findWidestCalls();
    QStringList longestNumberTexts() const;

    const ColumnLayout& m_layout;
    int m_columns; // as the layout had them at the last reset
    std::vector<CallRecord> m_calls;
    RateNames m_rates;
    QString m_symbol;
    std::vector<CallRecord> m_widestCalls; // calls, real or made up, that show the widest texts
};
