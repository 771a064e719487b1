#pragma once

#include "core/calllog/CallLog.h"
#include "core/viewer/CallExport.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The calls of a period in the log's order, read a block at a time, taken as
// the viewer's period selections take them. A missing log has no calls. Only
// the calls the log held at the first reading are visited again, so that a
// call the meter logs meanwhile cannot make an export's rows disagree with
// its head.
class PeriodCalls {
public:
    // today, week, month, year, all: the index is the period's number.
    static const QStringList& names();
    static constexpr int All = 4;
    // The period's number, or -1.
    static int indexOf(const QString& name);
    // Whether the call is dated from..to (both included); true when neither is given.
    static bool inDays(const CallRecord& call, const std::optional<QDate>& from,
                       const std::optional<QDate>& to);

    PeriodCalls(QString path, int period, double now);

    bool forEach(const CallExport::CallVisitor& visit);
    // Why the log could not be read; empty when it could.
    const QString& failure() const { return m_failure; }

private:
    CallLog m_log;
    int m_period;
    double m_now;
    qint64 m_limit = -1;
    bool m_todayChecked = false;
    bool m_hasToday = false;
    QString m_failure;
};
