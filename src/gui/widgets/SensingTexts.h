#pragma once

#include <QString>

// The words of the ways calls are sensed, for every form that offers the choice.
namespace SensingTexts {

inline const QString ModemManager = QStringLiteral("Watch the mod&em (ModemManager)");
inline const QString ModemManagerNote =
    QStringLiteral("When ModemManager knows the modem: most USB and built-in modems.");
inline const QString Carrier = QStringLiteral("Watch a serial port's &carrier-detect line");
inline const QString CarrierNote =
    QStringLiteral("For a serial-port modem that ModemManager does not manage.");
inline const QString NetworkLink = QStringLiteral("Watch a dial-&up network link (ppp)");
inline const QString NetworkLinkNote =
    QStringLiteral("When pppd, wvdial or NetworkManager dials: the time the link is up.");
inline const QString Disabled = QStringLiteral("Disa&ble Automatic call sensing");

} // namespace SensingTexts
