#include "core/viewer/CallTableModel.h"

#include "core/seams/DayCount.h"
#include "core/spending/Money.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

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

QStringList CallTableModel::widestTexts(int gridColumn) const {
    if (m_calls.empty())
        return gridColumn == 0 ? QStringList{NoCallsText} : QStringList();
    const int column = m_layout.columnAt(gridColumn);
    if (column == NumberColumn)
        return longestNumberTexts();
    QStringList texts;
    for (const CallRecord& call : m_widestCalls) {
        QString text = callCellText(call, column, m_symbol, m_rates);
        if (!texts.contains(text))
            texts << std::move(text);
    }
    return texts;
}

QStringList CallTableModel::longestNumberTexts() const {
    if (!m_rates.numbers)
        return {};
    // The longest in characters are measured; a few, for letters differ in width.
    QStringList labels = m_rates.numbers->labels();
    const qsizetype kept = std::min<qsizetype>(labels.size(), 8);
    std::partial_sort(labels.begin(), labels.begin() + kept, labels.end(),
                      [](const QString& a, const QString& b) { return a.size() > b.size(); });
    labels.resize(kept);
    return labels;
}

void CallTableModel::findWidestCalls() {
    m_widestCalls.clear();
    if (m_calls.empty())
        return;
    const float inf = std::numeric_limits<float>::infinity();
    float leastNet = inf, mostNet = -inf, leastGross = inf, mostGross = -inf;
    std::optional<double> earliest, latest;
    std::vector<bool> keySeen(size_t(1) << 16, false);
    std::vector<quint16> keys;
    for (const CallRecord& call : m_calls) {
        if (Money::isAmount(call.netCost)) {
            leastNet = std::min(leastNet, call.netCost);
            mostNet = std::max(mostNet, call.netCost);
        }
        if (Money::isAmount(call.grossCost)) {
            leastGross = std::min(leastGross, call.grossCost);
            mostGross = std::max(mostGross, call.grossCost);
        }
        if (DayCount::isDayCount(call.date)) {
            earliest = std::min(earliest.value_or(call.date), call.date);
            latest = std::max(latest.value_or(call.date), call.date);
        }
        if (!keySeen[call.rateNameKey]) {
            keySeen[call.rateNameKey] = true;
            keys.push_back(call.rateNameKey);
        }
    }

    // Made-up calls are a real one with one thing changed, so each of their texts could be shown.
    const CallRecord base = m_calls.back();
    const auto add = [this, &base](const auto& change) {
        CallRecord call = base;
        change(call);
        m_widestCalls.push_back(call);
    };
    m_widestCalls.push_back(base);
    // Every month's name, every day's name and two-digit days, in a year the log has.
    if (latest) {
        const int year = DayCount::toDate(*latest).year();
        for (int month = 1; month <= 12; ++month) {
            for (int day = 22; day <= 28; ++day) {
                add([&](CallRecord& call) {
                    call.date = DayCount::fromDateTime(QDateTime(QDate(year, month, day), QTime(12, 0)));
                });
            }
        }
        add([&](CallRecord& call) { call.date = *earliest; });
        add([&](CallRecord& call) { call.date = *latest; });
    }
    for (int code = 1; code <= 12; ++code) {
        add([&](CallRecord& call) {
            call.rateCode = quint16(code);
            call.dayOfWeek = quint16((code - 1) % 7 + 1);
        });
    }
    add([](CallRecord& call) {
        // The longest of a day's times: 23:59:59.
        call.duration = 86399.0 / 86400;
        call.startTime = call.endTime = std::floor(call.startTime) + 86399.0 / 86400;
    });
    if (leastNet <= mostNet) {
        add([&](CallRecord& call) { call.netCost = leastNet; });
        add([&](CallRecord& call) { call.netCost = mostNet; });
    }
    if (leastGross <= mostGross) {
        add([&](CallRecord& call) { call.grossCost = leastGross; });
        add([&](CallRecord& call) { call.grossCost = mostGross; });
    }
    for (quint16 key : keys)
        add([&](CallRecord& call) { call.rateNameKey = key; });
}

void CallTableModel::setCalls(std::vector<CallRecord> calls, RateNames rates, QString symbol) {
    beginResetModel();
    m_columns = m_layout.HowManyActive();
    m_calls = std::move(calls);
    m_rates = std::move(rates);
    m_symbol = std::move(symbol);
    findWidestCalls();
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
