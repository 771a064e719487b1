#include "cli/PeriodCalls.h"

#include "core/seams/DayCount.h"
#include "core/viewer/CallPeriods.h"

const QStringList& PeriodCalls::names() {
    static const QStringList Names = {QStringLiteral("today"), QStringLiteral("week"),
                                      QStringLiteral("month"), QStringLiteral("year"), QStringLiteral("all")};
    return Names;
}

int PeriodCalls::indexOf(const QString& name) {
    return int(names().indexOf(name.toLower()));
}

bool PeriodCalls::inDays(const CallRecord& call, const std::optional<QDate>& from,
                         const std::optional<QDate>& to) {
    if (!from && !to)
        return true;
    if (!DayCount::isDayCount(call.date))
        return false;
    const qint64 day = DayCount::dayNumber(call.date);
    return (!from || day >= DayCount::dayOfDate(*from)) && (!to || day <= DayCount::dayOfDate(*to));
}

PeriodCalls::PeriodCalls(QString path, int period, double now)
    : m_log(std::move(path)), m_period(period), m_now(now) {}

bool PeriodCalls::forEach(const CallExport::CallVisitor& visit) {
    // Today takes calls dated later only beside one of its own.
    if (m_period == int(SelectionPeriod::Today) && !m_todayChecked) {
        m_todayChecked = true;
        bool missing = false;
        if (!m_log.forEach([&](const CallRecord& call) { m_hasToday = m_hasToday || isOfToday(call, m_now); },
                           &m_failure, &missing) &&
            !missing) {
            m_failure = QStringLiteral("%1: %2").arg(m_log.path(), m_failure);
            return false;
        }
    }
    const bool none = m_period == int(SelectionPeriod::Today) && !m_hasToday;
    qint64 seen = 0;
    const qint64 limit = m_limit;
    bool missing = false;
    const bool read = m_log.forEach(
        [&](const CallRecord& call) {
            if (limit >= 0 && seen >= limit)
                return;
            ++seen;
            if (m_period == All || (!none && inPeriod(call, SelectionPeriod(m_period), m_now)))
                visit(call);
        },
        &m_failure, &missing);
    if (m_limit < 0)
        m_limit = seen;
    if (read || missing) {
        m_failure.clear();
        return true;
    }
    m_failure = QStringLiteral("%1: %2").arg(m_log.path(), m_failure);
    return false;
}
