#include "core/viewer/CallTableModel.h"

#include "core/spending/Money.h"

CallTableModel::CallTableModel(const ColumnLayout& layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout), m_columns(layout.HowManyActive()) {}

int CallTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_calls.empty() ? 1 : int(m_calls.size());
}

int CallTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant CallTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cellText(index.row(), index.column());
}

QVariant CallTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return headerText(section);
}

QString CallTableModel::cellText(int row, int gridColumn) const {
    if (row < 0)
        return headerText(gridColumn);
    if (m_calls.empty())
        return row == 0 && gridColumn == 0 ? NoCallsText : QString();
    if (row >= int(m_calls.size()))
        return {};
    return callCellText(m_calls[size_t(row)], m_layout.columnAt(gridColumn), m_symbol, m_rates);
}

QString CallTableModel::headerText(int gridColumn) const {
    const int column = m_layout.columnAt(gridColumn);
    return column == NoColumn ? QString() : QLatin1String(viewerColumnInfo(column).header);
}

double CallTableModel::grossTotal(int top, int bottom) const {
    const int last = int(m_calls.size()) - 1;
    top = std::max(top, 0);
    bottom = std::min(bottom, last);
    MoneySum sum;
    for (int row = top; row <= bottom; ++row)
        sum.add(m_calls[size_t(row)].grossCost);
    return sum.total();
}

void CallTableModel::setCalls(std::vector<CallRecord> calls, RateNames rates, QString symbol) {
    beginResetModel();
    m_columns = m_layout.HowManyActive();
    m_calls = std::move(calls);
    m_rates = std::move(rates);
    m_symbol = std::move(symbol);
    endResetModel();
}

void CallTableModel::removeCalls(int top, int bottom) {
    beginResetModel();
    m_calls.erase(m_calls.begin() + top, m_calls.begin() + bottom + 1);
    endResetModel();
}

void CallTableModel::columnsMoved() {
    const int columns = columnCount();
    if (columns == 0)
        return;
    emit headerDataChanged(Qt::Horizontal, 0, columns - 1);
    emit dataChanged(index(0, 0), index(rowCount() - 1, columns - 1));
}
