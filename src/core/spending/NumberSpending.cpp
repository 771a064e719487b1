#include "core/spending/NumberSpending.h"

#include "core/seams/DayCount.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace {

void addCall(SpendPart& part, const CallRecord& call) {
    ++part.calls;
    part.net.add(call.netCost);
    part.gross.add(call.grossCost);
}

} // namespace

NumberSpending::NumberSpending(const NumberNames& names)
    : m_names(names), m_rows(size_t(names.labels().size()) + 1) {
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].label = int(i) - 1;
}

void NumberSpending::add(const CallRecord& call) {
    Row& row = m_rows[size_t(m_names.labelOf(call) + 1)];
    addCall(row.spent, call);
    if (DayCount::isLength(call.duration))
        row.minutes += call.duration * 24 * 60;
}

std::vector<NumberSpending::Row> NumberSpending::rows() const {
    std::vector<Row> rows;
    std::copy_if(m_rows.begin(), m_rows.end(), std::back_inserter(rows),
                 [](const Row& row) { return row.spent.calls > 0; });
    std::sort(rows.begin(), rows.end(), [this](const Row& a, const Row& b) {
        const double grossA = a.spent.gross.total();
        const double grossB = b.spent.gross.total();
        if (grossA != grossB)
            return grossA > grossB;
        if (a.spent.calls != b.spent.calls)
            return a.spent.calls > b.spent.calls;
        return labelText(a) < labelText(b);
    });
    return rows;
}

QString NumberSpending::labelText(const Row& row) const {
    return row.label < 0 ? NumberNames::NoNumber : m_names.labels()[row.label];
}

NumberStack NumberStack::compute(const CallLog& log, const NumberNames& names,
                                 const std::vector<SpendBar>& bars, int most) {
    NumberStack stack;
    if (bars.empty())
        return stack;
    const qsizetype barCount = qsizetype(bars.size());
    const qint64 firstDay = bars.front().firstDay;
    const qint64 endDay = bars.back().endDay;
    // Sparse: a call adds to its name's part of its bar.
    QHash<qint64, SpendPart> byNameAndBar;
    std::vector<double> spentOn(size_t(names.labels().size()) + 1, 0);
    QString reason;
    stack.logRead = log.forEach(
        [&](const CallRecord& call) {
            if (!DayCount::isDayCount(call.date))
                return;
            const qint64 day = DayCount::dayNumber(call.date);
            if (day < firstDay || day >= endDay)
                return;
            const auto bar = std::upper_bound(bars.begin(), bars.end(), day,
                                              [](qint64 d, const SpendBar& b) { return d < b.firstDay; }) -
                             1;
            const int label = names.labelOf(call) + 1;
            addCall(byNameAndBar[qint64(label) * barCount + (bar - bars.begin())], call);
            spentOn[size_t(label)] += Money::amount(call.grossCost);
        },
        &reason);
    if (!stack.logRead && !QFile::exists(log.path()))
        stack.logRead = true;
    else if (!stack.logRead)
        stack.readFailure = reason;

    std::vector<bool> counted(spentOn.size(), false);
    for (auto it = byNameAndBar.cbegin(); it != byNameAndBar.cend(); ++it)
        counted[size_t(it.key() / barCount)] = true;
    std::vector<int> order;
    for (size_t label = 0; label < counted.size(); ++label) {
        if (counted[label])
            order.push_back(int(label));
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return spentOn[size_t(a)] > spentOn[size_t(b)]; });
    // "Others" only when it stands for more than one.
    const size_t shown = order.size() > size_t(most) + 1 ? size_t(most) : order.size();
    std::vector<size_t> partOf(spentOn.size(), shown);
    for (size_t i = 0; i < shown; ++i) {
        partOf[size_t(order[i])] = i;
        stack.names << (order[i] == 0 ? NumberNames::NoNumber : names.labels()[order[i] - 1]);
    }
    if (shown < order.size())
        stack.names << Others;
    stack.parts.assign(size_t(stack.names.size()), std::vector<SpendPart>(bars.size()));
    for (auto it = byNameAndBar.cbegin(); it != byNameAndBar.cend(); ++it)
        stack.parts[partOf[size_t(it.key() / barCount)]][size_t(it.key() % barCount)] += it.value();
    return stack;
}
