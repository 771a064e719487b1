#pragma once

#include "core/calllog/CallLog.h"
#include "core/calllog/NumberNames.h"
#include "core/spending/SpendingFigures.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the calls to each number cost. A number is counted under its name in
// the address book when it has one, so the numbers of one name (a provider's
// access numbers) make one row; the calls without a number make one row too.
class NumberSpending {
public:
    struct Row {
        int label = -1; // index in NumberNames::labels(); -1 for the calls without a number
        SpendPart spent;
        double minutes = 0;
    };

    explicit NumberSpending(const NumberNames& names);
    void add(const CallRecord& call);
    // The rows with calls, costliest (with tax) first; then by more calls, then by label.
    std::vector<Row> rows() const;
    // The name or number of a row; NumberNames::NoNumber for the calls without one.
    QString labelText(const Row& row) const;

private:
    const NumberNames& m_names;
    std::vector<Row> m_rows; // by label + 1
};

// The bars of a chart stacked by number: the most costly names and numbers
// over all its bars, each a part, the rest together as one.
struct NumberStack {
    static inline const QString Others = QStringLiteral("Others");

    QStringList names;                         // of the parts, the costliest first, "Others" last
    std::vector<std::vector<SpendPart>> parts; // one per name, with one per bar
    bool logRead = true;
    QString readFailure;

    // The calls of the bars (dated by the day of their start, as the bars are)
    // from the log, at most `most` names and numbers apart.
    static NumberStack compute(const CallLog& log, const NumberNames& names,
                               const std::vector<SpendBar>& bars, int most);
};
