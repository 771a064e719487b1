#include "system/Rtnetlink.h"

#include <linux/if.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace Rtnetlink {

namespace {

// The link's attributes, or nothing when one runs past the message's end.
std::optional<NetworkLinks::Link> readLink(const nlmsghdr* header) {
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg)))
        return std::nullopt;
    const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(header));
    if (info->ifi_index <= 0)
        return std::nullopt;
    NetworkLinks::Link link;
    link.index = info->ifi_index;
    link.up = (info->ifi_flags & IFF_UP) != 0;
    link.running = (info->ifi_flags & IFF_RUNNING) != 0;
    int length = int(header->nlmsg_len) - int(NLMSG_SPACE(sizeof(ifinfomsg)));
    const rtattr* attribute = IFLA_RTA(info);
    for (; RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        const auto* data = static_cast<const char*>(RTA_DATA(attribute));
        const size_t size = RTA_PAYLOAD(attribute);
        if (attribute->rta_type == IFLA_IFNAME) {
            // Up to its terminator, which a name cut short lacks.
            const size_t used = std::min(size, size_t(IFNAMSIZ));
            link.name = QString::fromUtf8(data, qsizetype(strnlen(data, used)));
        } else if (attribute->rta_type == IFLA_CARRIER && size >= 1) {
            link.carrier = data[0] != 0;
        }
    }
    if (length > 0)
        return std::nullopt;
    return link;
}

} // namespace

Datagram parse(QByteArrayView bytes) {
    Datagram datagram;
    // The kernel's macros read the headers in place, so the bytes go where
    // those headers may be read: aligned, with room for the step past the end.
    const qsizetype size = std::min<qsizetype>(bytes.size(), INT_MAX - 8);
    std::vector<nlmsghdr> storage(size_t(size) / sizeof(nlmsghdr) + 2);
    std::memcpy(storage.data(), bytes.data(), size_t(size));
    int remaining = int(size);
    const nlmsghdr* header = storage.data();
    for (; NLMSG_OK(header, remaining); header = NLMSG_NEXT(header, remaining)) {
        Message message;
        message.sequence = header->nlmsg_seq;
        switch (header->nlmsg_type) {
        case NLMSG_DONE:
            message.kind = Message::Done;
            break;
        case NLMSG_ERROR:
            if (header->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))) {
                datagram.damaged = true;
                continue;
            }
            message.kind = Message::Error;
            message.error = -static_cast<const nlmsgerr*>(NLMSG_DATA(header))->error;
            break;
        case RTM_NEWLINK:
        case RTM_DELLINK:
            if (const std::optional<NetworkLinks::Link> link = readLink(header)) {
                message.kind = header->nlmsg_type == RTM_NEWLINK ? Message::NewLink : Message::DelLink;
                message.link = *link;
                break;
            }
            datagram.damaged = true;
            continue;
        default:
            continue;
        }
        datagram.messages.append(message);
    }
    // Bytes left that do not make a whole message; a last message merely
    // lacking its padding takes the count below zero and is whole.
    if (remaining > 0)
        datagram.damaged = true;
    return datagram;
}

QByteArray linkDumpRequest(quint32 sequence) {
    struct {
        nlmsghdr header;
        ifinfomsg info;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifinfomsg));
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = sequence;
    request.info.ifi_family = AF_UNSPEC;
    return QByteArray(reinterpret_cast<const char*>(&request), qsizetype(request.header.nlmsg_len));
}

} // namespace Rtnetlink
