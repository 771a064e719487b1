#pragma once

#include <QDBusObjectPath>
#include <QMap>
#include <QString>
#include <QVariantMap>

// ModemManager's D-Bus names, shared by the line monitor and the stand-in the
// tests run it against.
namespace mm {

inline const QString Service = QStringLiteral("org.freedesktop.ModemManager1");
inline const QString ManagerPath = QStringLiteral("/org/freedesktop/ModemManager1");
inline const QString ModemPathPrefix = QStringLiteral("/org/freedesktop/ModemManager1/Modem/");
inline const QString ObjectManagerInterface = QStringLiteral("org.freedesktop.DBus.ObjectManager");
inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
inline const QString ModemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
inline const QString VoiceInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice");
inline const QString CallInterface = QStringLiteral("org.freedesktop.ModemManager1.Call");

// The answer of ObjectManager.GetManagedObjects: interfaces and their properties by object.
using InterfaceMap = QMap<QString, QVariantMap>;
using ObjectMap = QMap<QDBusObjectPath, InterfaceMap>;

} // namespace mm
