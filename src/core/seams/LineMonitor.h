#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// Watches the modem's telephony line and reports call states on the
// user-interface thread.
class LineMonitor {
public:
    // The four line states the meter acts on.
    enum State : quint32 {
        Idle = 0x1,
        Dialing = 0x10,
        Connected = 0x100,
        Disconnected = 0x4000,
    };
    using Callback = std::function<void(quint32 callHandle, quint32 state)>;

    virtual ~LineMonitor() = default;
    // Starts watching; false (and nothing reported) when there is no line to watch.
    virtual bool open(Callback callback) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Releases a call handle reported with the idle state.
    virtual void deallocateCall(quint32 callHandle) = 0;
    // The number dialled for a call being reported, in DialledNumber's form;
    // empty when the line does not tell it.
    virtual QString numberOf(quint32 callHandle) const {
        Q_UNUSED(callHandle);
        return {};
    }
    // Why calls cannot be sensed on the line now (no bus to watch it on, no
    // telephony service); empty while they can.
    virtual QString failure() const = 0;
};
