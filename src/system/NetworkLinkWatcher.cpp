#include "system/NetworkLinkWatcher.h"

#include "system/Rtnetlink.h"

#include <QScopedValueRollback>
#include <QSocketNotifier>

#include <cerrno>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The kernel answers a list in pieces of at most 32 KiB and sends news in far
// smaller ones; a datagram longer than this is taken as news lost.
constexpr size_t BufferSize = 64 * 1024;
const QString CannotRead = QStringLiteral("network link events cannot be read");
} // namespace

NetworkLinkWatcher::NetworkLinkWatcher(QObject* parent) : QObject(parent) {}

NetworkLinkWatcher::~NetworkLinkWatcher() {
    close();
}

bool NetworkLinkWatcher::open(Callback callback) {
    if (isOpen()) {
        m_callback = std::move(callback);
        return true;
    }
    m_failure.clear();
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0)
        return fail(CannotRead, errno);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) < 0) {
        const int error = errno;
        ::close(fd);
        return fail(CannotRead, error);
    }
    m_socket = fd;
    m_callback = std::move(callback);
    m_buffer.resize(BufferSize);
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &NetworkLinkWatcher::readMessages);
    // Subscribed first, then the list: a change in between is in the list or comes after it.
    m_firstLook = true;
    return askForLinks();
}

void NetworkLinkWatcher::close() {
    if (m_socket < 0)
        return;
    // close() may come from a report, inside the notifier's own signal.
    m_notifier->setEnabled(false);
    m_notifier->deleteLater();
    m_notifier = nullptr;
    ::close(m_socket);
    m_socket = -1;
    m_callback = nullptr;
    m_lookSequence = 0;
    m_lookAgain = false;
    m_known.clear();
    m_seenInLook.clear();
}

bool NetworkLinkWatcher::fail(const QString& what, int error) {
    m_failure = what + QStringLiteral(": ") + qt_error_string(error);
    close();
    return false;
}

bool NetworkLinkWatcher::askForLinks() {
    m_sequence = m_sequence == UINT32_MAX ? 1 : m_sequence + 1;
    m_lookSequence = m_sequence;
    m_seenInLook.clear();
    const QByteArray request = Rtnetlink::linkDumpRequest(m_lookSequence);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    ssize_t sent;
    do {
        sent = ::sendto(m_socket, request.constData(), size_t(request.size()), 0,
                        reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel);
    } while (sent < 0 && errno == EINTR);
    if (sent != request.size())
        return fail(QStringLiteral("the list of network links cannot be asked for"),
                    sent < 0 ? errno : EMSGSIZE);
    return true;
}

void NetworkLinkWatcher::readMessages() {
    // A report that runs an event loop must not have newer news read before
    // the rest of its own; the socket stays readable, so the rest comes after.
    if (m_reading)
        return;
    const QScopedValueRollback reading(m_reading, true);
    while (m_socket >= 0) {
        sockaddr_nl sender{};
        iovec part{m_buffer.data(), m_buffer.size()};
        msghdr header{};
        header.msg_name = &sender;
        header.msg_namelen = sizeof sender;
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        const ssize_t size = ::recvmsg(m_socket, &header, MSG_TRUNC);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            if (errno == ENOBUFS) { // the queue overflowed: news was dropped
                newsLost();
                continue;
            }
            fail(CannotRead, errno);
            return;
        }
        if ((header.msg_flags & MSG_TRUNC) || size_t(size) > m_buffer.size()) {
            newsLost();
            continue;
        }
        // Only the kernel speaks on this socket; another process could send to it.
        if (header.msg_namelen != sizeof sender || sender.nl_pid != 0)
            continue;
        const Rtnetlink::Datagram datagram = Rtnetlink::parse(QByteArrayView(m_buffer.data(), size));
        if (datagram.damaged)
            newsLost();
        for (const Rtnetlink::Message& message : datagram.messages) {
            if (m_socket < 0)
                return;
            handle(message);
        }
    }
}

void NetworkLinkWatcher::handle(const Rtnetlink::Message& message) {
    const bool answersLook = m_lookSequence != 0 && message.sequence == m_lookSequence;
    switch (message.kind) {
    case Rtnetlink::Message::NewLink:
        m_known.insert(message.link.index);
        if (m_lookSequence != 0)
            m_seenInLook.insert(message.link.index);
        deliver(message.link, answersLook && m_firstLook ? Change::FirstLook : Change::Changed);
        break;
    case Rtnetlink::Message::DelLink:
        m_seenInLook.remove(message.link.index);
        if (m_known.remove(message.link.index))
            deliver(message.link, Change::Gone);
        break;
    case Rtnetlink::Message::Done:
        if (answersLook)
            lookEnded();
        break;
    case Rtnetlink::Message::Error:
        if (answersLook && message.error != 0)
            fail(QStringLiteral("the kernel refuses to list the network links"), message.error);
        break;
    }
}

void NetworkLinkWatcher::newsLost() {
    if (m_lookSequence != 0)
        m_lookAgain = true;
    else
        askForLinks();
}

void NetworkLinkWatcher::lookEnded() {
    m_lookSequence = 0;
    m_firstLook = false;
    const QSet<int> gone = m_known - m_seenInLook;
    for (const int index : gone) {
        m_known.remove(index);
        Link link;
        link.index = index;
        deliver(link, Change::Gone);
        if (m_socket < 0)
            return;
    }
    if (std::exchange(m_lookAgain, false))
        askForLinks();
}

void NetworkLinkWatcher::deliver(const Link& link, Change change) {
    if (!m_callback)
        return;
    const Callback callback = m_callback;
    callback(link, change);
}
