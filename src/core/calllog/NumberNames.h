#pragma once

#include "core/calllog/AddressBook.h"
#include "core/calllog/CallNumbers.h"
#include "core/calllog/CallRecord.h"

#include <QString>
#include <QStringList>

#include <vector>

class NumberPlan;

// What each call's number is called: its name in the address book when the
// book has one for it (the entry that is the longest start of the number,
// both as dialled at home), else the number itself. Made once for a table, a
// report or a chart: each distinct number is looked up once.
class NumberNames {
public:
    // The label of the calls without a number, where they are counted together.
    static inline const QString NoNumber = QStringLiteral("No number");

    NumberNames() = default;
    NumberNames(CallNumbers numbers, const AddressBook& book, const NumberPlan& plan);

    // The numbers, the address book and the plan of a data directory. A file
    // that cannot be read leaves its part out; failedPath and reason then name
    // the first such file and say why.
    static NumberNames read(const QString& dataDirectory, QString* failedPath = nullptr,
                            QString* reason = nullptr);

    // The index in labels() of the call's name or number; -1 when it has none.
    int labelOf(const CallRecord& call) const;
    // The name or number; empty when the call has none.
    QString textFor(const CallRecord& call) const;
    // Every distinct name or number, each once.
    const QStringList& labels() const { return m_labels; }

private:
    CallNumbers m_numbers;
    std::vector<int> m_labelOfNumber;
    QStringList m_labels;
};
