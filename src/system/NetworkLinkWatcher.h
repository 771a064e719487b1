#pragma once

#include "core/seams/NetworkLinks.h"

#include <QObject>
#include <QSet>

#include <vector>

class QSocketNotifier;
namespace Rtnetlink {
struct Message;
}

// The kernel's news of the network links, read from a routing socket
// (NETLINK_ROUTE, the link group) when the event loop finds it readable: no
// timer, no privilege. Opening asks for every link there is; when news is lost
// (the socket's queue overflowed) it asks again, and a link missing from that
// answer is reported gone.
class NetworkLinkWatcher : public QObject, public NetworkLinks {
    Q_OBJECT
public:
    explicit NetworkLinkWatcher(QObject* parent = nullptr);
    ~NetworkLinkWatcher() override;

    bool open(Callback callback) override;
    void close() override;
    bool isOpen() const override { return m_socket >= 0; }
    QString failure() const override { return m_failure; }

private:
    void readMessages();
    void handle(const Rtnetlink::Message& message);
    bool askForLinks();
    void newsLost();
    void lookEnded();
    void deliver(const Link& link, Change change);
    bool fail(const QString& what, int error);

    int m_socket = -1;
    QSocketNotifier* m_notifier = nullptr;
    Callback m_callback;
    QString m_failure;
    std::vector<char> m_buffer;
    quint32 m_sequence = 0;
    quint32 m_lookSequence = 0; // of the list of links asked for; 0 when none is on its way
    bool m_firstLook = false;
    bool m_lookAgain = false; // news was lost while a list was on its way
    bool m_reading = false;
    QSet<int> m_known;      // the links reported and not gone
    QSet<int> m_seenInLook; // of those, the ones heard of since the list was asked for
};
