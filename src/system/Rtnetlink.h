#pragma once

#include "core/seams/NetworkLinks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The kernel's routing messages about network links, as one datagram of a
// NETLINK_ROUTE socket carries them. The bytes are input like any file's:
// every length is checked before it is used, and what does not fit is dropped.
namespace Rtnetlink {

struct Message {
    enum Kind { NewLink, DelLink, Done, Error };
    Kind kind = NewLink;
    quint32 sequence = 0;    // of the request answered; 0 for the kernel's own news
    NetworkLinks::Link link; // NewLink and DelLink
    int error = 0;           // Error: the kernel's errno, 0 for an acknowledgement
};

struct Datagram {
    QList<Message> messages;
    // A message was shorter than its kind needs or ran past the end: it, or
    // the rest, was dropped, so what the links are now must be asked again.
    bool damaged = false;
};

Datagram parse(QByteArrayView bytes);

// The request for a report of every link there is.
QByteArray linkDumpRequest(quint32 sequence);

} // namespace Rtnetlink
