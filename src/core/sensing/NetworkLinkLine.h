#pragma once

#include "core/seams/LineMonitor.h"
#include "core/seams/NetworkLinks.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>

// A dial-up connection sensed from its network link (ppp0 while pppd holds the
// line), reported as a call on a line: a link whose name matches the pattern is
// a call from the moment it is up and running (or up with its carrier on) until
// it goes down, loses its carrier, is renamed away or removed.
//
// As on the modem's line, only a connection seen being made is timed: a link
// already up at the first look, or taken in by a new pattern, stays silent to
// its end. One connection is the call at a time: a second link that comes up
// while one is the call is never reported, so its going down cannot end the
// first one's call.
class NetworkLinkLine final : public LineMonitor {
public:
    explicit NetworkLinkLine(NetworkLinks* links);
    ~NetworkLinkLine() override;

    // A link's name, or a pattern of them with * ? and [...]; takes effect at once.
    void setPattern(const QString& pattern);

    bool open(Callback callback) override;
    void close() override;
    bool isOpen() const override;
    // A call's handle is released with its idle report.
    void deallocateCall(quint32) override {}
    QString failure() const override;

private:
    struct Known {
        QString name;
        bool connected = false;
    };
    void linkChanged(const NetworkLinks::Link& link, NetworkLinks::Change change);
    bool watched(const Known& link) const;
    void startCall(int index);
    void endCall();
    void report(quint32 handle, std::initializer_list<quint32> states);

    NetworkLinks* m_links;
    QString m_pattern;
    QRegularExpression m_match;
    Callback m_callback;
    QHash<int, Known> m_known; // every link by index, watched or not, for renames and new patterns
    int m_callLink = 0;        // the link whose connection is the call; 0 when none is
    quint32 m_handle = 0;      // that call's
};
