#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// Turns what ModemManager says about one modem into the line states of
// LineMonitor. Each dialled voice call and each data connection is a session
// with its own non-zero handle, reported Dialing, Connected, then Disconnected
// and Idle, each at most once. Incoming calls are never reported.
//
// Voice calls are keyed by their object path; ModemManager's numeric call,
// direction and modem states come in as they are (see ModemManagerEnums.h).
class LineStateTracker {
public:
    struct Report {
        quint32 callHandle = 0;
        quint32 state = 0;
        friend bool operator==(const Report&, const Report&) = default;
    };
    using Reports = QList<Report>;

    // A voice call seen for the first time, with its direction and current state.
    // Calls already terminated, incoming calls and calls of unknown direction are ignored.
    Reports callSeen(const QString& call, int direction, int state);
    // The new state of a call, from its StateChanged signal.
    Reports callStateChanged(const QString& call, int state);
    // The call object was deleted.
    Reports callGone(const QString& call);
    // The modem lost its voice interface: every voice session ends.
    Reports voiceGone();
    // The modem's state, when first seen or from its StateChanged signal; it
    // drives the data-connection session.
    Reports modemState(int state);
    // The modem or ModemManager went away: every session ends.
    Reports lineGone();

    // Stops reporting the session that holds this handle, if one still does.
    void forget(quint32 callHandle);
    bool hasSessions() const;

private:
    struct Session {
        quint32 handle = 0; // 0 until the first report
        bool dialing = false;
        bool connected = false;
    };

    Reports reportDialing(Session& session);
    Reports reportConnected(Session& session);
    static Reports reportEnded(const Session& session);
    quint32 allocateHandle();

    QHash<QString, Session> m_calls;
    QSet<QString> m_forgottenCalls;
    std::optional<Session> m_data;
    bool m_dataForgotten = false;
    quint32 m_nextHandle = 1;
};
