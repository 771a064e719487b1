#include "core/sensing/NetworkLinkLine.h"

#include <limits>

NetworkLinkLine::NetworkLinkLine(NetworkLinks* links) : m_links(links) {}

NetworkLinkLine::~NetworkLinkLine() {
    close();
}

void NetworkLinkLine::setPattern(const QString& pattern) {
    m_pattern = pattern;
    m_match = QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive);
    if (m_callLink != 0 && !watched(m_known.value(m_callLink)))
        endCall();
}

bool NetworkLinkLine::open(Callback callback) {
    if (isOpen()) {
        m_callback = std::move(callback);
        return true;
    }
    if (!m_links)
        return false;
    m_known.clear();
    m_callLink = 0;
    m_callback = std::move(callback);
    if (m_links->open([this](const NetworkLinks::Link& link, NetworkLinks::Change change) {
            linkChanged(link, change);
        }))
        return true;
    m_callback = nullptr;
    return false;
}

void NetworkLinkLine::close() {
    m_callback = nullptr;
    if (m_links && m_links->isOpen())
        m_links->close();
    m_known.clear();
    m_callLink = 0;
}

bool NetworkLinkLine::isOpen() const {
    return m_callback && m_links && m_links->isOpen();
}

QString NetworkLinkLine::failure() const {
    return m_links ? m_links->failure() : QString();
}

bool NetworkLinkLine::watched(const Known& link) const {
    return link.connected && !m_pattern.isEmpty() && m_match.match(link.name).hasMatch();
}

void NetworkLinkLine::linkChanged(const NetworkLinks::Link& link, NetworkLinks::Change change) {
    if (change == NetworkLinks::Change::Gone) {
        m_known.remove(link.index);
        if (link.index == m_callLink)
            endCall();
        return;
    }
    Known& known = m_known[link.index];
    const bool wasWatched = watched(known);
    if (!link.name.isEmpty())
        known.name = link.name;
    // A link switched off passes nothing, whatever its carrier says.
    known.connected = link.up && (link.running || link.carrier.value_or(false));
    const bool isWatched = watched(known);
    if (link.index == m_callLink && !isWatched)
        endCall();
    else if (isWatched && !wasWatched && change == NetworkLinks::Change::Changed && m_callLink == 0)
        startCall(link.index);
}

void NetworkLinkLine::startCall(int index) {
    m_callLink = index;
    // Never 0, which the meter takes for no call.
    m_handle = m_handle == std::numeric_limits<quint32>::max() ? 1 : m_handle + 1;
    report(m_handle, {Dialing, Connected});
}

void NetworkLinkLine::endCall() {
    m_callLink = 0;
    report(m_handle, {Disconnected, Idle});
}

void NetworkLinkLine::report(quint32 handle, std::initializer_list<quint32> states) {
    for (const quint32 state : states) {
        // The meter may let go of the line in answer to a report.
        if (!m_callback)
            return;
        const Callback callback = m_callback;
        callback(handle, state);
    }
}
