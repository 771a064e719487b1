#include "core/sensing/LineStateTracker.h"

#include "core/seams/LineMonitor.h"
#include "core/sensing/ModemManagerEnums.h"

namespace {

enum class Step { None, Dialing, Connected, Ended };

Step callStep(int state) {
    switch (state) {
    case mm::CallStateDialing:
    case mm::CallStateRingingOut:
        return Step::Dialing;
    case mm::CallStateActive:
    case mm::CallStateHeld:
        return Step::Connected;
    case mm::CallStateTerminated:
        return Step::Ended;
    default:
        return Step::None;
    }
}

} // namespace

LineStateTracker::Reports LineStateTracker::callSeen(const QString& call, int direction, int state, Seen seen,
                                                     const QString& number) {
    if (m_calls.contains(call) || m_forgottenCalls.contains(call))
        return callStateChanged(call, state);
    if (direction != mm::CallDirectionOutgoing || state == mm::CallStateTerminated)
        return {};
    Session session;
    session.placedWhileWatched = seen == Seen::JustAdded;
    session.number = number;
    m_calls.insert(call, session);
    return callStateChanged(call, state);
}

LineStateTracker::Reports LineStateTracker::callStateChanged(const QString& call, int state) {
    const auto it = m_calls.find(call);
    if (it == m_calls.end()) {
        if (state == mm::CallStateTerminated)
            m_forgottenCalls.remove(call);
        return {};
    }
    switch (callStep(state)) {
    case Step::Dialing:
        return reportDialing(*it);
    case Step::Connected:
        return reportConnected(*it);
    case Step::Ended: {
        const Session ended = *it;
        m_calls.erase(it);
        return reportEnded(ended);
    }
    case Step::None:
        break;
    }
    return {};
}

LineStateTracker::Reports LineStateTracker::callGone(const QString& call) {
    m_forgottenCalls.remove(call);
    const auto it = m_calls.find(call);
    if (it == m_calls.end())
        return {};
    const Session ended = *it;
    m_calls.erase(it);
    return reportEnded(ended);
}

LineStateTracker::Reports LineStateTracker::voiceGone() {
    Reports reports;
    for (const Session& session : std::as_const(m_calls))
        reports += reportEnded(session);
    m_calls.clear();
    m_forgottenCalls.clear();
    return reports;
}

LineStateTracker::Reports LineStateTracker::modemState(int state, Seen seen) {
    const bool connecting = state == mm::ModemStateConnecting;
    const bool connected = state == mm::ModemStateConnected;
    if (m_dataForgotten) {
        // A forgotten connection stays silent until it is over.
        if (!connecting && !connected)
            m_dataForgotten = false;
        return {};
    }
    if (connecting || connected) {
        if (!m_data) {
            m_data = Session{};
            m_data->placedWhileWatched = seen == Seen::JustAdded;
        }
        return connected ? reportConnected(*m_data) : reportDialing(*m_data);
    }
    if (!m_data)
        return {};
    const Session ended = *m_data;
    m_data.reset();
    return reportEnded(ended);
}

LineStateTracker::Reports LineStateTracker::lineGone() {
    Reports reports = voiceGone();
    if (m_data)
        reports += reportEnded(*m_data);
    m_data.reset();
    m_dataForgotten = false;
    return reports;
}

QString LineStateTracker::numberOf(quint32 callHandle) const {
    for (const Session& session : m_calls) {
        if (callHandle != 0 && session.handle == callHandle)
            return session.number;
    }
    return {};
}

void LineStateTracker::forget(quint32 callHandle) {
    if (callHandle == 0)
        return;
    for (auto it = m_calls.begin(); it != m_calls.end(); ++it) {
        if (it->handle == callHandle) {
            m_forgottenCalls.insert(it.key());
            m_calls.erase(it);
            return;
        }
    }
    if (m_data && m_data->handle == callHandle) {
        m_data.reset();
        m_dataForgotten = true;
    }
}

bool LineStateTracker::hasSessions() const {
    return !m_calls.isEmpty() || m_data.has_value();
}

LineStateTracker::Reports LineStateTracker::reportDialing(Session& session) {
    if (session.dialing)
        return {};
    session.handle = allocateHandle();
    session.dialing = true;
    return {{session.handle, LineMonitor::Dialing}};
}

LineStateTracker::Reports LineStateTracker::reportConnected(Session& session) {
    if (session.connected)
        return {};
    // One first seen already up, placed before we looked, stays silent to its
    // end. One placed while we watched that connected before its first look
    // still opens with Dialing.
    if (!session.dialing && !session.placedWhileWatched) {
        session.connected = true;
        return {};
    }
    Reports reports = reportDialing(session);
    session.connected = true;
    reports.append({session.handle, LineMonitor::Connected});
    return reports;
}

LineStateTracker::Reports LineStateTracker::reportEnded(const Session& session) {
    if (session.handle == 0)
        return {};
    return {{session.handle, LineMonitor::Disconnected}, {session.handle, LineMonitor::Idle}};
}

quint32 LineStateTracker::allocateHandle() {
    // Never 0, never one a live session holds, even after the counter wraps.
    for (;;) {
        const quint32 handle = m_nextHandle++;
        if (handle == 0)
            continue;
        bool taken = m_data && m_data->handle == handle;
        for (const Session& session : m_calls)
            taken = taken || session.handle == handle;
        if (!taken)
            return handle;
    }
}
