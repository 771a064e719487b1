#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// Turns what ModemManager says about one modem into the line states of
// LineMonitor. Each dialled voice call and each data connection is a session
// with its own non-zero handle, reported Dialing, Connected, then Disconnected
// and Idle, each at most once. Incoming calls are never reported, nor is a call
// or connection that was already up when it was first looked at (made before
// the program started watching, or seen again after ModemManager restarted):
// only a call seen being placed may be timed.
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

    // How a call or the modem's state was first learnt of: from a look at what
    // is there, or from a signal that it was just added or changed.
    enum class Seen { AlreadyThere, JustAdded };

    // A voice call seen for the first time, with its direction, current state
    // and the number dialled (empty when not told). Calls already terminated,
    // incoming calls and calls of unknown direction are ignored.
    Reports callSeen(const QString& call, int direction, int state, Seen seen, const QString& number = {});
    // The new state of a call, from its StateChanged signal.
    Reports callStateChanged(const QString& call, int state);
    // The call object was deleted.
    Reports callGone(const QString& call);
    // The modem lost its voice interface: every voice session ends.
    Reports voiceGone();
    // The modem's state, when first seen or from its StateChanged signal; it
    // drives the data-connection session.
    Reports modemState(int state, Seen seen);
    // The modem or ModemManager went away: every session ends.
    Reports lineGone();

    // The number dialled for the voice call that holds this handle; empty for
    // none, and for the data connection.
    QString numberOf(quint32 callHandle) const;
    // Stops reporting the session that holds this handle, if one still does.
    void forget(quint32 callHandle);
    bool hasSessions() const;

private:
    struct Session {
        quint32 handle = 0; // 0 until the first report
        bool dialing = false;
        bool connected = false;
        bool placedWhileWatched = false; // began after the first look, so it was placed under our eyes
        QString number;
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
