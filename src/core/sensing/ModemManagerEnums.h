#pragma once

// The ModemManager values this program reads, copied from ModemManager-enums.h
// so the logic library needs no extra headers. They are part of ModemManager's
// stable D-Bus API.
namespace mm {

enum CallState : int {
    CallStateUnknown = 0,
    CallStateDialing = 1,
    CallStateRingingOut = 2,
    CallStateRingingIn = 3,
    CallStateActive = 4,
    CallStateHeld = 5,
    CallStateWaiting = 6,
    CallStateTerminated = 7,
};

enum CallDirection : int {
    CallDirectionUnknown = 0,
    CallDirectionIncoming = 1,
    CallDirectionOutgoing = 2,
};

enum ModemState : int {
    ModemStateFailed = -1,
    ModemStateUnknown = 0,
    ModemStateInitializing = 1,
    ModemStateLocked = 2,
    ModemStateDisabled = 3,
    ModemStateDisabling = 4,
    ModemStateEnabling = 5,
    ModemStateEnabled = 6,
    ModemStateSearching = 7,
    ModemStateRegistered = 8,
    ModemStateDisconnecting = 9,
    ModemStateConnecting = 10,
    ModemStateConnected = 11,
};

} // namespace mm
