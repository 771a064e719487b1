#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CallNumberLog;

// The numbers of "CallNumbers.log", read once for a table, a report or a
// chart: the number of a call is found by its start. Each distinct number is
// held once, so a million calls to ten thousand numbers cost little more than
// their starts.
class CallNumbers {
public:
    // Nothing, and the reason, when the file is there but cannot be read; no
    // file gives no numbers. Of two records with one start the later counts.
    static std::optional<CallNumbers> read(const CallNumberLog& log, QString* reason = nullptr);

    // The index in numbers() of the number of the call that started at start; -1 for none.
    int indexOf(double start) const;
    // The distinct numbers.
    const QStringList& numbers() const { return m_numbers; }
    qsizetype size() const { return qsizetype(m_entries.size()); }

private:
    struct Entry {
        double start;
        int number;
    };
    std::vector<Entry> m_entries; // by start, one per start
    QStringList m_numbers;
};
